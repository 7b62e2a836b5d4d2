#include "netcat/Marc.h"

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int digitAt(QStringView text, qsizetype index)
{
    return text[index].unicode() - u'0';
}

} // namespace

QString TrimLowChars(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.sliced(begin, end - begin).toString();
}

QString AsciiUpper(QString text)
{
    for (QChar& c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return text;
}

bool IsDigitsOnly(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isAsciiDigit);
}

bool IsIsbn(QStringView text)
{
    if (text.size() == 10)
        return IsDigitsOnly(text.first(9));
    if (text.size() == 13)
        return text.startsWith(u"978") || text.startsWith(u"979");
    return false;
}

bool IsIssn(QStringView text)
{
    if (text.size() == 8)
        return IsDigitsOnly(text.first(7));
    if (text.size() == 13)
        return text.startsWith(u"977") && IsDigitsOnly(text.sliced(3, 7));
    return false;
}

// A ten-character ISBN gets the EAN-13 form; a thirteen-character one keeps its own check digit.
QString ToIsbn13(const QString& text)
{
    if (!IsIsbn(text) || text.size() != 10)
        return text;
    const QString body = QStringLiteral("978") + text.first(9);
    int sum = 0;
    for (qsizetype i = 0; i < body.size(); ++i)
        sum += digitAt(body, i) * (i % 2 == 0 ? 1 : 3);
    const int remainder = sum % 10;
    return body + QString::number(remainder == 0 ? 0 : 10 - remainder);
}

// An EAN beginning 977 carries the ISSN's seven digits; its check character is recomputed.
QString ToIssn8(const QString& text)
{
    if (!IsIssn(text) || text.size() != 13)
        return text;
    const QString body = text.sliced(3, 7);
    int sum = 0;
    for (qsizetype i = 0; i < body.size(); ++i)
        sum += (8 - int(i)) * digitAt(body, i);
    const int remainder = sum % 11;
    if (remainder == 0)
        return body + u'0';
    if (remainder == 1)
        return body + u'X';
    return body + QString::number(11 - remainder);
}

QString NormalizeStandardNumber(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start].unicode() <= 32)
        ++start;
    QString number = text.sliced(start);

    // Long qualifiers follow the number after a space, short numbers may contain one.
    const qsizetype space = number.indexOf(u' ');
    if (space > 12)
        number.truncate(space);

    static const QString qualifierStarts = QStringLiteral(u"/\\(（,，;；");
    const auto qualifier = std::find_if(number.cbegin(), number.cend(),
                                        [](QChar c) { return qualifierStarts.contains(c); });
    if (qualifier != number.cend() && qualifier != number.cbegin())
        number.truncate(qualifier - number.cbegin());

    number = AsciiUpper(number);
    const qsizetype isbn = number.indexOf(u"ISBN");
    const qsizetype isrc = number.indexOf(u"ISRC");
    if (isbn >= 0 && isrc >= 0)
        number.truncate(std::max(isbn, isrc));
    else if (isrc > 10)
        number.truncate(isrc);
    for (const QString& prefix : {QStringLiteral("ISBN"), QStringLiteral("ISSN"), QStringLiteral("ISRC")})
        number.remove(prefix);
    number.removeIf([](QChar c) { return !isAsciiDigit(c) && !(c >= u'A' && c <= u'Z'); });

    if (IsIsbn(number))
        return ToIsbn13(number);
    if (IsIssn(number))
        return ToIssn8(number);
    if (number.startsWith(u"CN"))
        return number.sliced(2);
    return number;
}

QString CleanSpaces(const QString& text)
{
    QString cleaned = text;
    cleaned.replace(QChar(0x00A0), u' ');
    cleaned.replace(QChar(0x3000), u' ');
    return TrimLowChars(cleaned);
}
