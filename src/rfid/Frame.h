#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tessar {

enum ResultCode : int32_t {
    Success = 0,
    NoChannel = -1,
    ReplyTruncated = -2,
    NoReply = -3,
    BadReply = -4,
    BadArgument = -5,
};

inline constexpr uint8_t CommandHeader = 0xBA;
inline constexpr uint8_t ReplyHeader = 0xBD;
// The length byte counts command, data and checksum.
inline constexpr std::size_t MaxCommandData = 255 - 2;
// The length byte counts the unexamined byte, status, data and checksum.
inline constexpr std::size_t MaxReplyData = 255 - 3;
inline constexpr int MaxStrayBytes = 2;

struct CommandFrame {
    std::array<uint8_t, 4 + MaxCommandData> bytes{};
    std::size_t size = 0;

    std::span<const uint8_t> view() const { return {bytes.data(), size}; }
};

struct Reply {
    uint8_t status = 0;
    std::array<uint8_t, MaxReplyData> bytes{};
    std::size_t size = 0;

    std::span<const uint8_t> data() const { return {bytes.data(), size}; }
};

uint8_t xorChecksum(std::span<const uint8_t> bytes, uint8_t seed = 0);

// Empty when the data is longer than a frame can carry.
std::optional<CommandFrame> encodeCommand(uint8_t command, std::span<const uint8_t> data);

// Checks and unpacks the bytes that follow a reply's length byte; returns the status or a
// negative code.
int32_t decodeReply(uint8_t length, std::span<const uint8_t> body, Reply& reply);

// Where reply bytes come from: a serial port, or memory in tests.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Waits until count bytes are available or the limit has passed; on success moves them
    // to out, on failure consumes nothing.
    virtual bool receive(uint8_t* out, std::size_t count, std::chrono::milliseconds limit) = 0;
};

// Reads one reply frame, each wait bounded by limit; returns the status or a negative code.
int32_t readReply(ByteSource& source, std::chrono::milliseconds limit, Reply& reply);

} // namespace tessar
