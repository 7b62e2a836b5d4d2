#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessar {

inline constexpr const char* DefaultDevicePattern = "/dev/ttyS%d";
inline constexpr const char* DevicePatternVariable = "TESSAR_DEVICE";

// The device for a port number: a configured pattern receives the number itself, the
// default one the number minus one, so that port 1 is the first serial port. The pattern
// may hold one %d (with an optional 0 flag and width) and %%; anything else is refused,
// as it comes from the environment.
std::optional<std::string> devicePathForPort(int32_t port, const char* configuredPattern);

} // namespace tessar
