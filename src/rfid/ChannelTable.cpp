#include "ChannelTable.h"

#include <limits>

namespace tessar {

int32_t ChannelTable::add(std::shared_ptr<Channel> channel)
{
    std::lock_guard lock(m_mutex);
    if (m_lastHandle == std::numeric_limits<int32_t>::max())
        return 0;
    const int32_t handle = m_lastHandle + 1;
    m_channels.emplace(handle, std::move(channel));
    m_lastHandle = handle;
    m_currentHandle = handle;
    return handle;
}

std::shared_ptr<Channel> ChannelTable::find(int32_t handle) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_channels.find(handle);
    return found == m_channels.end() ? nullptr : found->second;
}

std::shared_ptr<Channel> ChannelTable::current() const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_channels.find(m_currentHandle);
    return found == m_channels.end() ? nullptr : found->second;
}

std::shared_ptr<Channel> ChannelTable::takeCurrent()
{
    std::lock_guard lock(m_mutex);
    const auto found = m_channels.find(m_currentHandle);
    if (found == m_channels.end())
        return nullptr;
    std::shared_ptr<Channel> channel = std::move(found->second);
    m_channels.erase(found);
    return channel;
}

} // namespace tessar
