#pragma once

#include "Exchange.h"

#include <memory>
#include <string>

namespace tessar {

// A serial device opened for exclusive, non-blocking use.
class SerialPort final : public Link {
public:
    // Null when the device cannot be opened or does not accept the line settings.
    static std::unique_ptr<SerialPort> open(const std::string& devicePath, int32_t lineSpeed);

    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    ~SerialPort() override;

    // False when the driver reported an error; the descriptor is released either way.
    bool close();

    void discardPending() override;
    bool send(std::span<const uint8_t> bytes) override;
    bool receive(uint8_t* out, std::size_t count, std::chrono::milliseconds limit) override;

private:
    explicit SerialPort(int fd);
    bool fillPending(std::size_t wanted, std::chrono::steady_clock::time_point deadline);

    int m_fd = -1;
    // Bytes already read from the driver but not yet asked for.
    std::array<uint8_t, 256> m_pending{};
    std::size_t m_pendingSize = 0;
};

} // namespace tessar
