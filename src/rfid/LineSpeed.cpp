#include "LineSpeed.h"

#include <termios.h>

#include <array>
#include <utility>

namespace tessar {

namespace {

constexpr std::array<std::pair<int32_t, speed_t>, 11> ClassicSpeeds{{
    {110, B110}, {300, B300}, {600, B600}, {1200, B1200}, {2400, B2400}, {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
}};
constexpr std::array<int32_t, 2> ArbitrarySpeeds{128000, 256000};

std::optional<speed_t> classicSpeed(int32_t lineSpeed)
{
    for (const auto& [bitsPerSecond, constant] : ClassicSpeeds) {
        if (bitsPerSecond == lineSpeed)
            return constant;
    }
    return std::nullopt;
}

bool isArbitrarySpeed(int32_t lineSpeed)
{
    for (int32_t speed : ArbitrarySpeeds) {
        if (speed == lineSpeed)
            return true;
    }
    return false;
}

void makeRaw(termios& settings)
{
    // Binary frames: no translation, echo, signals or software flow control.
    settings.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                  IXON | IXOFF | IXANY | INPCK);
    settings.c_oflag &= ~tcflag_t(OPOST);
    settings.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~tcflag_t(CSIZE | PARENB);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    // Reads never block: waits are done with poll() against the command's time limit.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
}

} // namespace

bool isSupportedLineSpeed(int32_t lineSpeed)
{
    return classicSpeed(lineSpeed).has_value() || isArbitrarySpeed(lineSpeed);
}

bool configureLine(int fd, int32_t lineSpeed)
{
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return false;
    makeRaw(settings);
    if (const std::optional<speed_t> speed = classicSpeed(lineSpeed)) {
        if (cfsetispeed(&settings, *speed) != 0 || cfsetospeed(&settings, *speed) != 0)
            return false;
    }
    if (tcsetattr(fd, TCSANOW, &settings) != 0)
        return false;
    // Where the driver cannot run at such a speed the port keeps the one it had.
    if (isArbitrarySpeed(lineSpeed))
        setArbitraryLineSpeed(fd, static_cast<uint32_t>(lineSpeed));
    return true;
}

} // namespace tessar
