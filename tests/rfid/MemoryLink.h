#pragma once

#include "rfid/Exchange.h"

#include <algorithm>
#include <vector>

// A link whose device answers with prepared bytes and never makes anyone wait: a wait for
// more bytes than are left fails at once, as a real one would once its time ran out.
class MemoryLink final : public tessar::Link {
public:
    explicit MemoryLink(std::vector<uint8_t> incoming = {}) : m_incoming(std::move(incoming)) {}

    void discardPending() override { ++discards; }

    bool send(std::span<const uint8_t> bytes) override
    {
        sent.insert(sent.end(), bytes.begin(), bytes.end());
        return true;
    }

    bool receive(uint8_t* out, std::size_t count, std::chrono::milliseconds) override
    {
        if (m_incoming.size() - m_position < count)
            return false;
        std::copy_n(m_incoming.begin() + static_cast<std::ptrdiff_t>(m_position), count, out);
        m_position += count;
        return true;
    }

    std::size_t unread() const { return m_incoming.size() - m_position; }

    std::vector<uint8_t> sent;
    int discards = 0;

private:
    std::vector<uint8_t> m_incoming;
    std::size_t m_position = 0;
};
