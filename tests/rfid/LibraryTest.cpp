#include "SimulatedDevice.h"
#include "rfid/LineSpeed.h"

#include <Tessar.h>

#include <QtTest>

#include <termios.h>

#include <array>
#include <atomic>
#include <ctime>
#include <memory>
#include <thread>
#include <functional>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Handles count up across the whole process, so the test keeps count of its openings.
int openedChannels = 0;

int openChannel(const SimulatedDevice& device, int lineSpeed = 9600)
{
    if (!device.isValid() || OpenConnect(device.portNumber(), lineSpeed) != 0)
        return 0;
    return ++openedChannels;
}

qint64 millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

QByteArray acknowledge(const QByteArray&)
{
    return replyFrame(0);
}

const QByteArray cardData = bytes({0xF0, 0xDE, 0xBC, 0x9A, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});

QByteArray toArray(const uint8_t* data, int size)
{
    return QByteArray(reinterpret_cast<const char*>(data), size);
}

const uint8_t* raw(const QByteArray& array)
{
    return reinterpret_cast<const uint8_t*>(array.constData());
}

} // namespace

class LibraryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void closeWithNothingOpen();
    void commandsAfterClose();
    void beepWritesExactFrame();
    void exportsSendTheirFrames();
    void replies_data();
    void replies();
    void blockCommandsRetry();
    void silentDevice();
    void tricklingDeviceKeepsTimeLimit();
    void hungUpDeviceIsWaitedForQuietly();
    void closingDuringAnExchange();
    void lineSettings_data();
    void lineSettings();
    void openFailures();
    void channelsAndHandles();
    void lastErrorPerThread();
    void refusesWhatAFrameCannotCarry();
};

void LibraryTest::initTestCase()
{
    qputenv("TESSAR_DEVICE", "/dev/pts/%d");
}

void LibraryTest::closeWithNothingOpen()
{
    QCOMPARE(RF_GetLastError(), 0);
    QCOMPARE(CloseConnect(), 1);
    QCOMPARE(RF_GetLastError(), -1);
}

void LibraryTest::commandsAfterClose()
{
    SimulatedDevice device;
    device.setResponder(acknowledge);
    const int handle = openChannel(device);
    QVERIFY(handle);
    QCOMPARE(RF_GetLastError(), 0);
    QCOMPARE(CloseConnect(), 0);
    QCOMPARE(RF_GetLastError(), 0);

    uint32_t card = 77;
    std::array<uint8_t, 16> buffer{};
    const std::array<std::pair<const char*, std::function<int()>>, 11> commands{{
        {"ReadCardID", [&] { return ReadCardID(&card); }},
        {"InitDispenser", [&] { return InitDispenser(0, buffer.data()); }},
        {"ResetCard", [] { return ResetCard(); }},
        {"ReaderVersion", [&] { return ReaderVersion(buffer.data()); }},
        {"ReadBlock", [&] { return ReadBlock(1, 4, 0, buffer.data(), 0); }},
        {"WriteBlock", [&] { return WriteBlock(1, 4, 0, buffer.data(), 0); }},
        {"ModifySectorKey", [&] { return ModifySectorKey(1, 0, buffer.data(), buffer.data()); }},
        {"RF_Authenticate", [&] { return RF_Authenticate(handle, buffer.data(), 6) == 0 ? -1 : 0; }},
        {"RF_WritrAuthenticate", [&] { return RF_WritrAuthenticate(handle, buffer.data(), 6) == 0 ? -1 : 0; }},
        {"ReaderBeep", [] { return ReaderBeep(1) == 1 ? -1 : 0; }},
        {"CloseConnect", [] { return CloseConnect() == 1 ? -1 : 0; }},
    }};
    for (const auto& [name, command] : commands) {
        QVERIFY2(command() == -1, name);
        QVERIFY2(RF_GetLastError() == -1, name);
    }
    QCOMPARE(card, 77u);
    QCOMPARE(device.frames().size(), 0);
}

void LibraryTest::beepWritesExactFrame()
{
    SimulatedDevice device;
    QVERIFY(openChannel(device));
    device.queue(replyFrame(0));
    QCOMPARE(ReaderBeep(1), 0);
    // Only the low byte of the argument is sent; the beep leaves the last error alone.
    device.queue(replyFrame(9));
    QCOMPARE(ReaderBeep(0x301), 1);
    QCOMPARE(RF_GetLastError(), 0);
    const QByteArray expected = bytes({0xBA, 0x03, 0xBF, 0x01, 0x07});
    QCOMPARE(device.frames(), QList<QByteArray>({expected, expected}));
    QCOMPARE(CloseConnect(), 0);
}

void LibraryTest::exportsSendTheirFrames()
{
    SimulatedDevice device;
    device.setResponder([](const QByteArray&) { return replyFrame(0, cardData); });
    const int handle = openChannel(device);
    QVERIFY(handle);

    const QByteArray six = bytes({1, 2, 3, 4, 5, 6});
    const QByteArray firstKey = bytes({0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5});
    const QByteArray secondKey = bytes({0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5});
    const QByteArray authentication = bytes({0x60, 0x00, 0xFF});
    uint32_t card = 0;
    std::array<uint8_t, 14> version{};
    std::array<uint8_t, 4> block{};

    struct Case {
        const char* name;
        std::function<int()> call;
        QList<QByteArray> frames;
        int result;
    };
    const QList<Case> cases{
        {"ReadCardID", [&] { return ReadCardID(&card); },
         {commandFrame(0x01), commandFrame(0x04)}, 0},
        {"InitDispenser", [&] { return InitDispenser(42, raw(six)); }, {commandFrame(0x61, six)}, 0},
        {"ResetCard", [] { return ResetCard(); }, {commandFrame(0xFF)}, 0},
        {"ReaderVersion", [&] { return ReaderVersion(version.data()); }, {commandFrame(0x63)}, 0},
        {"RF_Authenticate", [&] { return RF_Authenticate(handle, raw(authentication), 3); },
         {commandFrame(0x05, authentication)}, 1},
        {"RF_WritrAuthenticate", [&] { return RF_WritrAuthenticate(handle, raw(authentication), 3); },
         {commandFrame(0x20, authentication)}, 1},
        {"ReadBlock", [&] { return ReadBlock(0x108, 4, 0, block.data(), 0); },
         {commandFrame(0x06, bytes({0x08}))}, 0},
        {"WriteBlock", [&] { return WriteBlock(9, 3, 0, raw(authentication), 0); },
         {commandFrame(0x07, bytes({9}) + authentication)}, 0},
        {"ModifySectorKey", [&] { return ModifySectorKey(2, 0, raw(firstKey), raw(secondKey)); },
         {commandFrame(0x05, bytes({2}) + firstKey + secondKey)}, 0},
        {"ReaderLed", [] { return ReaderLed(1, 1); }, {}, 0},
    };
    for (const Case& testCase : cases) {
        device.clearFrames();
        QVERIFY2(testCase.call() == testCase.result, testCase.name);
        QVERIFY2(device.frames() == testCase.frames, testCase.name);
        QVERIFY2(RF_GetLastError() == 0, testCase.name);
    }
    QCOMPARE(card, 0x9ABCDEF0u);
    QCOMPARE(toArray(version.data(), 14), cardData);
    QCOMPARE(toArray(block.data(), 4), cardData.left(4));
    QCOMPARE(CloseConnect(), 0);
}

void LibraryTest::replies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("code");
    const QByteArray valid = replyFrame(0, "ok");
    QTest::newRow("success") << valid << 0;
    QTest::newRow("device status") << replyFrame(131) << 131;
    QTest::newRow("wrong checksum") << bytes({0xBD, 0x04, 0x06, 0x00, 0x12, 0xAC}) << -4;
    QTest::newRow("two stray bytes") << bytes({0x00, 0xBA}) + valid << 0;
    QTest::newRow("three stray bytes") << bytes({0x00, 0xBA, 0xDB}) + valid << -4;
    QTest::newRow("length below 3") << bytes({0xBD, 0x02, 0x00, 0xBF}) << -4;
    // Within the terminal's 4 KiB input buffer, so the device has finished sending when the
    // next exchange discards the rest; a larger flood would still be arriving then.
    QTest::newRow("flood of noise") << QByteArray(4000, char(0x55)) << -4;
}

void LibraryTest::replies()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, code);
    SimulatedDevice device;
    const int handle = openChannel(device);
    QVERIFY(handle);
    device.queue(reply);
    const uint8_t key = 0x60;
    QCOMPARE(RF_Authenticate(handle, &key, 1), code == 0 ? 1 : 0);
    QCOMPARE(RF_GetLastError(), code);

    // Whatever the last reply was, the channel carries the next exchange. The device answers
    // every later frame, as a block command may try again when a loaded machine delays it.
    device.setResponder([](const QByteArray&) { return bytes({0xBD, 0x04, 0x06, 0x00, 0x12, 0xAD}); });
    std::array<uint8_t, 1> block{};
    QCOMPARE(ReadBlock(6, 1, 0, block.data(), 0), 0);
    QCOMPARE(block[0], uint8_t(0x12));
    QVERIFY(device.frames().size() >= 2);
    QCOMPARE(CloseConnect(), 0);
}

void LibraryTest::blockCommandsRetry()
{
    SimulatedDevice device;
    QVERIFY(openChannel(device));
    std::array<uint8_t, 2> block{0xEE, 0xEE};

    for (int status : {1, 2, 3})
        device.queue(replyFrame(status));
    device.queue(replyFrame(0, "hi"));
    QCOMPARE(ReadBlock(4, 2, 0, block.data(), 0), 0);
    QCOMPARE(toArray(block.data(), 2), QByteArray("hi"));
    QCOMPARE(device.frames().size(), 4);

    device.clearFrames();
    for (int status : {5, 5, 5, 7, 0})
        device.queue(replyFrame(status));
    QCOMPARE(WriteBlock(4, 2, 0, block.data(), 0), 7);
    QCOMPARE(RF_GetLastError(), 7);
    QCOMPARE(device.frames().size(), 4);

    // A success with less data than asked for is not handed on as a block.
    device.clearFrames();
    device.setResponder([](const QByteArray&) { return replyFrame(0, "x"); });
    block = {0xEE, 0xEE};
    QCOMPARE(ReadBlock(4, 2, 0, block.data(), 0), -4);
    QCOMPARE(RF_GetLastError(), -4);
    QCOMPARE(device.frames().size(), 4);
    QCOMPARE(block[0], uint8_t(0xEE));
    QCOMPARE(CloseConnect(), 0);
}

void LibraryTest::silentDevice()
{
    SimulatedDevice device;
    QVERIFY(openChannel(device));
    uint32_t card = 5;
    const auto start = Clock::now();
    QCOMPARE(ReadCardID(&card), -3);
    const qint64 elapsed = millisecondsSince(start);
    QVERIFY2(elapsed >= 3900 && elapsed < 6000, qPrintable(QString::number(elapsed)));
    QCOMPARE(RF_GetLastError(), -3);
    QCOMPARE(card, 5u);
    QCOMPARE(device.frames(), QList<QByteArray>({commandFrame(0x01), commandFrame(0x04)}));
    QCOMPARE(CloseConnect(), 0);
}

void LibraryTest::tricklingDeviceKeepsTimeLimit()
{
    SimulatedDevice device;
    QVERIFY(openChannel(device));
    // A frame announcing 255 bytes that arrive far too slowly: the body's wait ends at the
    // command's limit, however many bytes keep dribbling in.
    device.queue(bytes({0xBD, 0xFF}) + QByteArray(255, 'n'), 20ms);
    const auto start = Clock::now();
    QCOMPARE(ReaderBeep(1), 1);
    const qint64 elapsed = millisecondsSince(start);
    QVERIFY2(elapsed >= 950 && elapsed < 2500, qPrintable(QString::number(elapsed)));
    QCOMPARE(CloseConnect(), 0);
}

void LibraryTest::hungUpDeviceIsWaitedForQuietly()
{
    auto device = std::make_unique<SimulatedDevice>();
    QVERIFY(openChannel(*device));
    // Without its other end the terminal reports "ready" at once on every poll; waiting
    // must not turn into spinning.
    device.reset();
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    QCOMPARE(ReaderBeep(1), 1);
    const double cpuMilliseconds = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const qint64 elapsed = millisecondsSince(start);
    QVERIFY2(elapsed >= 950 && elapsed < 2500, qPrintable(QString::number(elapsed)));
    QVERIFY2(cpuMilliseconds < elapsed / 10.0, qPrintable(QString::number(cpuMilliseconds)));
    QCOMPARE(CloseConnect(), 0);
}

void LibraryTest::closingDuringAnExchange()
{
    SimulatedDevice device;
    QVERIFY(openChannel(device));
    std::atomic<int> beep{-100};
    std::thread waiting([&] { beep = ReaderBeep(1); });
    while (device.frames().isEmpty())
        std::this_thread::sleep_for(1ms);
    // The port stays with the exchange until its time runs out.
    QCOMPARE(CloseConnect(), 0);
    QCOMPARE(beep.load(), -100);
    waiting.join();
    QCOMPARE(beep.load(), 1);
    QCOMPARE(ReaderBeep(1), 1);
    QCOMPARE(device.frames().size(), 1);
}

void LibraryTest::lineSettings_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("expected");
    QTest::newRow("57600") << 57600 << 57600;
    QTest::newRow("110") << 110 << 110;
    QTest::newRow("115200") << 115200 << 115200;
    QTest::newRow("128000") << 128000 << 128000;
    QTest::newRow("256000") << 256000 << 256000;
    QTest::newRow("14400 keeps the speed") << 14400 << 2400;
    QTest::newRow("0 keeps the speed") << 0 << 2400;
}

void LibraryTest::lineSettings()
{
    QFETCH(int, requested);
    QFETCH(int, expected);
    SimulatedDevice device;
    QVERIFY(device.isValid());
    termios settings{};
    QCOMPARE(tcgetattr(device.terminal(), &settings), 0);
    settings.c_cflag = (settings.c_cflag & ~tcflag_t(CSIZE)) | CS7 | PARENB | CSTOPB;
    settings.c_lflag |= ECHO | ICANON;
    settings.c_iflag |= ICRNL | IXON;
    cfsetspeed(&settings, B2400);
    QCOMPARE(tcsetattr(device.terminal(), TCSANOW, &settings), 0);

    QVERIFY(openChannel(device, requested));
    QCOMPARE(tessar::currentLineSpeed(device.terminal()), std::optional<uint32_t>(uint32_t(expected)));
    QCOMPARE(tcgetattr(device.terminal(), &settings), 0);
    QCOMPARE(settings.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(settings.c_cflag & PARENB, tcflag_t(0));
    // Other line settings stay; what would alter binary frames goes.
    QCOMPARE(settings.c_cflag & CSTOPB, tcflag_t(CSTOPB));
    QCOMPARE(settings.c_lflag & (ECHO | ICANON), tcflag_t(0));
    QCOMPARE(settings.c_iflag & (ICRNL | IXON), tcflag_t(0));

    // Bytes that a terminal would translate pass unchanged.
    const QByteArray awkward = bytes({0x0D, 0x0A, 0x11, 0x13, 0x03, 0x7F});
    device.queue(replyFrame(0, awkward));
    std::array<uint8_t, 6> block{};
    QCOMPARE(ReadBlock(1, 6, 0, block.data(), 0), 0);
    QCOMPARE(toArray(block.data(), 6), awkward);
    QCOMPARE(CloseConnect(), 0);
}

void LibraryTest::openFailures()
{
    SimulatedDevice device;
    device.setResponder(acknowledge);
    QVERIFY(openChannel(device));
    const QByteArray pattern = qgetenv("TESSAR_DEVICE");

    const QList<QByteArray> unusable{"/nonexistent/tty%d", "/dev/%s", "/dev/null"};
    for (const QByteArray& badPattern : unusable) {
        qputenv("TESSAR_DEVICE", badPattern);
        QVERIFY2(OpenConnect(1, 9600) == 1, badPattern);
        QVERIFY2(RF_GetLastError() == -1, badPattern);
    }
    qputenv("TESSAR_DEVICE", pattern);
    QCOMPARE(OpenConnect(-5, 9600), 1);
    // A port already in use, here by the current channel, is not opened again.
    QCOMPARE(OpenConnect(device.portNumber(), 9600), 1);
    QCOMPARE(RF_GetLastError(), -1);

    // A failed opening leaves the current channel as it was.
    QCOMPARE(ReaderBeep(1), 0);
    QCOMPARE(CloseConnect(), 0);
}

void LibraryTest::channelsAndHandles()
{
    SimulatedDevice first;
    SimulatedDevice second;
    first.setResponder(acknowledge);
    second.setResponder(acknowledge);
    const int firstHandle = openChannel(first);
    const int secondHandle = openChannel(second);
    QVERIFY(firstHandle && secondHandle);
    QCOMPARE(secondHandle, firstHandle + 1);

    // The latest opening is current; the earlier channel stays reachable by its handle.
    QCOMPARE(ReaderBeep(1), 0);
    const uint8_t key = 0x61;
    QCOMPARE(RF_Authenticate(firstHandle, &key, 1), 1);
    QCOMPARE(first.frames(), QList<QByteArray>({commandFrame(0x05, bytes({0x61}))}));
    QCOMPARE(second.frames(), QList<QByteArray>({commandFrame(0xBF, bytes({1}))}));

    // Closing removes the current channel without falling back to the earlier one.
    QCOMPARE(CloseConnect(), 0);
    QCOMPARE(ReaderBeep(1), 1);
    QCOMPARE(CloseConnect(), 1);
    QCOMPARE(RF_Authenticate(secondHandle, &key, 1), 0);
    QCOMPARE(RF_GetLastError(), -1);
    QCOMPARE(RF_WritrAuthenticate(firstHandle, &key, 1), 1);

    // A closed handle is never given out again.
    SimulatedDevice third;
    third.setResponder(acknowledge);
    QCOMPARE(openChannel(third), secondHandle + 1);
    QCOMPARE(RF_Authenticate(secondHandle, &key, 1), 0);
    QCOMPARE(second.frames().size(), 1);
    QCOMPARE(CloseConnect(), 0);
}

void LibraryTest::lastErrorPerThread()
{
    const uint8_t key = 0;
    QCOMPARE(RF_Authenticate(-999, &key, 1), 0);
    QCOMPARE(RF_GetLastError(), -1);

    std::array<int32_t, 3> seen{};
    std::thread other([&] {
        seen[0] = RF_GetLastError();
        RF_Authenticate(-999, &key, -1);
        seen[1] = RF_GetLastError();
    });
    other.join();
    QCOMPARE(seen[0], 0);
    QCOMPARE(seen[1], -5);
    QCOMPARE(RF_GetLastError(), -1);
}

void LibraryTest::refusesWhatAFrameCannotCarry()
{
    SimulatedDevice device;
    device.setResponder(acknowledge);
    const int handle = openChannel(device);
    QVERIFY(handle);
    std::array<uint8_t, 300> data{};
    data.fill(0x33);

    struct Case {
        const char* name;
        std::function<int()> call;
    };
    const QList<Case> refused{
        {"authenticate 254 bytes", [&] { return RF_Authenticate(handle, data.data(), 254); }},
        {"authenticate negative", [&] { return RF_Authenticate(handle, data.data(), -1); }},
        {"authenticate null", [&] { return RF_WritrAuthenticate(handle, nullptr, 2); }},
        {"write 253 bytes", [&] { return WriteBlock(1, 253, 0, data.data(), 0); }},
        {"read 253 bytes", [&] { return ReadBlock(1, 253, 0, data.data(), 0); }},
        {"read negative", [&] { return ReadBlock(1, -4, 0, data.data(), 0); }},
        {"read into null", [&] { return ReadBlock(1, 4, 0, nullptr, 0); }},
        {"card into null", [] { return ReadCardID(nullptr); }},
        {"version into null", [] { return ReaderVersion(nullptr); }},
        {"dispenser null", [] { return InitDispenser(0, nullptr); }},
        {"keys null", [&] { return ModifySectorKey(1, 0, data.data(), nullptr); }},
    };
    for (const Case& testCase : refused) {
        testCase.call();
        QVERIFY2(RF_GetLastError() == -5, testCase.name);
    }
    QCOMPARE(device.frames().size(), 0);

    // The largest frames still go out whole.
    QCOMPARE(RF_Authenticate(handle, data.data(), 253), 1);
    QCOMPARE(WriteBlock(1, 252, 0, data.data(), 0), 0);
    const QList<QByteArray> frames = device.frames();
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames[0], commandFrame(0x05, QByteArray(253, 0x33)));
    QCOMPARE(frames[1], commandFrame(0x07, bytes({1}) + QByteArray(252, 0x33)));
    QCOMPARE(CloseConnect(), 0);
}

QTEST_GUILESS_MAIN(LibraryTest)
#include "LibraryTest.moc"
