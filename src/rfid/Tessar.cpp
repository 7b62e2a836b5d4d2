// The exported functions. Nothing may escape them but a result code: every body runs
// inside guarded(), and nothing allocated here is handed to the caller.
#include "Tessar.h"

#include "ChannelTable.h"
#include "DevicePath.h"

#include <algorithm>
#include <cstdlib>

using namespace tessar;
using std::chrono::milliseconds;

namespace {

constexpr milliseconds CommandLimit{2000};
constexpr milliseconds ResetLimit{5000};
constexpr milliseconds BeepLimit{1000};
constexpr int BlockAttempts = 4;

namespace Command {
constexpr uint8_t Select = 0x01;
constexpr uint8_t CardNumber = 0x04;
constexpr uint8_t Authenticate = 0x05;
constexpr uint8_t ReadBlock = 0x06;
constexpr uint8_t WriteBlock = 0x07;
constexpr uint8_t WriteAuthenticate = 0x20;
constexpr uint8_t InitDispenser = 0x61;
constexpr uint8_t Version = 0x63;
constexpr uint8_t Beep = 0xBF;
constexpr uint8_t Reset = 0xFF;
} // namespace Command

constexpr std::size_t CardNumberSize = 4;
constexpr std::size_t DispenserSetupSize = 6;
constexpr std::size_t VersionSize = 14;
constexpr std::size_t KeySize = 6;

thread_local int32_t lastError = Success;

ChannelTable& channels()
{
    static ChannelTable table;
    return table;
}

template<typename Body>
int32_t guarded(int32_t onFailure, Body body) noexcept
{
    try {
        return body();
    } catch (...) {
        return onFailure;
    }
}

int32_t setLastError(int32_t code)
{
    lastError = code;
    return code;
}

uint8_t lowByte(int32_t value)
{
    return static_cast<uint8_t>(value & 0xFF);
}

int32_t exchangeOn(const std::shared_ptr<Channel>& channel, uint8_t command,
                   std::span<const uint8_t> data, milliseconds limit, Reply& reply)
{
    if (!channel)
        return NoChannel;
    return exchange(*channel->serialPort, command, data, limit, reply);
}

int32_t exchangeOnCurrent(uint8_t command, std::span<const uint8_t> data, milliseconds limit,
                          Reply& reply)
{
    return exchangeOn(channels().current(), command, data, limit, reply);
}

// A success that carries less data than the caller is to receive is a malformed reply.
int32_t requireData(int32_t code, const Reply& reply, std::size_t needed)
{
    return code == Success && reply.size < needed ? BadReply : code;
}

bool isValidBuffer(const void* pointer, int32_t length, std::size_t maxLength)
{
    return length >= 0 && static_cast<std::size_t>(length) <= maxLength && (pointer || length == 0);
}

int32_t authenticate(uint8_t command, int32_t handle, const uint8_t* data, int32_t length)
{
    if (!isValidBuffer(data, length, MaxCommandData)) {
        setLastError(BadArgument);
        return 0;
    }
    Reply reply;
    const int32_t code = exchangeOn(channels().find(handle), command,
                                    {data, static_cast<std::size_t>(length)}, CommandLimit, reply);
    return setLastError(code) == Success ? 1 : 0;
}

} // namespace

extern "C" {

int32_t RF_GetLastError(void)
{
    return lastError;
}

int32_t OpenConnect(int32_t port, int32_t lineSpeed)
{
    return guarded(1, [&] {
        setLastError(Success);
        const std::optional<std::string> path =
            devicePathForPort(port, std::getenv(DevicePatternVariable));
        std::unique_ptr<SerialPort> serialPort = path ? SerialPort::open(*path, lineSpeed) : nullptr;
        if (!serialPort) {
            setLastError(NoChannel);
            return 1;
        }
        auto channel = std::make_shared<Channel>(Channel{port, lineSpeed, std::move(serialPort)});
        if (channels().add(std::move(channel)) == 0) {
            setLastError(NoChannel);
            return 1;
        }
        return 0;
    });
}

int32_t CloseConnect(void)
{
    return guarded(1, [] {
        setLastError(NoChannel);
        std::shared_ptr<Channel> channel = channels().takeCurrent();
        if (!channel)
            return 1;
        // An exchange still running on another thread closes the port when it lets go.
        if (channel.use_count() == 1 && !channel->serialPort->close())
            return 1;
        setLastError(Success);
        return 0;
    });
}

int32_t ReadCardID(uint32_t* cardNumber)
{
    return guarded(NoChannel, [&] {
        if (!cardNumber)
            return setLastError(BadArgument);
        Reply reply;
        exchangeOnCurrent(Command::Select, {}, CommandLimit, reply);
        const int32_t code = requireData(
            exchangeOnCurrent(Command::CardNumber, {}, CommandLimit, reply), reply, CardNumberSize);
        if (code == Success) {
            *cardNumber = uint32_t(reply.bytes[0]) | uint32_t(reply.bytes[1]) << 8 |
                          uint32_t(reply.bytes[2]) << 16 | uint32_t(reply.bytes[3]) << 24;
        }
        return setLastError(code);
    });
}

int32_t InitDispenser(int32_t, const uint8_t* sixBytes)
{
    return guarded(NoChannel, [&] {
        if (!sixBytes)
            return setLastError(BadArgument);
        Reply reply;
        return setLastError(exchangeOnCurrent(Command::InitDispenser, {sixBytes, DispenserSetupSize},
                                              CommandLimit, reply));
    });
}

int32_t ResetCard(void)
{
    return guarded(NoChannel, [] {
        Reply reply;
        return setLastError(exchangeOnCurrent(Command::Reset, {}, ResetLimit, reply));
    });
}

int32_t ReaderVersion(uint8_t* fourteenBytes)
{
    return guarded(NoChannel, [&] {
        if (!fourteenBytes)
            return setLastError(BadArgument);
        Reply reply;
        const int32_t code = requireData(exchangeOnCurrent(Command::Version, {}, CommandLimit, reply),
                                         reply, VersionSize);
        if (code == Success)
            std::copy_n(reply.bytes.begin(), VersionSize, fourteenBytes);
        return setLastError(code);
    });
}

int32_t RF_Authenticate(int32_t handle, const uint8_t* data, int32_t length)
{
    return guarded(0, [&] { return authenticate(Command::Authenticate, handle, data, length); });
}

int32_t RF_WritrAuthenticate(int32_t handle, const uint8_t* data, int32_t length)
{
    return guarded(0, [&] { return authenticate(Command::WriteAuthenticate, handle, data, length); });
}

int32_t ReadBlock(int32_t block, int32_t byteCount, int32_t, uint8_t* buffer, int32_t)
{
    return guarded(NoChannel, [&] {
        if (!isValidBuffer(buffer, byteCount, MaxReplyData))
            return setLastError(BadArgument);
        const uint8_t blockNumber = lowByte(block);
        const auto wanted = static_cast<std::size_t>(byteCount);
        Reply reply;
        int32_t code = NoChannel;
        for (int attempt = 0; attempt < BlockAttempts && code != Success; ++attempt) {
            code = requireData(exchangeOnCurrent(Command::ReadBlock, {&blockNumber, 1}, CommandLimit, reply),
                               reply, wanted);
        }
        if (code == Success)
            std::copy_n(reply.bytes.begin(), wanted, buffer);
        return setLastError(code);
    });
}

int32_t WriteBlock(int32_t block, int32_t byteCount, int32_t, const uint8_t* data, int32_t)
{
    return guarded(NoChannel, [&] {
        if (!isValidBuffer(data, byteCount, MaxCommandData - 1))
            return setLastError(BadArgument);
        std::array<uint8_t, MaxCommandData> payload{};
        payload[0] = lowByte(block);
        std::copy_n(data, byteCount, payload.begin() + 1);
        const std::span<const uint8_t> sent{payload.data(), static_cast<std::size_t>(byteCount) + 1};
        Reply reply;
        int32_t code = NoChannel;
        for (int attempt = 0; attempt < BlockAttempts && code != Success; ++attempt)
            code = exchangeOnCurrent(Command::WriteBlock, sent, CommandLimit, reply);
        return setLastError(code);
    });
}

int32_t ReaderBeep(int32_t value)
{
    return guarded(1, [&] {
        const uint8_t byte = lowByte(value);
        Reply reply;
        return exchangeOnCurrent(Command::Beep, {&byte, 1}, BeepLimit, reply) == Success ? 0 : 1;
    });
}

int32_t ModifySectorKey(int32_t sector, int32_t, const uint8_t* firstKey, const uint8_t* secondKey)
{
    return guarded(NoChannel, [&] {
        if (!firstKey || !secondKey)
            return setLastError(BadArgument);
        std::array<uint8_t, 1 + 2 * KeySize> payload{};
        payload[0] = lowByte(sector);
        std::copy_n(firstKey, KeySize, payload.begin() + 1);
        std::copy_n(secondKey, KeySize, payload.begin() + 1 + KeySize);
        Reply reply;
        return setLastError(exchangeOnCurrent(Command::Authenticate, payload, CommandLimit, reply));
    });
}

int32_t ReaderLed(int32_t, int32_t)
{
    return 0;
}

} // extern "C"
