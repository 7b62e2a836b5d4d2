#pragma once

#include <cstdint>
#include <optional>

namespace tessar {

// Speeds outside the supported list leave the port's speed as it is.
bool isSupportedLineSpeed(int32_t lineSpeed);

// Puts the port in raw 8-bit, no-parity mode at the given speed; stop bits and hardware flow
// control stay as the port has them. False when the port refuses the settings.
bool configureLine(int fd, int32_t lineSpeed);

// The output speed in bits per second as the driver reports it.
std::optional<uint32_t> currentLineSpeed(int fd);

// Speeds without a classic termios constant, through the arbitrary-speed interface.
bool setArbitraryLineSpeed(int fd, uint32_t lineSpeed);

} // namespace tessar
