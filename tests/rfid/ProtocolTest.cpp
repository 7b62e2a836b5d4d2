#include "MemoryLink.h"
#include "rfid/DevicePath.h"
#include "rfid/Frame.h"

#include <QtTest>

using namespace tessar;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int value : values)
        result.append(char(value));
    return result;
}

std::vector<uint8_t> toVector(const QByteArray& array)
{
    return {array.begin(), array.end()};
}

QByteArray toArray(std::span<const uint8_t> span)
{
    return QByteArray(reinterpret_cast<const char*>(span.data()), qsizetype(span.size()));
}

// A well-formed reply, built independently of the code under test.
QByteArray replyFrame(int status, const QByteArray& data)
{
    QByteArray frame = bytes({0xBD, int(data.size()) + 3, 0x5A, status}) + data;
    char checksum = 0;
    for (char byte : frame)
        checksum ^= byte;
    return frame + checksum;
}

} // namespace

class ProtocolTest : public QObject {
    Q_OBJECT

private slots:
    void encodesCommandFrames_data();
    void encodesCommandFrames();
    void refusesDataLongerThanAFrame();
    void readsReplies_data();
    void readsReplies();
    void exchangeDiscardsThenSends();
    void devicePaths_data();
    void devicePaths();
};

void ProtocolTest::encodesCommandFrames_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("beep") << 0xBF << bytes({0x01}) << bytes({0xBA, 0x03, 0xBF, 0x01, 0x07});
    QTest::newRow("no data") << 0x01 << QByteArray() << bytes({0xBA, 0x02, 0x01, 0xB9});
    QTest::newRow("block") << 0x07 << bytes({0x09, 0xFF, 0x00, 0x80})
                           << bytes({0xBA, 0x06, 0x07, 0x09, 0xFF, 0x00, 0x80, 0xCD});
}

void ProtocolTest::encodesCommandFrames()
{
    QFETCH(int, command);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, frame);
    const std::vector<uint8_t> payload = toVector(data);
    const std::optional<CommandFrame> encoded = encodeCommand(uint8_t(command), payload);
    QVERIFY(encoded);
    QCOMPARE(toArray(encoded->view()), frame);
}

void ProtocolTest::refusesDataLongerThanAFrame()
{
    const std::vector<uint8_t> largest(253, 0x11);
    const std::optional<CommandFrame> frame = encodeCommand(0x05, largest);
    QVERIFY(frame);
    QCOMPARE(frame->size, std::size_t(257));
    QCOMPARE(frame->bytes[1], uint8_t(255));
    uint8_t checksum = 0;
    for (std::size_t i = 0; i + 1 < frame->size; ++i)
        checksum ^= frame->bytes[i];
    QCOMPARE(frame->bytes[256], checksum);

    const std::vector<uint8_t> tooLong(254, 0x11);
    QVERIFY(!encodeCommand(0x05, tooLong));
}

void ProtocolTest::readsReplies_data()
{
    QTest::addColumn<QByteArray>("incoming");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("data");

    const QByteArray twelve = bytes({0xBD, 0x04, 0x06, 0x00, 0x12, 0xAD});
    QTest::newRow("data byte") << twelve << 0 << bytes({0x12});
    QTest::newRow("device status") << replyFrame(3, {}) << 3 << QByteArray();
    QTest::newRow("status 255 with data") << replyFrame(255, "ab") << 255 << QByteArray("ab");
    QTest::newRow("largest reply") << replyFrame(0, QByteArray(252, 'x')) << 0 << QByteArray(252, 'x');
    QTest::newRow("one stray byte") << bytes({0x00}) + twelve << 0 << bytes({0x12});
    QTest::newRow("two stray bytes") << bytes({0xFF, 0xBA}) + twelve << 0 << bytes({0x12});
    QTest::newRow("three stray bytes") << bytes({0x01, 0x02, 0x03}) + twelve << -4 << QByteArray();
    QTest::newRow("wrong checksum") << bytes({0xBD, 0x04, 0x06, 0x00, 0x12, 0xAE}) << -4 << QByteArray();
    QTest::newRow("checksum over header") << bytes({0xBD, 0x03, 0x00, 0x00, 0x00}) << -4 << QByteArray();
    QTest::newRow("length 0") << bytes({0xBD, 0x00, 0xBD}) << -4 << QByteArray();
    QTest::newRow("length 1") << bytes({0xBD, 0x01, 0xBC}) << -4 << QByteArray();
    QTest::newRow("length 2") << bytes({0xBD, 0x02, 0x00, 0xBF}) << -4 << QByteArray();
    QTest::newRow("nothing") << QByteArray() << -3 << QByteArray();
    QTest::newRow("stray byte then nothing") << bytes({0x42}) << -3 << QByteArray();
    QTest::newRow("header only") << bytes({0xBD}) << -2 << QByteArray();
    QTest::newRow("body cut short") << twelve.left(5) << -2 << QByteArray();
    QTest::newRow("long body cut short") << bytes({0xBD, 0xFF}) + QByteArray(254, 0) << -2 << QByteArray();
}

void ProtocolTest::readsReplies()
{
    QFETCH(QByteArray, incoming);
    QFETCH(int, code);
    QFETCH(QByteArray, data);
    MemoryLink link(toVector(incoming));
    Reply reply;
    QCOMPARE(readReply(link, std::chrono::milliseconds(10), reply), code);
    if (code >= 0)
        QCOMPARE(toArray(reply.data()), data);
}

void ProtocolTest::exchangeDiscardsThenSends()
{
    MemoryLink link(toVector(replyFrame(0, "z")));
    const uint8_t block = 6;
    Reply reply;
    QCOMPARE(exchange(link, 0x06, {&block, 1}, std::chrono::milliseconds(10), reply), 0);
    QCOMPARE(link.discards, 1);
    QCOMPARE(toArray(link.sent), bytes({0xBA, 0x03, 0x06, 0x06, 0xB9}));
    QCOMPARE(toArray(reply.data()), QByteArray("z"));

    MemoryLink untouched(toVector(replyFrame(0, {})));
    const std::vector<uint8_t> tooLong(254, 0);
    QCOMPARE(exchange(untouched, 0x05, tooLong, std::chrono::milliseconds(10), reply), int(BadArgument));
    QVERIFY(untouched.sent.empty());
}

void ProtocolTest::devicePaths_data()
{
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<bool>("configured");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("path");
    QTest::newRow("first serial port") << QByteArray() << false << 1 << "/dev/ttyS0";
    QTest::newRow("fourth serial port") << QByteArray() << false << 4 << "/dev/ttyS3";
    QTest::newRow("empty means default") << QByteArray("") << true << 2 << "/dev/ttyS1";
    QTest::newRow("configured") << QByteArray("/tmp/dev/tty%d") << true << 7 << "/tmp/dev/tty7";
    QTest::newRow("zero padded") << QByteArray("/dev/ttyUSB%03d") << true << 7 << "/dev/ttyUSB007";
    QTest::newRow("space padded") << QByteArray("[%3i]") << true << 7 << "[  7]";
    QTest::newRow("negative") << QByteArray("/dev/x%03d") << true << -7 << "/dev/x-07";
    QTest::newRow("percent sign") << QByteArray("/dev/100%%/p%d") << true << 1 << "/dev/100%/p1";
    QTest::newRow("fixed device") << QByteArray("/dev/ttyACM0") << true << 9 << "/dev/ttyACM0";
    QTest::newRow("string conversion") << QByteArray("/dev/%s") << true << 1 << QString();
    QTest::newRow("write conversion") << QByteArray("/dev/%n") << true << 1 << QString();
    QTest::newRow("two numbers") << QByteArray("/dev/%d/%d") << true << 1 << QString();
    QTest::newRow("trailing percent") << QByteArray("/dev/tty%") << true << 1 << QString();
    QTest::newRow("huge width") << QByteArray("%999999999999d") << true << 1 << QString();
}

void ProtocolTest::devicePaths()
{
    QFETCH(QByteArray, pattern);
    QFETCH(bool, configured);
    QFETCH(int, port);
    QFETCH(QString, path);
    const std::optional<std::string> result =
        devicePathForPort(port, configured ? pattern.constData() : nullptr);
    QCOMPARE(result ? QString::fromStdString(*result) : QString(), path);
}

QTEST_GUILESS_MAIN(ProtocolTest)
#include "ProtocolTest.moc"
