#include "netcat/MarcParser.h"
#include "netcat/Price.h"

#include <QtTest>

class TestPrice : public QObject
{
    Q_OBJECT

private slots:
    void parsePriceDetail_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("notes");
        QTest::newRow("CNY25.00") << "CNY25.00" << "25" << "CNY" << "";
        QTest::newRow("(精装)CNY25.00") << "(精装)CNY25.00" << "25" << "CNY" << "(精装)";
        QTest::newRow("全套定价CNY120.00(共3册)") << "全套定价CNY120.00(共3册)" << "120" << "CNY" << "全套定价 (共3册)";
        QTest::newRow("精装：CNY32.00") << "精装：CNY32.00" << "32" << "CNY" << "精装";
        QTest::newRow("HK$45") << "HK$45" << "45" << "HKD" << "";
        QTest::newRow("US$12.99") << "US$12.99" << "12.99" << "USD" << "";
        QTest::newRow("NT$350") << "NT$350" << "350" << "TWD" << "";
        QTest::newRow("台币一·二00元") << "台币一·二00元" << "1200" << "TWD" << "";
        QTest::newRow("full-width yen") << "￥25.00" << "25" << "CNY" << "";
        QTest::newRow("half-width yen") << "¥1200" << "1200" << "JPY" << "";
        QTest::newRow("定价：28.00元") << "定价：28.00元" << "28" << "" << "";
        QTest::newRow("CNY12.5.0") << "CNY12.5.0" << "12.5" << "CNY" << "";
        QTest::newRow("无定价") << "无定价" << "0" << "" << "无定价";

        QTest::newRow("empty") << "" << "0" << "" << "";
        QTest::newRow("full-width letters and digits") << "ＣＮＹ２５（精装）" << "25" << "CNY" << "(精装)";
        QTest::newRow("thousands separator") << "RMB1,200.50元" << "1200.5" << "CNY" << "";
        QTest::newRow("printing date fixed before the move")
            << "(第一次印刷1985.5)CNY1.20" << "1.2" << "CNY" << "(第一次印刷一九八五年五月)";
        QTest::newRow("first letter o, case ignored") << "￥O.65" << "0.65" << "CNY" << "";
        QTest::newRow("Chinese numerals after 新台币") << "新台币三百五十元" << "3" << "TWD" << "百5十元";
        QTest::newRow("fixup of 新台币") << "新台币一百0二元" << "102" << "TWD" << "";
        QTest::newRow("yuan and jiao") << "二元四角" << "2.4" << "" << "";
        QTest::newRow("note word in the middle") << "每册CNY8.00" << "8" << "CNY" << "每册";
        QTest::newRow("only stripped characters and note words") << "全套：定价：12" << "12" << "" << "全套";
        QTest::newRow("notes trimmed") << "CNY12.00元 ;(平装)* " << "12" << "CNY" << " ;(平装)";
        QTest::newRow("subfield leftovers dropped") << "CNY12$b平装" << "12" << "CNY" << "";
        QTest::newRow("tortoise-shell brackets") << "〔CNY〕15" << "15" << "CNY" << "";
        QTest::newRow("more decimals round") << "CNY1.23456" << "1.2346" << "CNY" << "";
        QTest::newRow("euro kept") << "EUR9.90" << "9.9" << "EUR" << "";
        QTest::newRow("no currency letters") << "F12" << "12" << "" << "";
    }

    void parsePriceDetail()
    {
        QFETCH(QString, text);
        QFETCH(QString, amount);
        QFETCH(QString, currency);
        QFETCH(QString, notes);
        for (const bool ignore : {false, true}) {
            TAmount price = TAmount::fromUnits(-1);
            QString actualCurrency = QStringLiteral("?");
            QString actualNotes = QStringLiteral("?");
            TMarcRecord::ParsePriceDetail(text, price, actualCurrency, actualNotes, ignore);
            QCOMPARE(price.toString(), amount);
            QCOMPARE(actualCurrency, currency);
            QCOMPARE(actualNotes, notes);
        }
    }

    void unknownCurrency()
    {
        TAmount price;
        QString currency;
        QString notes;
        try {
            ParsePriceDetail(QStringLiteral("（金币）ABC12"), price, currency, notes, false);
            QFAIL("no error raised");
        } catch (const MarcError& error) {
            QCOMPARE(error.message(), QStringLiteral("未知币种：ABC >> ABC12(金币) >> （金币）ABC12"));
        }
        ParsePriceDetail(QStringLiteral("ABC12"), price, currency, notes, true);
        QCOMPARE(price.toString(), QStringLiteral("12"));
        QVERIFY(currency.isEmpty());
    }

    void amountWithoutDigits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("lone point") << "定价.";
        QTest::newRow("lone comma") << "CNY,元";
        QTest::newRow("too large") << "CNY99999999999999999999";
    }

    void amountWithoutDigits()
    {
        QFETCH(QString, text);
        TAmount price;
        QString currency;
        QString notes;
        QVERIFY_THROWS_EXCEPTION(PriceConversionError, ParsePriceDetail(text, price, currency, notes, false));
        price = TAmount::fromUnits(5);
        ParsePriceDetail(text, price, currency, notes, true);
        QVERIFY(price.isZero());
    }

    void amountText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("units");
        QTest::addColumn<QString>("shortest");
        QTest::newRow("integer") << "25" << qint64(250000) << "25";
        QTest::newRow("fraction") << "12.99" << qint64(129900) << "12.99";
        QTest::newRow("leading point") << ".5" << qint64(5000) << "0.5";
        QTest::newRow("trailing point") << "5." << qint64(50000) << "5";
        QTest::newRow("smallest") << "0.0001" << qint64(1) << "0.0001";
        QTest::newRow("rounds half up") << "0.00005" << qint64(1) << "0.0001";
        QTest::newRow("negative") << "-3.25" << qint64(-32500) << "-3.25";
        QTest::newRow("largest") << "922337203685477.5807" << qint64(9223372036854775807) << "922337203685477.5807";
    }

    void amountText()
    {
        QFETCH(QString, text);
        QFETCH(qint64, units);
        QFETCH(QString, shortest);
        const std::optional<TAmount> amount = TAmount::fromDecimal(text);
        QVERIFY(amount);
        QCOMPARE(amount->units(), units);
        QCOMPARE(amount->toString(), shortest);
    }

    void amountRejects()
    {
        for (const char* text : {"", ".", "-", "1.2.3", "1e5", "922337203685477.5808", "12a"})
            QVERIFY2(!TAmount::fromDecimal(QString::fromLatin1(text)), text);
        QVERIFY(!TAmount::fromDouble(qInf()));
        QVERIFY(!TAmount::fromDouble(1e300));
        QCOMPARE(TAmount::fromDouble(12.99)->units(), qint64(129900));
    }
};

QTEST_GUILESS_MAIN(TestPrice)
#include "tst_price.moc"
