// Feeds arbitrary device output to the reply reader, and arbitrary patterns to the device
// path formatter. Input: command byte, data length byte, data, then what the device sends.
#include "MemoryLink.h"
#include "rfid/DevicePath.h"

#include <string>

using namespace tessar;

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

uint8_t xorOf(std::span<const uint8_t> bytes)
{
    uint8_t checksum = 0;
    for (uint8_t byte : bytes)
        checksum ^= byte;
    return checksum;
}

void exchangeWith(const uint8_t* input, std::size_t size)
{
    if (size < 2)
        return;
    const uint8_t command = input[0];
    const std::size_t dataLength = std::min<std::size_t>(input[1], size - 2);
    const std::span<const uint8_t> data(input + 2, dataLength);
    const std::vector<uint8_t> incoming(input + 2 + dataLength, input + size);

    MemoryLink link(incoming);
    Reply reply;
    const int32_t code = exchange(link, command, data, std::chrono::milliseconds(0), reply);
    require(code >= BadArgument && code <= 255);
    if (code == BadArgument) {
        require(dataLength > MaxCommandData && link.sent.empty());
        return;
    }
    require(link.sent.size() == dataLength + 4 && xorOf(link.sent) == 0);
    require(link.sent[1] == dataLength + 2 && link.sent[2] == command);
    if (code >= 0) {
        // A reply was taken: its bytes, stray ones aside, check out.
        const std::size_t consumed = incoming.size() - link.unread();
        const std::size_t frameSize = reply.size + 5;
        require(consumed >= frameSize && consumed <= frameSize + MaxStrayBytes);
        const std::span<const uint8_t> frame(incoming.data() + consumed - frameSize, frameSize);
        require(frame[0] == ReplyHeader && frame[1] == reply.size + 3 && frame[3] == code);
        require(xorOf(frame) == 0);
    }
}

void formatPath(const uint8_t* input, std::size_t size)
{
    const std::string pattern(reinterpret_cast<const char*>(input), size);
    const int32_t port = size >= 1 ? int32_t(int8_t(input[0])) * 1000003 : 0;
    devicePathForPort(port, pattern.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t size)
{
    exchangeWith(input, size);
    formatPath(input, size);
    return 0;
}
