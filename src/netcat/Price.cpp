#include "netcat/Price.h"

#include "netcat/PriceTables.h"

#include <QHash>
#include <QRegularExpression>

#include <initializer_list>
#include <optional>

namespace {

// Full-width punctuation, digits and the letters of "CNY" as typed with a Chinese input method.
QString NarrowCharacters(const QString& text)
{
    QString narrowed = text;
    for (QChar& c : narrowed) {
        const char16_t u = c.unicode();
        if (u == 0xFF08)
            c = u'(';
        else if (u == 0xFF09)
            c = u')';
        else if (u == 0xFF04)
            c = u'$';
        else if (u == 0xFF1F)
            c = u'?';
        else if (u >= 0xFF10 && u <= 0xFF19)
            c = QChar(u'0' + (u - 0xFF10));
        else if (u == 0xFF23)
            c = u'C';
        else if (u == 0xFF2E)
            c = u'N';
        else if (u == 0xFF39)
            c = u'Y';
        else if (u == u'[' || u == u']' || u == 0x3014 || u == 0x3015 || u == 0xFF3B || u == 0xFF3D)
            c = u' ';
    }
    return narrowed;
}

void ApplyFixup(QString& text, const PriceFixup& fixup)
{
    if (fixup.mode == PriceFixup::EveryOccurrence) {
        // Nearly every text needs no fixup; looking first avoids building a replacement.
        if (text.contains(fixup.from))
            text.replace(fixup.from.toString(), fixup.to.toString());
        return;
    }
    const qsizetype at = text.indexOf(fixup.from, 0, Qt::CaseInsensitive);
    if (at >= 0)
        text.replace(at, fixup.from.size(), fixup.to.toString());
}

void ApplyFixups(QString& text, qsizetype begin, qsizetype end)
{
    for (qsizetype i = begin; i < end; ++i)
        ApplyFixup(text, PriceFixups[i]);
}

// "(精装)CNY25.00" reads as "CNY25.00(精装)": a remark before the amount goes to the notes.
void MoveLeadingParenthesis(QString& text)
{
    const qsizetype open = text.indexOf(u'(');
    const qsizetype close = text.indexOf(u')');
    const auto digit = std::find_if(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (open < 0 || digit == text.cend())
        return;
    const qsizetype firstDigit = digit - text.cbegin();
    if (open < firstDigit && close > open && close < firstDigit) {
        const QString remark = text.sliced(open, close - open + 1);
        text.remove(open, remark.size());
        text += remark;
    }
}

// Taiwan prices are often written with Chinese numerals.
void ReplaceChineseDigits(QString& text)
{
    static constexpr QStringView numerals = u"一二三四五六七八九";
    for (QChar& c : text) {
        const qsizetype digit = numerals.indexOf(c);
        if (digit >= 0)
            c = QChar(char16_t(u'1' + digit));
    }
}

struct PriceParts
{
    QString prefix;
    QString amount;
    QString rest;
};

std::optional<PriceParts> SplitPrice(const QString& text)
{
    // Without any digit, "," or "." the pattern cannot match; checking first keeps a long
    // text without digits from costing quadratic time in the regular expression search.
    const bool hasAmountChar = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || c == u',' || c == u'.';
    });
    if (!hasAmountChar)
        return std::nullopt;
    static const QRegularExpression pattern(QStringLiteral(R"(([^\d]*)([\d\,\.]+)(.*))"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return PriceParts{match.captured(1), match.captured(2), match.captured(3)};
}

QString CutNoteWord(QString& currency)
{
    for (QStringView word : PriceNoteWords) {
        const qsizetype at = currency.indexOf(word);
        if (at >= 0) {
            currency.remove(at, word.size());
            return word.toString();
        }
    }
    return {};
}

const QHash<QString, QString>& CurrencyBySpelling()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> result;
        auto add = [&result](const QString& code, auto spellings) {
            for (QStringView spelling : spellings) {
                const QString key = AsciiUpper(spelling.toString());
                if (!result.contains(key))
                    result.insert(key, code);
            }
        };
        const std::initializer_list<QStringView> none = {u"", u"F", u"B", u"L", u"T", u"FDM", u"DF",
            u"DFI", u"DFL", u"CNYDFL", u"DEF", u"DM", u"RS", u"GB", u"PMED", u"K", u"M"};
        add(QStringLiteral("CNY"), std::initializer_list<QStringView>{u"$"});
        add(QStringLiteral("CNY"), CnyCurrencySpellings);
        add(QStringLiteral("HKD"), HkdCurrencySpellings);
        add(QStringLiteral("USD"), std::initializer_list<QStringView>{u"USD", u"US", u"US$", u"US￥",
            u"CNYUSD", u"UDS", u"UCD", u"UND"});
        add(QStringLiteral("TWD"), TwdCurrencySpellings);
        add(QStringLiteral("MOP"), std::initializer_list<QStringView>{u"MOP", u"MC$", u"MVP", u"澳门币",
            u"$澳门币", u"￥澳门币"});
        add(QStringLiteral("JPY"), std::initializer_list<QStringView>{u"JPY", u"JPN", u"YEN", u"CJPY",
            u"CNYJPY", u"JPY日元", u"CNY日元", u"日元", u"日本", u"円", u"揃", u"揃価格", u"¥", u"JP$"});
        add(QString(), none);
        add(QStringLiteral("GBP"), std::initializer_list<QStringView>{u"GBP", u"￡"});
        add(QStringLiteral("MYR"), std::initializer_list<QStringView>{u"MYR", u"MYD", u"MYE", u"RM马币",
            u"马币", u"东马", u"西马"});
        add(QStringLiteral("KRW"), std::initializer_list<QStringView>{u"KRW", u"CNY韩币"});
        add(QStringLiteral("SGD"), std::initializer_list<QStringView>{u"SGD", u"SGY", u"SDG", u"CNYSGD"});
        add(QStringLiteral("AED"), std::initializer_list<QStringView>{u"AED", u"DHS"});
        add(QStringLiteral("PHP"), std::initializer_list<QStringView>{u"PHP", u"PHD"});
        add(QStringLiteral("THB"), std::initializer_list<QStringView>{u"THB", u"THD", u"THP"});
        add(QStringLiteral("AUD"), std::initializer_list<QStringView>{u"AUD", u"AVD"});
        for (const char16_t* code : {u"EUR", u"CAD", u"ESP", u"MMK"})
            add(QString::fromUtf16(code), std::initializer_list<QStringView>{code});
        return result;
    }();
    return table;
}

std::optional<QString> CurrencyCode(const QString& spelling)
{
    const auto& table = CurrencyBySpelling();
    const auto found = table.constFind(AsciiUpper(spelling));
    if (found == table.cend())
        return std::nullopt;
    return *found;
}

TAmount ReadAmount(QString digits, bool isIgnoreErrors)
{
    const qsizetype firstPoint = digits.indexOf(u'.');
    const qsizetype secondPoint = firstPoint < 0 ? -1 : digits.indexOf(u'.', firstPoint + 1);
    if (secondPoint >= 0)
        digits.truncate(secondPoint);
    digits.remove(u',');
    if (const std::optional<TAmount> amount = TAmount::fromDecimal(digits))
        return *amount;
    if (isIgnoreErrors)
        return {};
    throw PriceConversionError(QStringLiteral("“%1”不是有效的数值").arg(digits));
}

QString TrimNotes(const QString& text)
{
    static constexpr QStringView aroundChars = u" ;；,，*";
    static constexpr QStringView leadingChars = u")元円";
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && aroundChars.contains(text[begin]))
        ++begin;
    while (end > begin && aroundChars.contains(text[end - 1]))
        --end;
    while (begin < end && leadingChars.contains(text[begin]))
        ++begin;
    return text.sliced(begin, end - begin);
}

} // namespace

void ParsePriceDetail(const QString& AText, TAmount& APrice, QString& ACurrency, QString& ANotes,
                      bool AIsIgnoreErrors)
{
    QString text = NarrowCharacters(AText);
    ApplyFixups(text, 0, PrintingDateFixupCount);
    MoveLeadingParenthesis(text);
    ApplyFixups(text, PrintingDateFixupCount, qsizetype(PriceFixups.size()));
    if (text.startsWith(u"台币") || text.startsWith(u"新台币"))
        ReplaceChineseDigits(text);

    QString noteWord;
    if (const std::optional<PriceParts> parts = SplitPrice(text)) {
        QString currency = AsciiUpper(parts->prefix);
        noteWord = CutNoteWord(currency);
        currency.removeIf([](QChar c) { return PriceStripChars.contains(c); });
        if (const std::optional<QString> code = CurrencyCode(currency)) {
            ACurrency = *code;
        } else if (AIsIgnoreErrors) {
            ACurrency.clear();
        } else {
            throw MarcError(QStringLiteral("未知币种：") + currency + QStringLiteral(" >> ") + text
                            + QStringLiteral(" >> ") + AText);
        }
        APrice = ReadAmount(parts->amount, AIsIgnoreErrors);
        ANotes = TrimNotes(parts->rest);
    } else {
        ACurrency.clear();
        APrice = {};
        ANotes = text;
    }

    if (ANotes.contains(u"$c") || ANotes.contains(u"$b"))
        ANotes.clear();
    if (ANotes.isEmpty())
        ANotes = noteWord;
    else if (!noteWord.isEmpty())
        ANotes = noteWord + u' ' + ANotes;
}
