#include "SimulatedDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>

namespace {

char xorOf(const QByteArray& frame)
{
    char checksum = 0;
    for (char byte : frame)
        checksum ^= byte;
    return checksum;
}

// One write only: bytes the terminal cannot take at once are dropped rather than trickling
// in after the library has discarded its input.
void writeOnce(int fd, const char* data, qsizetype size)
{
    if (size > 0 && ::write(fd, data, size_t(size)) < 0)
        return;
}

} // namespace

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int value : values)
        result.append(char(value));
    return result;
}

QByteArray replyFrame(int status, const QByteArray& data)
{
    const QByteArray frame = bytes({0xBD, int(data.size()) + 3, 0x5A, status}) + data;
    return frame + xorOf(frame);
}

QByteArray commandFrame(int command, const QByteArray& data)
{
    const QByteArray frame = bytes({0xBA, int(data.size()) + 2, command}) + data;
    return frame + xorOf(frame);
}

SimulatedDevice::SimulatedDevice()
{
    char name[64] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    m_portNumber = std::atoi(name + std::strlen("/dev/pts/"));
    termios settings{};
    ::tcgetattr(m_master, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(m_master, TCSANOW, &settings);
    // A flood larger than the terminal's buffer is cut off rather than stalling the device.
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_thread = std::thread([this] { run(); });
}

SimulatedDevice::~SimulatedDevice()
{
    m_stopping = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

void SimulatedDevice::queue(const QByteArray& reply, std::chrono::milliseconds gapBetweenBytes)
{
    std::lock_guard lock(m_mutex);
    m_responses.push_back({reply, gapBetweenBytes});
}

void SimulatedDevice::setResponder(Responder responder)
{
    std::lock_guard lock(m_mutex);
    m_responder = std::move(responder);
}

QList<QByteArray> SimulatedDevice::frames() const
{
    std::lock_guard lock(m_mutex);
    return m_frames;
}

void SimulatedDevice::clearFrames()
{
    std::lock_guard lock(m_mutex);
    m_frames.clear();
}

void SimulatedDevice::run()
{
    QByteArray inbox;
    while (!m_stopping) {
        pollfd request{m_master, POLLIN, 0};
        if (::poll(&request, 1, 10) <= 0 || !(request.revents & POLLIN))
            continue;
        char buffer[512];
        const ssize_t received = ::read(m_master, buffer, sizeof buffer);
        if (received <= 0)
            continue;
        inbox.append(buffer, received);
        takeFrames(inbox);
    }
}

void SimulatedDevice::takeFrames(QByteArray& inbox)
{
    while (inbox.size() >= 2 && inbox.size() >= 2 + quint8(inbox[1])) {
        const QByteArray frame = inbox.left(2 + quint8(inbox[1]));
        inbox.remove(0, frame.size());
        answer(frame);
    }
}

void SimulatedDevice::answer(const QByteArray& frame)
{
    Response response;
    {
        std::lock_guard lock(m_mutex);
        m_frames.append(frame);
        if (!m_responses.empty()) {
            response = m_responses.front();
            m_responses.pop_front();
        } else if (m_responder) {
            response.bytes = m_responder(frame);
        }
    }
    if (response.gapBetweenBytes.count() == 0) {
        writeOnce(m_master, response.bytes.constData(), response.bytes.size());
        return;
    }
    for (qsizetype i = 0; i < response.bytes.size() && !m_stopping; ++i) {
        writeOnce(m_master, response.bytes.constData() + i, 1);
        std::this_thread::sleep_for(response.gapBetweenBytes);
    }
}
