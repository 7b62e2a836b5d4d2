#pragma once

#include "Frame.h"

namespace tessar {

// A byte channel to the device.
class Link : public ByteSource {
public:
    // Drops whatever is waiting in either direction.
    virtual void discardPending() = 0;
    virtual bool send(std::span<const uint8_t> bytes) = 0;
};

// One command and its reply; returns the reply's status or a negative code.
int32_t exchange(Link& link, uint8_t command, std::span<const uint8_t> data,
                 std::chrono::milliseconds limit, Reply& reply);

} // namespace tessar
