#include "SerialPort.h"

#include "LineSpeed.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace tessar {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Whole-write allowance of the device: per byte plus a fixed part.
constexpr milliseconds WritePerByte{20};
constexpr milliseconds WriteConstant{300};

int pollTimeout(Clock::time_point deadline)
{
    const auto remaining = std::chrono::ceil<milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<milliseconds::rep>(remaining.count(), 0));
}

// Waits for the descriptor to become ready. A hung-up or failing device reports ready at
// once, so that case sleeps a little instead of spinning until the deadline.
bool awaitReady(int fd, short events, Clock::time_point deadline)
{
    pollfd request{fd, events, 0};
    const int ready = ::poll(&request, 1, pollTimeout(deadline));
    if (ready > 0 && (request.revents & events))
        return true;
    if (ready > 0 || (ready < 0 && errno != EINTR))
        std::this_thread::sleep_for(std::min<Clock::duration>(milliseconds(1), deadline - Clock::now()));
    return false;
}

} // namespace

SerialPort::SerialPort(int fd) : m_fd(fd) {}

SerialPort::~SerialPort()
{
    close();
}

std::unique_ptr<SerialPort> SerialPort::open(const std::string& devicePath, int32_t lineSpeed)
{
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<SerialPort> port(new SerialPort(fd));
    // The port is ours alone: the lock also holds against privileged openers, whom the
    // terminal's exclusive mode lets through.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return nullptr;
    ::ioctl(fd, TIOCEXCL);
    if (!configureLine(fd, lineSpeed))
        return nullptr;
    port->discardPending();
    return port;
}

bool SerialPort::close()
{
    if (m_fd < 0)
        return true;
    ::ioctl(m_fd, TIOCNXCL);
    const int result = ::close(m_fd);
    m_fd = -1;
    return result == 0 || errno == EINTR;
}

void SerialPort::discardPending()
{
    m_pendingSize = 0;
    ::tcflush(m_fd, TCIOFLUSH);
}

bool SerialPort::send(std::span<const uint8_t> bytes)
{
    const auto deadline = Clock::now() + WriteConstant + WritePerByte * bytes.size();
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t result = ::write(m_fd, bytes.data() + written, bytes.size() - written);
        if (result > 0) {
            written += static_cast<std::size_t>(result);
            continue;
        }
        if (result < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (Clock::now() >= deadline)
            return false;
        awaitReady(m_fd, POLLOUT, deadline);
    }
    return true;
}

bool SerialPort::fillPending(std::size_t wanted, Clock::time_point deadline)
{
    while (m_pendingSize < wanted) {
        if (Clock::now() > deadline)
            return false;
        if (!awaitReady(m_fd, POLLIN, deadline))
            continue;
        // Never read past what was asked for: the rest belongs to whatever comes next.
        const ssize_t result = ::read(m_fd, m_pending.data() + m_pendingSize, wanted - m_pendingSize);
        if (result > 0)
            m_pendingSize += static_cast<std::size_t>(result);
        else if (result == 0 || (errno != EAGAIN && errno != EINTR))
            std::this_thread::sleep_for(std::min<Clock::duration>(milliseconds(1), deadline - Clock::now()));
    }
    return true;
}

bool SerialPort::receive(uint8_t* out, std::size_t count, std::chrono::milliseconds limit)
{
    if (count > m_pending.size())
        return false;
    if (!fillPending(count, Clock::now() + limit))
        return false;
    std::copy_n(m_pending.begin(), count, out);
    std::copy(m_pending.begin() + count, m_pending.begin() + m_pendingSize, m_pending.begin());
    m_pendingSize -= count;
    return true;
}

} // namespace tessar
