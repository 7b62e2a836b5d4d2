#include "netcat/MarcParser.h"

#include <QMap>
#include <QSet>

namespace {

// The subfields of one field line; values are trimmed and empty ones dropped.
class FieldLine
{
public:
    explicit FieldLine(QStringView line)
    {
        const QList<QStringView> pieces = line.split(u'|');
        for (qsizetype i = 1; i < pieces.size(); ++i) {
            const QStringView piece = pieces[i];
            if (piece.isEmpty())
                continue;
            QString value = TrimLowChars(piece.sliced(1));
            if (!value.isEmpty())
                m_subfields.append({piece.front(), std::move(value)});
        }
    }

    QStringList all(char16_t code) const
    {
        QStringList values;
        for (const Subfield& subfield : m_subfields) {
            if (subfield.code == code)
                values.append(subfield.value);
        }
        return values;
    }

    QString first(char16_t code) const
    {
        for (const Subfield& subfield : m_subfields) {
            if (subfield.code == code)
                return subfield.value;
        }
        return {};
    }

    QString last(char16_t code) const
    {
        for (auto it = m_subfields.crbegin(); it != m_subfields.crend(); ++it) {
            if (it->code == code)
                return it->value;
        }
        return {};
    }

private:
    struct Subfield
    {
        QChar code;
        QString value;
    };
    QList<Subfield> m_subfields;
};

// An ordered list that keeps the first spelling of texts equal but for letter case.
class UniqueTexts
{
public:
    void add(const QString& text)
    {
        const QString key = text.toCaseFolded();
        if (m_seen.contains(key))
            return;
        m_seen.insert(key);
        m_items.append(text);
    }

    void addAll(const QStringList& texts)
    {
        for (const QString& text : texts)
            add(text);
    }

    QJsonArray toJson() const { return QJsonArray::fromStringList(m_items); }

private:
    QStringList m_items;
    QSet<QString> m_seen;
};

// Arrays under one-letter keys; a key exists only once something was added under it.
class TextsByKey
{
public:
    void addAll(const QString& key, const QStringList& texts)
    {
        if (!texts.isEmpty())
            m_arrays[key].addAll(texts);
    }

    QJsonObject toJson() const
    {
        QJsonObject object;
        for (auto it = m_arrays.cbegin(); it != m_arrays.cend(); ++it)
            object.insert(it.key(), it.value().toJson());
        return object;
    }

private:
    QMap<QString, UniqueTexts> m_arrays;
};

int TagOf(const QString& line)
{
    if (line.size() < 3)
        return 0;
    int tag = 0;
    for (qsizetype i = 0; i < 3; ++i) {
        if (line[i] < u'0' || line[i] > u'9')
            return 0;
        tag = tag * 10 + (line[i].unicode() - u'0');
    }
    return tag;
}

void KeepFirst(QString& target, const FieldLine& field, char16_t code)
{
    if (target.isEmpty())
        target = field.first(code);
}

QString ClassNumberKey(int tag)
{
    switch (tag) {
    case 675: return QStringLiteral("g");
    case 676: return QStringLiteral("d");
    case 680: return QStringLiteral("h");
    case 690: return QStringLiteral("z");
    case 692: return QStringLiteral("k");
    default: return QStringLiteral("q");
    }
}

void CopyPrice(const QJsonObject& from, QJsonObject& to)
{
    for (const char* key : {"d", "c", "n"}) {
        const QString name = QString::fromLatin1(key);
        if (from.contains(name))
            to.insert(name, from.value(name));
    }
}

class CnMarcReader
{
public:
    explicit CnMarcReader(TMarcRecord& record) : m_record(record) {}

    void read(const TMarc& marc)
    {
        for (const QString& line : marc)
            readLine(line);
        m_record.Series = m_series.toJson();
        m_record.Subjects = m_subjects.toJson();
        m_record.Publication = m_publication.toJson();
        m_record.Physical = m_physical.toJson();
        m_record.ClassNumber = m_classNumber.toJson();
        m_record.Language = m_language.toJson();
    }

private:
    void readLine(const QString& line)
    {
        const int tag = TagOf(line);
        switch (tag) {
        case 10: return readStandardNumber(1, line);
        case 11: return readStandardNumber(2, line);
        case 16: return readStandardNumber(3, line);
        case 19:
        case 91: return readStandardNumber(4, line);
        case 14:
        case 18:
        case 73:
            if (!m_record.FIsIgnoreErrors)
                throw MarcError(QStringLiteral("未处理的标准号类型：") + QString::number(tag));
            return;
        default: break;
        }
        const FieldLine field(line);
        switch (tag) {
        case 101:
            for (const char16_t code : {u'a', u'c', u'e'})
                m_language.addAll(QString(QChar(code)), field.all(code));
            break;
        case 200:
            readResourceType(field);
            KeepFirst(m_record.TitleProper, field, u'a');
            KeepFirst(m_record.PartName, field, u'i');
            KeepFirst(m_record.PartNumber, field, u'h');
            KeepFirst(m_record.OtherTitle, field, u'e');
            break;
        case 205: KeepFirst(m_record.Edition, field, u'a'); break;
        case 210:
            for (const char16_t code : {u'c', u'a', u'd'})
                m_publication.addAll(QString(QChar(code)), field.all(code));
            break;
        case 215:
            for (const char16_t code : {u'a', u'd', u'e', u'c'})
                m_physical.addAll(QString(QChar(code)), field.all(code));
            break;
        case 225:
            m_series.addAll(field.all(u'a'));
            m_series.addAll(field.all(u'i'));
            break;
        case 330: KeepFirst(m_record.Summary, field, u'a'); break;
        case 510:
            KeepFirst(m_record.TitleProperParallel, field, u'a');
            KeepFirst(m_record.OtherTitleParallel, field, u'e');
            break;
        case 517: KeepFirst(m_record.OtherTitle, field, u'a'); break;
        case 600:
        case 601:
        case 605:
        case 606:
        case 607:
            for (const char16_t code : {u'a', u'j', u'x', u'y', u'z'})
                m_subjects.addAll(field.all(code));
            break;
        case 610: m_subjects.addAll(field.all(u'a')); break;
        case 675:
        case 676:
        case 680:
        case 690:
        case 692:
        case 696: m_classNumber.addAll(ClassNumberKey(tag), field.all(u'a')); break;
        case 700:
        case 701:
        case 702:
        case 710:
        case 711:
        case 712: readResponsibility(tag, field); break;
        default: break;
        }
    }

    void readResourceType(const FieldLine& field)
    {
        if (m_record.ResourceType != rtUnknown)
            return;
        const QString text = field.last(u'b');
        if (const std::optional<TResourceType> type = ResourceTypeFromText(text))
            m_record.ResourceType = *type;
        else if (!m_record.FIsIgnoreErrors)
            throw MarcError(QStringLiteral("Parser: 未处理的资源类型：") + text);
    }

    void readResponsibility(int tag, const FieldLine& field)
    {
        QJsonObject responsibility;
        for (const char16_t code : {u'a', u'b', u'c', u'f', u'4'}) {
            const QString value = field.first(code);
            if (!value.isEmpty())
                responsibility.insert(QString(QChar(code)), value);
        }
        if (responsibility.isEmpty())
            return;
        responsibility.insert(QStringLiteral("t"), tag);
        m_record.Responsibilities.append(responsibility);
    }

    // Catalogues sometimes lose the "|" before the price subfield.
    static QString RepairPriceDelimiter(QString line)
    {
        if (line.contains(u"|d"))
            return line;
        if (line.contains(u"dCNY"))
            line.replace(QStringLiteral("dCNY"), QStringLiteral("|dCNY"));
        else if (line.contains(u"dKRW"))
            line.replace(QStringLiteral("dKRW"), QStringLiteral("|dKRW"));
        else if (line.contains(u"TWD"))
            line.replace(QStringLiteral("TWD"), QStringLiteral("|dTWD"));
        return line;
    }

    void readStandardNumber(int kind, const QString& line)
    {
        const FieldLine field(RepairPriceDelimiter(line));
        QString number = field.first(u'a');
        if (number.contains(u"y0chi"))
            number.clear();
        if (number.startsWith(u"10256.2700674nam2"))
            number = QStringLiteral("10256.27");
        QString qualification;
        if (number.compare(u"CN", Qt::CaseInsensitive) == 0)
            number = field.first(u'b');
        else
            qualification = field.first(u'b');

        // ISSN and CN fields list the price of the latest issue last.
        const QString priceText = kind == 2 || kind == 4 ? field.last(u'd') : field.first(u'd');
        TAmount amount;
        QString currency;
        QString notes;
        ParsePriceDetail(priceText, amount, currency, notes, m_record.FIsIgnoreErrors);

        QJsonArray& numbers = m_record.StandardNumbers;
        // A field with only a price is completed by the number of the next field.
        const bool reuse = !numbers.isEmpty() && !numbers.last().toObject().contains(u"x");
        QJsonObject target = reuse ? numbers.last().toObject() : QJsonObject();
        const auto store = [&target](const char* key, const QJsonValue& value) {
            if (!IsEmptyJsonValue(value))
                target.insert(QString::fromLatin1(key), value);
        };
        store("t", kind);
        store("x", NormalizeStandardNumber(number));
        store("a", number);
        store("b", qualification);
        store("d", amount.toDouble());
        store("c", currency);
        store("n", notes);
        if (reuse)
            numbers.replace(numbers.size() - 1, target);
        else
            numbers.append(target);
        if (target.size() < 2)
            numbers.removeLast();
        SharePrice(numbers);
    }

    // The volumes of a multi-volume record list their numbers in several fields but the
    // price once; every number then carries it.
    static void SharePrice(QJsonArray& numbers)
    {
        const qsizetype count = numbers.size();
        if (count < 2)
            return;
        QJsonObject last = numbers.at(count - 1).toObject();
        QJsonObject previous = numbers.at(count - 2).toObject();
        const QString amountKey = QStringLiteral("d");
        if (last.contains(amountKey) && !previous.contains(amountKey)) {
            CopyPrice(last, previous);
            numbers.replace(count - 2, previous);
        } else if (!last.contains(amountKey)) {
            CopyPrice(previous, last);
            numbers.replace(count - 1, last);
        }
    }

    TMarcRecord& m_record;
    UniqueTexts m_series;
    UniqueTexts m_subjects;
    TextsByKey m_publication;
    TextsByKey m_physical;
    TextsByKey m_classNumber;
    TextsByKey m_language;
};

// A number in its shortest decimal form, a text as it is, anything else empty.
QString TextOf(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    return {};
}

QString FirstOf(const QJsonObject& object, const char* key)
{
    const QJsonArray array = object.value(QLatin1String(key)).toArray();
    return array.isEmpty() ? QString() : TextOf(array.first());
}

QString ResourceTypeOfNumberKind(const QJsonValue& kind)
{
    const double value = kind.toDouble();
    if (value == 2)
        return QStringLiteral("期刊");
    if (value == 3)
        return QStringLiteral("光盘");
    return QStringLiteral("图书");
}

} // namespace

bool IsEmptyJsonValue(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined: return true;
    case QJsonValue::Array: return value.toArray().isEmpty();
    case QJsonValue::Object: return value.toObject().isEmpty();
    case QJsonValue::String: return value.toString().isEmpty();
    case QJsonValue::Double: return value.toDouble() == 0;
    case QJsonValue::Bool: return false;
    }
    return false;
}

TMarcRecord::TMarcRecord(const TMarc& Marc, bool IsIgnoreErrors) : State(Marc.State), FIsIgnoreErrors(IsIgnoreErrors)
{
    if (Marc.IsEmpty())
        return;
    switch (Marc.Format) {
    case mfCNMarc: CnMarcReader(*this).read(Marc); return;
    case mfMarc21: return; // accepted, but no field of it is read
    default: throw MarcError(QStringLiteral("未处理的MARC格式"));
    }
}

TResource MarcRecordToResource(const TMarcRecord& record)
{
    TResource resource;
    QString title = record.TitleProper;
    if (!record.OtherTitle.isEmpty())
        title += QStringLiteral(": ") + record.OtherTitle;
    title += u' ' + record.PartNumber + u' ' + record.PartName;
    resource.Title = TrimLowChars(title);

    resource.Responsibility = QStringLiteral("<无>");
    if (!record.Responsibilities.isEmpty()) {
        const QJsonObject first = record.Responsibilities.first().toObject();
        resource.Responsibility = TextOf(first.value(u"a")) + u' ' + TextOf(first.value(u"4"));
    }

    resource.Publisher = FirstOf(record.Publication, "c");
    resource.PublicationDate = FirstOf(record.Publication, "d");
    resource.PublicationPlace = FirstOf(record.Publication, "a");

    const QJsonObject number = record.StandardNumbers.isEmpty() ? QJsonObject()
                                                                : record.StandardNumbers.first().toObject();
    resource.StandardNumber = TextOf(number.value(u"x"));
    resource.ResourceType = ResourceTypeOfNumberKind(number.value(u"t"));
    const QJsonValue amount = number.value(u"d");
    if (amount.isDouble())
        resource.Price = TAmount::fromDouble(amount.toDouble()).value_or(TAmount());

    resource.Edition = record.Edition;
    resource.Series = record.Series.isEmpty() ? QString() : TextOf(record.Series.first());
    resource.Physical = FirstOf(record.Physical, "a") + u' ' + FirstOf(record.Physical, "d") + u' '
                        + FirstOf(record.Physical, "c");
    resource.Accompanying = FirstOf(record.Physical, "e");
    resource.Language = FirstOf(record.Language, "a");
    resource.ClassNumber = FirstOf(record.ClassNumber, "z");
    resource.Summary = record.Summary;
    QStringList subjects;
    for (const QJsonValue& subject : record.Subjects)
        subjects.append(TextOf(subject));
    resource.Subjects = subjects.join(QStringLiteral(" -- "));
    return resource;
}
