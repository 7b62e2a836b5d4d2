#include "admin/Commands.h"

#include "netcat/MarcParser.h"

#include <QFile>
#include <QJsonDocument>

namespace {

QString JsonText(const QJsonValue& value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// Writes a JSON object whose members keep the order they are added in.
class OrderedObject
{
public:
    OrderedObject& add(const char* key, const QJsonValue& value) { return addRaw(key, JsonText(value)); }
    OrderedObject& addRaw(const char* key, const QString& json)
    {
        m_members.append(JsonText(QString::fromLatin1(key)) + u':' + json);
        return *this;
    }
    QString text() const { return u'{' + m_members.join(u',') + u'}'; }

private:
    QStringList m_members;
};

QString ResourceJson(const TResource& resource)
{
    return OrderedObject()
        .add("Title", resource.Title)
        .add("Responsibility", resource.Responsibility)
        .add("Publisher", resource.Publisher)
        .add("PublicationDate", resource.PublicationDate)
        .add("URL", resource.URL)
        .add("PublicationPlace", resource.PublicationPlace)
        .add("StandardNumber", resource.StandardNumber)
        .add("ResourceType", resource.ResourceType)
        .addRaw("Price", resource.Price.toString())
        .add("Edition", resource.Edition)
        .add("Series", resource.Series)
        .add("Physical", resource.Physical)
        .add("Accompanying", resource.Accompanying)
        .add("Language", resource.Language)
        .add("ClassNumber", resource.ClassNumber)
        .add("Subjects", resource.Subjects)
        .add("Summary", resource.Summary)
        .text();
}

QString RecordJson(const TMarcRecord& record)
{
    return OrderedObject()
        .add("State", record.State == msNormal ? QStringLiteral("msNormal") : QStringLiteral("msIncomplete"))
        .add("ResourceType", ResourceTypeName(record.ResourceType))
        .add("StandardNumbers", record.StandardNumbers)
        .add("TitleProper", record.TitleProper)
        .add("TitleProperParallel", record.TitleProperParallel)
        .add("OtherTitle", record.OtherTitle)
        .add("OtherTitleParallel", record.OtherTitleParallel)
        .add("PartName", record.PartName)
        .add("PartNumber", record.PartNumber)
        .add("Edition", record.Edition)
        .add("Responsibilities", record.Responsibilities)
        .add("Series", record.Series)
        .add("Publication", record.Publication)
        .add("Physical", record.Physical)
        .add("ClassNumber", record.ClassNumber)
        .add("Language", record.Language)
        .add("Subjects", record.Subjects)
        .add("Summary", record.Summary)
        .add("FIsIgnoreErrors", record.FIsIgnoreErrors)
        .text();
}

} // namespace

int runMarc(const QStringList& args, QTextStream& out, QTextStream& err)
{
    bool strict = false;
    bool printRecord = false;
    QStringList files;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--strict"))
            strict = true;
        else if (arg == QLatin1String("--record"))
            printRecord = true;
        else
            files.append(arg);
    }
    if (files.size() != 1) {
        err << "用法: velmora-admin marc [--strict] [--record] <文件>\n";
        return 2;
    }
    QFile file(files.first());
    if (!file.open(QIODevice::ReadOnly)) {
        err << "无法读取文件: " << files.first() << '\n';
        return 1;
    }
    TMarc marc;
    marc.Format = mfCNMarc;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString field = line.endsWith(u'\r') ? line.chopped(1) : line;
        if (!field.isEmpty())
            marc.append(field);
    }
    try {
        const TMarcRecord record(marc, !strict);
        out << (printRecord ? RecordJson(record) : ResourceJson(MarcRecordToResource(record))) << '\n';
    } catch (const AppError& error) {
        err << error.message() << '\n';
        return 1;
    }
    return 0;
}
