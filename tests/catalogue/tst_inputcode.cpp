#include "catalogue/inputcode/GbkInputCode.h"
#include "catalogue/inputcode/InputCode.h"
#include "catalogue/inputcode/InputCodeTables.h"

#include <QRandomGenerator>
#include <QTest>

#include <cerrno>
#include <iconv.h>

using namespace InputCodeTables;

namespace {

// The conversion the input code is defined on: glibc's GBK, each character GBK lacks
// (one code point, or one lone surrogate) written as '?'.
class GbkEncoder
{
public:
    GbkEncoder() : m_handle(iconv_open("GBK", "UTF-16LE")) {}
    ~GbkEncoder() { iconv_close(m_handle); }
    bool isValid() const { return m_handle != iconv_t(-1); }

    QByteArray encode(const QString& text)
    {
        QByteArray gbk;
        const char16_t* units = reinterpret_cast<const char16_t*>(text.constData());
        qsizetype position = 0;
        while (position < text.size()) {
            char* in = const_cast<char*>(reinterpret_cast<const char*>(units + position));
            size_t inLeft = size_t(text.size() - position) * 2;
            char buffer[256];
            char* out = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(m_handle, &in, &inLeft, &out, &outLeft);
            const int error = errno;
            gbk.append(buffer, out - buffer);
            position = text.size() - qsizetype(inLeft / 2);
            if (result == size_t(-1) && error != E2BIG) {
                gbk.append('?');
                const bool pair = position + 1 < text.size() && QChar::isHighSurrogate(units[position])
                                  && QChar::isLowSurrogate(units[position + 1]);
                position += pair ? 2 : 1;
                iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return gbk;
    }

private:
    iconv_t m_handle;
};

QString syllableText(int number)
{
    const PinyinSyllable& syllable = PinyinSyllables[number - 1];
    return QString::fromLatin1(syllable.letters, syllable.length);
}

} // namespace

class TestInputCode : public QObject
{
    Q_OBJECT

private slots:
    void inputCodes_data();
    void inputCodes();
    void keepsOnlyTheListedAsciiSigns();
    void fixedReadingsOfCharactersWithSeveralReadings_data();
    void fixedReadingsOfCharactersWithSeveralReadings();
    void readingTableIsWellFormed();
    void walksGbkBytes_data();
    void walksGbkBytes();
    void agreesWithIconvOnEveryBmpCharacter();
    void agreesWithIconvOnMixedText();
};

void TestInputCode::inputCodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");

    QTest::newRow("title") << u"物权法"_qs << "WQF";
    QTest::newRow("reader") << u"李明"_qs << "LM";
    QTest::newRow("publisher") << u"科学出版社"_qs << "KXCBS";
    QTest::newRow("长 read zhang") << u"长江文艺出版社"_qs << "ZJWYCBS";
    QTest::newRow("行 read hang") << u"行为学"_qs << "HWX";
    QTest::newRow("重 read zhong") << u"重庆出版社"_qs << "ZQCBS";
    QTest::newRow("latin upper-cased, spaces dropped") << u"Windows 10 使用手册"_qs << "WINDOWS10SYSC";
    QTest::newRow("hyphen kept") << u"ISBN 978-7"_qs << "ISBN978-7";
    QTest::newRow("digit and letter") << u"3D打印技术"_qs << "3DDYJS";
    QTest::newRow("percent kept") << u"100%正确"_qs << "100%ZQ";
    QTest::newRow("equals sign dropped") << u"A+B=C"_qs << "A+BC";
    QTest::newRow("full-width brackets") << u"Excel 2016（第2版）"_qs << "EXCEL2016(D2B)";
    QTest::newRow("underscore, slash, comma dropped") << u"a_b/c,d"_qs << "ABCD";
    QTest::newRow("apostrophe dropped") << u"O'Neil"_qs << "ONEIL";
    QTest::newRow("title marks dropped") << u"《红楼梦》"_qs << "HLM";
    QTest::newRow("full-width letter") << u"Ｃ语言"_qs << "CYY";
    QTest::newRow("full-width digit") << u"张三（2）"_qs << "ZS(2)";
    QTest::newRow("circled digit") << u"第①章"_qs << "D1Z";
    QTest::newRow("roman numeral") << u"Ⅲ型"_qs << "3X";
    QTest::newRow("greek letter") << u"α粒子"_qs << "ALZ";

    QTest::newRow("two-letter greek reading") << u"θ"_qs << "T";
    QTest::newRow("two-digit number symbol") << u"⑿"_qs << "1";
    QTest::newRow("no reading: ling zero") << u"〇"_qs << "";
    QTest::newRow("no reading: u diaeresis") << u"ü"_qs << "";
    QTest::newRow("no reading: 兝") << u"兝"_qs << "";
    QTest::newRow("no reading between readings") << u"一〇ü兝二"_qs << "YE";
    QTest::newRow("empty") << QString() << "";
    QTest::newRow("dropped signs only") << u" ，。、=_/ "_qs << "";

    QTest::newRow("capital greek") << u"ΩΘ"_qs << "OT";
    QTest::newRow("number symbols of every block") << u"ⅹ⒛⒇⑩㈩Ⅻ"_qs << "122111";
    QTest::newRow("full-width signs dropped") << u"＠＄＿｛＾"_qs << "";
    QTest::newRow("full-width square brackets") << u"［ｚ］"_qs << "[Z]";
    QTest::newRow("euro sign is a single GBK byte") << u"5€"_qs << "5";
    QTest::newRow("outside GBK") << u"El Niño 한"_qs << "ELNI?O?";
    QTest::newRow("surrogate pair is one character") << u"书😀"_qs << "S?";
    QTest::newRow("lone surrogates")
        << u"a"_qs + QChar(0xD800) + QChar(0xD800) + QChar(0xDC00) + QChar(0xDC00) + u"b"_qs << "A???B";
}

void TestInputCode::inputCodes()
{
    QFETCH(QString, text);
    QFETCH(QString, code);
    QCOMPARE(MakeInputCode(text), code);
}

void TestInputCode::keepsOnlyTheListedAsciiSigns()
{
    const QByteArray kept = "!\"#$%&()*+-.0123456789:<>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^"
                            "abcdefghijklmnopqrstuvwxyz";
    for (int c = 0; c < 128; ++c) {
        const QString expected = kept.contains(char(c)) ? QString(QChar(c)).toUpper() : QString();
        QVERIFY2(MakeInputCode(QString(QChar(c))) == expected, qPrintable(QString::number(c)));
    }
}

void TestInputCode::fixedReadingsOfCharactersWithSeveralReadings_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("reading");
    const char* const readings[][2] = {
        {"行", "hang"}, {"长", "zhang"}, {"重", "zhong"}, {"乐", "le"},   {"单", "dan"},
        {"曾", "ceng"}, {"藏", "cang"},  {"会", "hui"},   {"朝", "chao"}, {"传", "chuan"},
        {"都", "dou"},  {"还", "hai"},   {"解", "jie"},   {"省", "sheng"}, {"仇", "chou"},
        {"区", "qu"},   {"查", "cha"},   {"尉", "wei"},   {"种", "zhong"}, {"沈", "shen"},
        {"覃", "tan"},  {"翟", "zhai"},  {"柏", "bai"},   {"觉", "jiao"}, {"薄", "bao"},
        {"率", "lv"},   {"校", "xiao"},  {"参", "can"},   {"吕", "lv"},   {"略", "lue"},
    };
    for (const auto& [character, reading] : readings)
        QTest::newRow(character) << QString::fromUtf8(character) << QString::fromLatin1(reading);
}

void TestInputCode::fixedReadingsOfCharactersWithSeveralReadings()
{
    QFETCH(QString, character);
    QFETCH(QString, reading);
    QCOMPARE(QString(PinyinOfGbk(GbkCodeOf(character.at(0).unicode()))), reading);
}

void TestInputCode::readingTableIsWellFormed()
{
    QVERIFY(PinyinSyllableCount > 400);
    for (int number = 1; number <= PinyinSyllableCount; ++number) {
        const QString syllable = syllableText(number);
        QVERIFY2(syllable.size() >= 1 && syllable.size() <= 6, qPrintable(syllable));
        for (QChar letter : syllable)
            QVERIFY2(letter >= u'a' && letter <= u'z', qPrintable(syllable));
        if (number > 1)
            QVERIFY2(syllableText(number - 1) < syllable, qPrintable(syllable));
    }

    const QList<int> zeroRows = {0xA1, 0xA2, 0xA4, 0xA5, 0xA7, 0xA8, 0xA9, 0xFE};
    const QList<int> noReading = {GbkCodeOf(u'兝'), GbkCodeOf(u'瓱'), 0xFD9C, 0xFD9D, 0xFD9E, 0xFD9F, 0xFDA0};
    int withReading = 0;
    for (int lead = GbkLeadFirst; lead <= GbkLeadLast; ++lead) {
        for (int trail = GbkTrailFirst; trail <= GbkTrailLast; ++trail) {
            const int slot = gbkSlot(lead, trail);
            const int number = GbkReadingIndex[slot];
            const QByteArray where = QByteArray::number(lead << 8 | trail, 16);
            QVERIFY2(number <= PinyinSyllableCount, where);
            if (zeroRows.contains(lead) || trail == 0x7F || noReading.contains(lead << 8 | trail))
                QVERIFY2(number == 0, where);
            const bool gb2312 = lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1;
            if (gb2312 && GbkToUnicode[slot] != 0)
                QVERIFY2(number != 0, where);
            withReading += number != 0;
        }
    }
    qInfo("%d syllables, %d GBK codes with a reading", PinyinSyllableCount, withReading);
}

void TestInputCode::walksGbkBytes_data()
{
    QTest::addColumn<QByteArray>("gbk");
    QTest::addColumn<QByteArray>("code");

    QTest::newRow("lead byte at the end stands alone") << QByteArray("A\xB0") << QByteArray("A");
    QTest::newRow("second byte below 0x40 is consumed") << QByteArray("\x81\x30" "1") << QByteArray("1");
    QTest::newRow("0x80 and 0xFF are one-byte characters") << QByteArray("\x80\xFF" "b") << QByteArray("B");
    QTest::newRow("number row before its symbols") << QByteArray("\xA2\xA0") << QByteArray();
    QTest::newRow("number row unassigned") << QByteArray("\xA2\xAB\xA2\xE3\xA2\xFD") << QByteArray();
    QTest::newRow("number row trail 0xFF") << QByteArray("\xA2\xFF") << QByteArray();
    QTest::newRow("greek gap") << QByteArray("\xA6\xB9\xA6\xC0\xA6\xD9") << QByteArray();
    QTest::newRow("reading row trail 0xFF") << QByteArray("\xB0\xFF\xFE\xFF") << QByteArray();
    QTest::newRow("reading") << QByteArray("\xB0\xA1\xD6\xD0") << QByteArray("AZ");
}

void TestInputCode::walksGbkBytes()
{
    QFETCH(QByteArray, gbk);
    QFETCH(QByteArray, code);
    QCOMPARE(InputCodeOfGbk(gbk), code);
}

void TestInputCode::agreesWithIconvOnEveryBmpCharacter()
{
    GbkEncoder encoder;
    QVERIFY(encoder.isValid());
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
        if (QChar::isSurrogate(unit))
            continue;
        const QString text{QChar(char16_t(unit))};
        const QByteArray gbk = encoder.encode(text);
        const QByteArray where = "U+" + QByteArray::number(unit, 16);
        const int code = gbk == "?" && unit != '?' ? -1
                         : gbk.size() == 1             ? uchar(gbk[0])
                                                       : uchar(gbk[0]) << 8 | uchar(gbk[1]);
        QVERIFY2(GbkCodeOf(char16_t(unit)) == code, where);
        QVERIFY2(MakeInputCode(text).toLatin1() == InputCodeOfGbk(gbk), where);
    }
}

void TestInputCode::agreesWithIconvOnMixedText()
{
    GbkEncoder encoder;
    QVERIFY(encoder.isValid());
    QRandomGenerator random(20240611);
    const auto randomUnit = [&random]() -> char16_t {
        switch (random.bounded(6)) {
        case 0: return char16_t(random.bounded(0x20, 0x7F));
        case 1: return char16_t(random.bounded(0x4E00, 0x9FA6));
        case 2: return char16_t(random.bounded(0x2000, 0x3400));
        case 3: return char16_t(random.bounded(0xFF00, 0xFF5F));
        case 4: return char16_t(random.bounded(0xD800, 0xE000));
        default: return char16_t(random.bounded(0x80, 0x10000));
        }
    };
    for (int round = 0; round < 5000; ++round) {
        QString text;
        const int length = random.bounded(40);
        for (int i = 0; i < length; ++i) {
            const char16_t unit = randomUnit();
            text.append(QChar(unit));
            if (QChar::isHighSurrogate(unit) && random.bounded(2))
                text.append(QChar(char16_t(random.bounded(0xDC00, 0xE000))));
        }
        QCOMPARE(MakeInputCode(text).toLatin1(), InputCodeOfGbk(encoder.encode(text)));
    }
}

QTEST_GUILESS_MAIN(TestInputCode)
#include "tst_inputcode.moc"
