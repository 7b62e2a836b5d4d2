#pragma once

#include <QByteArray>
#include <QList>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// A card reader on the far side of a pseudo-terminal, run by a thread of the test. It
// collects the command frames it receives and answers each with the next queued response,
// or with what the responder returns once the queue is empty; with neither it stays silent.
class SimulatedDevice {
public:
    struct Response {
        QByteArray bytes;
        std::chrono::milliseconds gapBetweenBytes{0};
    };
    using Responder = std::function<QByteArray(const QByteArray& frame)>;

    SimulatedDevice();
    ~SimulatedDevice();
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    bool isValid() const { return m_master >= 0; }
    // The port number that reaches this device under the pattern "/dev/pts/%d".
    int portNumber() const { return m_portNumber; }
    // The device end as the library sees it, for checking line settings.
    int terminal() const { return m_slave; }

    void queue(const QByteArray& reply, std::chrono::milliseconds gapBetweenBytes = {});
    void setResponder(Responder responder);
    QList<QByteArray> frames() const;
    void clearFrames();

private:
    void run();
    void takeFrames(QByteArray& inbox);
    void answer(const QByteArray& frame);

    int m_master = -1;
    int m_slave = -1;
    int m_portNumber = -1;
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    std::deque<Response> m_responses;
    Responder m_responder;
    QList<QByteArray> m_frames;
    std::thread m_thread;
};

// A well-formed reply, built independently of the library.
QByteArray replyFrame(int status, const QByteArray& data = {});
// A well-formed command frame, built independently of the library.
QByteArray commandFrame(int command, const QByteArray& data = {});
QByteArray bytes(std::initializer_list<int> values);
