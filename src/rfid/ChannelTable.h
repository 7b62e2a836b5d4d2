#pragma once

#include "SerialPort.h"

#include <map>
#include <mutex>

namespace tessar {

struct Channel {
    int32_t port = 0;
    int32_t lineSpeed = 0;
    std::unique_ptr<SerialPort> serialPort;
};

// The open channels of the process. Handles count up from 1 and are never given out twice;
// an exchange holds its channel alive, so closing it meanwhile cannot pull the port away.
class ChannelTable {
public:
    // The new channel's handle, made current; 0 when the handles are used up.
    int32_t add(std::shared_ptr<Channel> channel);
    std::shared_ptr<Channel> find(int32_t handle) const;
    std::shared_ptr<Channel> current() const;
    // Removes the current channel from the table; it stays the current handle, which then
    // finds nothing.
    std::shared_ptr<Channel> takeCurrent();

private:
    mutable std::mutex m_mutex;
    std::map<int32_t, std::shared_ptr<Channel>> m_channels;
    int32_t m_lastHandle = 0;
    int32_t m_currentHandle = 0;
};

} // namespace tessar
