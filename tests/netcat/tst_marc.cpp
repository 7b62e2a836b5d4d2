#include "TestSupport.h"

#include "netcat/Marc.h"
#include "netcat/MarcParser.h"

#include <QFile>
#include <QJsonDocument>
#include <QtTest>

namespace {

TMarc CnMarc(const QStringList& lines)
{
    TMarc marc;
    marc.Format = mfCNMarc;
    marc.append(lines);
    return marc;
}

TMarcRecord Parse(const QStringList& lines, bool isIgnoreErrors = false)
{
    return TMarcRecord(CnMarc(lines), isIgnoreErrors);
}

QJsonValue Json(const char* text)
{
    const QByteArray wrapped = QByteArray("[") + text + "]";
    return QJsonDocument::fromJson(wrapped).array().first();
}

QString Compact(const QJsonValue& value)
{
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(text.mid(1, text.size() - 2));
}

} // namespace

class TestMarc : public QObject
{
    Q_OBJECT

private slots:
    void standardNumberChecks()
    {
        QVERIFY(IsDigitsOnly(u"0123456789"));
        QVERIFY(!IsDigitsOnly(u""));
        QVERIFY(!IsDigitsOnly(u"12a"));
        QVERIFY(!IsDigitsOnly(u"１２")); // full-width digits are no ASCII digits
        QVERIFY(IsIsbn(u"750361234X"));
        QVERIFY(IsIsbn(u"979ABCDEFGHIJ"));
        QVERIFY(!IsIsbn(u"75036123XX"));
        QVERIFY(!IsIsbn(u"9771002196005"));
        QVERIFY(IsIssn(u"1002196X"));
        QVERIFY(IsIssn(u"9771002196005"));
        QVERIFY(!IsIssn(u"977100219A005"));
        QVERIFY(!IsIssn(u"100219XX"));
    }

    void normalizeStandardNumber_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("canonical");
        QTest::newRow("ISBN-10 with qualifier") << "ISBN 7-5036-1234-X (精装)" << "9787503612343";
        QTest::newRow("ISBN-10 lower case") << "  isbn7-5036-1234-x" << "9787503612343";
        QTest::newRow("ISBN-10 check 0") << "7-111-07527-0" << "9787111075271";
        QTest::newRow("ISBN-13 keeps its check digit") << "978-7-5036-1234-9" << "9787503612349";
        QTest::newRow("ISBN-13 with spaces") << "978 7 5036 1234 9" << "9787503612349";
        QTest::newRow("long qualifier after space") << "9787503612349 精装本 上册" << "9787503612349";
        QTest::newRow("ISSN keeps its form") << "ISSN 1002-1965" << "10021965";
        QTest::newRow("ISSN from EAN 977") << "9771002196005" << "10021965";
        QTest::newRow("ISSN from EAN, check X") << "977-2434-561-00-6" << "2434561X";
        QTest::newRow("CN number") << "CN11-1234/G4" << "111234";
        QTest::newRow("CN number, full-width semicolon") << "CN 11-1234；月刊" << "111234";
        QTest::newRow("ISBN then ISRC") << "ISBN 7-5036-1234-X ISRC CN-A01" << "9787503612343";
        QTest::newRow("late ISRC cut") << "7-5036-1234-XXISRC CN-A01" << "750361234XX";
        QTest::newRow("leading slash kept") << "/1234" << "1234";
        QTest::newRow("empty") << "" << "";
    }

    void normalizeStandardNumber()
    {
        QFETCH(QString, raw);
        QFETCH(QString, canonical);
        QCOMPARE(NormalizeStandardNumber(raw), canonical);
    }

    void cleanSpaces()
    {
        QCOMPARE(CleanSpaces(QStringLiteral("\u3000 物权法\u00A0\t")), QStringLiteral("物权法"));
        QCOMPARE(CleanSpaces(QStringLiteral("王\u00A0利明\u3000著")), QStringLiteral("王 利明 著"));
        QCOMPARE(CleanSpaces(QString()), QString());
    }

    void emptyRecords_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty, unknown format") << int(mfUnknown) << QStringList();
        QTest::newRow("empty, CNMARC") << int(mfCNMarc) << QStringList();
        QTest::newRow("MARC 21 is not read") << int(mfMarc21) << QStringList{"245 10|aTitle", "020  |a7503612343"};
    }

    void emptyRecords()
    {
        QFETCH(int, format);
        QFETCH(QStringList, lines);
        TMarc marc;
        marc.Format = TMarcFormat(format);
        marc.State = msIncomplete;
        marc.append(lines);
        const TMarcRecord record(marc, false);
        QCOMPARE(record.State, msIncomplete);
        QCOMPARE(record.ResourceType, rtUnknown);
        QVERIFY(record.TitleProper.isEmpty() && record.Summary.isEmpty());
        QVERIFY(record.StandardNumbers.isEmpty() && record.Subjects.isEmpty());
        QVERIFY(record.Publication.isEmpty() && record.ClassNumber.isEmpty());
        const TResource resource = MarcRecordToResource(record);
        QCOMPARE(resource.Responsibility, QStringLiteral("<无>"));
        QCOMPARE(resource.ResourceType, QStringLiteral("图书"));
        QCOMPARE(resource.Physical, QStringLiteral("  "));
        QVERIFY(resource.Title.isEmpty() && resource.Price.isZero());
    }

    void fullRecord()
    {
        QFile file(testDataPath("marc-full.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        const TMarcRecord record = Parse(lines);

        QCOMPARE(record.ResourceType, rtBookChinese);
        QCOMPARE(Compact(record.StandardNumbers),
                 Compact(Json(R"j([{"t":1,"x":"9787503612349","a":"978-7-5036-1234-9","d":45,"c":"CNY"},
                                  {"t":2,"x":"10021965","a":"1002-1965","b":"平装","d":12,"c":"CNY"}])j")));
        QCOMPARE(record.TitleProper, QStringLiteral("物权法"));
        QCOMPARE(record.OtherTitle, QStringLiteral("理论与实务"));
        QCOMPARE(record.PartNumber, QStringLiteral("第2卷"));
        QCOMPARE(record.PartName, QStringLiteral("总则"));
        QCOMPARE(record.TitleProperParallel, QStringLiteral("Property law"));
        QCOMPARE(record.OtherTitleParallel, QStringLiteral("Theory"));
        QCOMPARE(record.Edition, QStringLiteral("第2版"));
        QCOMPARE(record.Summary, QStringLiteral("本书论述物权法的基本理论。"));
        QCOMPARE(Compact(record.Responsibilities),
                 Compact(Json(R"j([{"a":"王利明","4":"著","t":701},{"a":"张三","4":"编","t":702}])j")));
        QCOMPARE(Compact(record.Series), Compact(Json(R"j(["法学丛书","民法系列"])j")));
        QCOMPARE(Compact(record.Publication), Compact(Json(R"j({"a":["北京"],"c":["法律出版社"],"d":["2005"]})j")));
        QCOMPARE(Compact(record.Physical),
                 Compact(Json(R"j({"a":["380页"],"c":["图"],"d":["26cm"],"e":["光盘1片"]})j")));
        QCOMPARE(Compact(record.ClassNumber), Compact(Json(R"j({"z":["D923.2"]})j")));
        QCOMPARE(Compact(record.Language), Compact(Json(R"j({"a":["chi"],"c":["chi"],"e":["eng"]})j")));
        QCOMPARE(Compact(record.Subjects), Compact(Json(R"j(["物权法","研究","中国","民法"])j")));

        TResource expected;
        expected.Title = QStringLiteral("物权法: 理论与实务 第2卷 总则");
        expected.Responsibility = QStringLiteral("王利明 著");
        expected.Publisher = QStringLiteral("法律出版社");
        expected.PublicationDate = QStringLiteral("2005");
        expected.PublicationPlace = QStringLiteral("北京");
        expected.StandardNumber = QStringLiteral("9787503612349");
        expected.ResourceType = QStringLiteral("图书");
        expected.Price = TAmount::fromUnits(450000);
        expected.Edition = QStringLiteral("第2版");
        expected.Series = QStringLiteral("法学丛书");
        expected.Physical = QStringLiteral("380页 26cm 图");
        expected.Accompanying = QStringLiteral("光盘1片");
        expected.Language = QStringLiteral("chi");
        expected.ClassNumber = QStringLiteral("D923.2");
        expected.Subjects = QStringLiteral("物权法 -- 研究 -- 中国 -- 民法");
        expected.Summary = QStringLiteral("本书论述物权法的基本理论。");
        QCOMPARE(MarcRecordToResource(record), expected);
    }

    void titleFields()
    {
        const TMarcRecord twoTitles = Parse({"200  |b中文图书", "2001 |a物权法|f王利明著", "2001 |a债权法|e总论"});
        QCOMPARE(twoTitles.TitleProper, QStringLiteral("物权法"));
        QCOMPARE(twoTitles.OtherTitle, QStringLiteral("总论"));
        QCOMPARE(MarcRecordToResource(twoTitles).Title, QStringLiteral("物权法: 总论"));

        const TMarcRecord fromOtherTitle = Parse({"2001 |a物权法|b专著", "5171 |a物权法原理"});
        QCOMPARE(fromOtherTitle.OtherTitle, QStringLiteral("物权法原理"));

        const TMarcRecord partOnly = Parse({"2001 |a民法|i分则|b专著"});
        QCOMPARE(MarcRecordToResource(partOnly).Title, QStringLiteral("民法  分则"));
    }

    void repeatedTextsAreStoredOnce()
    {
        const TMarcRecord record = Parse({"6060 |aLaw|xHistory", "6060 |aLAW|xhistory|yChina",
                                          "6100 |ahistory|aReform", "2252 |a丛书|i丛书",
                                          "210  |aBeijing|aBEIJING|cPress"});
        QCOMPARE(Compact(record.Subjects), Compact(Json(R"j(["Law","History","China","Reform"])j")));
        QCOMPARE(Compact(record.Series), Compact(Json(R"j(["丛书"])j")));
        QCOMPARE(Compact(record.Publication), Compact(Json(R"j({"a":["Beijing"],"c":["Press"]})j")));
        QCOMPARE(MarcRecordToResource(record).Subjects, QStringLiteral("Law -- History -- China -- Reform"));
    }

    void subfieldsAndTags()
    {
        // Codes are case-sensitive, values trimmed, empty subfields and non-numeric tags skipped.
        const TMarcRecord record = Parse({"2001 |A大写|a  小写  |a|b中文图书", "ABC |a忽略", "20", "",
                                          "7010 |4著", "7020 |x无人"});
        QCOMPARE(record.TitleProper, QStringLiteral("小写"));
        QCOMPARE(Compact(record.Responsibilities), Compact(Json(R"j([{"4":"著","t":701}])j")));
        QCOMPARE(MarcRecordToResource(record).Responsibility, QStringLiteral(" 著"));
    }

    void standardNumberFields_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("numbers");
        QTest::newRow("ISBN with price")
            << QStringList{"010  |a7-5036-1234-X|dCNY25.00"}
            << R"j([{"t":1,"x":"9787503612343","a":"7-5036-1234-X","d":25,"c":"CNY"}])j";
        QTest::newRow("lost |d delimiter")
            << QStringList{"010  |a7-5036-1234-X dCNY25.00"}
            << R"j([{"t":1,"x":"9787503612343","a":"7-5036-1234-X","d":25,"c":"CNY"}])j";
        QTest::newRow("lost delimiter before TWD")
            << QStringList{"010  |a957-0-00001-2 TWD350"}
            << R"j([{"t":1,"x":"9789570000016","a":"957-0-00001-2","d":350,"c":"TWD"}])j";
        QTest::newRow("second number shares the price")
            << QStringList{"010  |a7-5036-1234-X|b上册|dCNY25.00(全2册)", "010  |a7-5036-1235-8|b下册"}
            << R"j([{"t":1,"x":"9787503612343","a":"7-5036-1234-X","b":"上册","d":25,"c":"CNY","n":"(全2册)"},
                   {"t":1,"x":"9787503612350","a":"7-5036-1235-8","b":"下册","d":25,"c":"CNY","n":"(全2册)"}])j";
        QTest::newRow("first number gets the later price")
            << QStringList{"010  |a7-5036-1234-X", "010  |a7-5036-1235-8|dCNY30"}
            << R"j([{"t":1,"x":"9787503612343","a":"7-5036-1234-X","d":30,"c":"CNY"},
                   {"t":1,"x":"9787503612350","a":"7-5036-1235-8","d":30,"c":"CNY"}])j";
        QTest::newRow("price-only object is completed")
            << QStringList{"010  |dCNY25.00", "010  |a7-5036-1234-X"}
            << R"j([{"t":1,"x":"9787503612343","a":"7-5036-1234-X","d":25,"c":"CNY"}])j";
        QTest::newRow("number from $b after CN")
            << QStringList{"091  |acn|b11-1234/G4|dCNY8.00|dCNY9.50"}
            << R"j([{"t":4,"x":"111234","a":"11-1234/G4","d":9.5,"c":"CNY"}])j";
        QTest::newRow("ISSN takes the last price, ISRC the first")
            << QStringList{"011  |a1002-1965|dCNY10|dCNY12", "016  |aCN-A01-99-0001-0|dCNY20|dCNY22"}
            << R"j([{"t":2,"x":"10021965","a":"1002-1965","d":12,"c":"CNY"},
                   {"t":3,"x":"A019900010","a":"CN-A01-99-0001-0","d":20,"c":"CNY"}])j";
        QTest::newRow("field without values is dropped")
            << QStringList{"010  |a", "010  |ay0chi|b"} << "[]";
        QTest::newRow("broken record marker")
            << QStringList{"010  |a10256.2700674nam2 22"}
            << R"j([{"t":1,"x":"1025627","a":"10256.27"}])j";
    }

    void standardNumberFields()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, numbers);
        const TMarcRecord record = Parse(lines);
        QCOMPARE(Compact(record.StandardNumbers), Compact(Json(numbers.toUtf8().constData())));
    }

    void resourceFromStandardNumber_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("type");
        QTest::addColumn<qint64>("priceUnits");
        QTest::newRow("ISBN") << "010  |a7-5036-1234-X|dCNY12.99" << "图书" << qint64(129900);
        QTest::newRow("ISSN") << "011  |a1002-1965" << "期刊" << qint64(0);
        QTest::newRow("ISRC") << "016  |aCN-A01|dHK$45" << "光盘" << qint64(450000);
        QTest::newRow("CN number") << "019  |aCN11-1234" << "图书" << qint64(0);
    }

    void resourceFromStandardNumber()
    {
        QFETCH(QString, line);
        QFETCH(QString, type);
        QFETCH(qint64, priceUnits);
        const TResource resource = MarcRecordToResource(Parse({line}));
        QCOMPARE(resource.ResourceType, type);
        QCOMPARE(resource.Price.units(), priceUnits);
    }

    void resourceTypes_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("type");
        QTest::newRow("book") << QStringList{"2001 |a书|b中文图书"} << int(rtBookChinese);
        QTest::newRow("last $b decides") << QStringList{"2001 |a书|b中文图书|b光盘"} << int(rtCD);
        QTest::newRow("case ignored") << QStringList{"2001 |a书|b电子资源.cd"} << int(rtCD);
        QTest::newRow("overseas with space") << QStringList{"2001 |b海外 中文图书"} << int(rtBookChineseOverseas);
        QTest::newRow("unknown then known") << QStringList{"2001 |b类型不详", "2001 |b期刊"} << int(rtSerialChinese);
        QTest::newRow("first known wins") << QStringList{"2001 |b学位论文", "2001 |b期刊"} << int(rtThesis);
        QTest::newRow("microform") << QStringList{"2001 |b缩微制品"} << int(rtMicroform);
    }

    void resourceTypes()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, type);
        QCOMPARE(int(Parse(lines).ResourceType), type);
    }

    void resourceTypeOrdinals()
    {
        QCOMPARE(int(rtBookWestern), 8);
        QCOMPARE(int(rtSerialElectronic), 22);
        QCOMPARE(int(rtNewspaperChinese), 24);
        QCOMPARE(int(rtMicroform), 37);
        QCOMPARE(ResourceTypeName(rtn6), QStringLiteral("rtn6"));
        QCOMPARE(ResourceTypeName(TResourceType(38)), QString());
    }

    void errors_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message");
        QTest::newRow("ISMN") << QStringList{"014  |a123"} << "未处理的标准号类型：14";
        QTest::newRow("field 018") << QStringList{"018  |a123"} << "未处理的标准号类型：18";
        QTest::newRow("field 073") << QStringList{"073  |a123"} << "未处理的标准号类型：73";
        QTest::newRow("unknown 200 $b") << QStringList{"2001 |a书|b手稿"} << "Parser: 未处理的资源类型：手稿";
        QTest::newRow("200 without $b") << QStringList{"2001 |a书"} << "Parser: 未处理的资源类型：";
        QTest::newRow("unknown currency")
            << QStringList{"010  |a7-5036-1234-X|dXYZ12"} << "未知币种：XYZ >> XYZ12 >> XYZ12";
    }

    void errors()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        try {
            Parse(lines);
            QFAIL("no error raised");
        } catch (const MarcError& error) {
            QCOMPARE(error.message(), message);
        }
        const TMarcRecord ignoring = Parse(lines, true);
        QCOMPARE(ignoring.ResourceType, rtUnknown);
        QVERIFY(ignoring.FIsIgnoreErrors);
    }

    void unknownFormatFails()
    {
        TMarc marc;
        marc.append(QStringLiteral("2001 |a书"));
        for (const bool ignore : {false, true}) {
            try {
                TMarcRecord record(marc, ignore);
                QFAIL("no error raised");
            } catch (const MarcError& error) {
                QCOMPARE(error.message(), QStringLiteral("未处理的MARC格式"));
            }
        }
    }

    void recordCopiesAreIndependent()
    {
        const TMarcRecord original = Parse({"6060 |a法律"});
        TMarcRecord copy = original;
        copy.Subjects.append(QStringLiteral("历史"));
        QCOMPARE(original.Subjects.size(), 1);
        QCOMPARE(copy.Subjects.size(), 2);
    }

    void emptyJsonValues()
    {
        QVERIFY(IsEmptyJsonValue(QJsonValue(QJsonValue::Undefined)));
        QVERIFY(IsEmptyJsonValue(QJsonValue()));
        QVERIFY(IsEmptyJsonValue(QJsonArray()));
        QVERIFY(IsEmptyJsonValue(QJsonObject()));
        QVERIFY(IsEmptyJsonValue(QString()));
        QVERIFY(IsEmptyJsonValue(0.0));
        QVERIFY(!IsEmptyJsonValue(0.0001));
        QVERIFY(!IsEmptyJsonValue(QStringLiteral(" ")));
        QVERIFY(!IsEmptyJsonValue(QJsonArray{0}));
        QVERIFY(!IsEmptyJsonValue(false));
    }
};

QTEST_GUILESS_MAIN(TestMarc)
#include "tst_marc.moc"
