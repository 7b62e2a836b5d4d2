// Kept apart: the kernel's termios2 header cannot share a file with <termios.h>.
#include "LineSpeed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace tessar {

bool setArbitraryLineSpeed(int fd, uint32_t lineSpeed)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return false;
    settings.c_cflag &= ~tcflag_t(CBAUD);
    settings.c_cflag |= BOTHER;
    settings.c_ispeed = lineSpeed;
    settings.c_ospeed = lineSpeed;
    if (ioctl(fd, TCSETS2, &settings) != 0)
        return false;
    return currentLineSpeed(fd) == lineSpeed;
}

std::optional<uint32_t> currentLineSpeed(int fd)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return std::nullopt;
    return settings.c_ospeed;
}

} // namespace tessar
