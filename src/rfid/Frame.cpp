#include "Frame.h"

#include <algorithm>

namespace tessar {

uint8_t xorChecksum(std::span<const uint8_t> bytes, uint8_t seed)
{
    for (uint8_t byte : bytes)
        seed ^= byte;
    return seed;
}

std::optional<CommandFrame> encodeCommand(uint8_t command, std::span<const uint8_t> data)
{
    if (data.size() > MaxCommandData)
        return std::nullopt;
    CommandFrame frame;
    frame.bytes[0] = CommandHeader;
    frame.bytes[1] = static_cast<uint8_t>(data.size() + 2);
    frame.bytes[2] = command;
    std::copy(data.begin(), data.end(), frame.bytes.begin() + 3);
    const std::size_t checksumAt = 3 + data.size();
    frame.bytes[checksumAt] = xorChecksum({frame.bytes.data(), checksumAt});
    frame.size = checksumAt + 1;
    return frame;
}

int32_t decodeReply(uint8_t length, std::span<const uint8_t> body, Reply& reply)
{
    // Below 3 there is no room for a status and a checksum.
    if (length < 3 || body.size() != length)
        return BadReply;
    const uint8_t expected = xorChecksum(body.first(length - 1u), ReplyHeader ^ length);
    if (expected != body[length - 1u])
        return BadReply;
    reply.status = body[1];
    reply.size = length - 3u;
    std::copy_n(body.begin() + 2, reply.size, reply.bytes.begin());
    return reply.status;
}

namespace {

int32_t awaitHeader(ByteSource& source, std::chrono::milliseconds limit)
{
    for (int attempt = 0; attempt <= MaxStrayBytes; ++attempt) {
        uint8_t byte = 0;
        if (!source.receive(&byte, 1, limit))
            return NoReply;
        if (byte == ReplyHeader)
            return Success;
    }
    return BadReply;
}

} // namespace

int32_t readReply(ByteSource& source, std::chrono::milliseconds limit, Reply& reply)
{
    if (const int32_t header = awaitHeader(source, limit); header != Success)
        return header;
    uint8_t length = 0;
    if (!source.receive(&length, 1, limit))
        return ReplyTruncated;
    if (length < 3)
        return BadReply;
    std::array<uint8_t, 255> body{};
    if (!source.receive(body.data(), length, limit))
        return ReplyTruncated;
    return decodeReply(length, {body.data(), length}, reply);
}

} // namespace tessar
