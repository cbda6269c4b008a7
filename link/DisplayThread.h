#pragma once
// The dispatch thread: takes the receive ring's items one at a time and hands each to its
// handler on the user-interface thread, waiting until the handler has returned, so that
// status reports and text are handled strictly in arrival order.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <QObject>

namespace tarvis {

class ReceiveRing;
struct LinkFlags;

// Where received items go. All but WriteReceivedByte run on the user-interface thread.
class DispatchTarget {
public:
    virtual ~DispatchTarget() = default;
    virtual void DecodeStatus(std::uint8_t code) = 0;
    virtual void ShowCharacter(std::uint8_t character) = 0;
    virtual void BinaryControl(std::uint8_t character) = 0;
    // A byte of the binary file being received; runs on the dispatch thread.
    virtual void WriteReceivedByte(std::uint8_t byte) = 0;
};

class DisplayThread {
public:
    // Created on the user-interface thread, suspended.
    DisplayThread(ReceiveRing& ring, LinkFlags& flags, DispatchTarget& target);
    ~DisplayThread();
    DisplayThread(const DisplayThread&) = delete;
    DisplayThread& operator=(const DisplayThread&) = delete;

    // No item is handed on after Suspend returns, except to a handler already running further
    // up the calling stack; an item taken but not yet handed on is kept and goes first on Resume.
    void Suspend();
    void Resume();
    bool IsSuspended() const;
    bool IsTerminated() const { return terminated_; }
    // Ends the thread; an item whose handler has not started is dropped.
    void Terminate();

private:
    struct Handoff;
    class Receiver;
    enum class Outcome { Done, Held, Dropped };

    void Run();
    Outcome Route(std::uint32_t item);
    Outcome HandOff(void (*call)(DispatchTarget&, std::uint8_t), std::uint8_t value);
    bool MayHandOn() const;

    ReceiveRing& ring_;
    LinkFlags& flags_;
    DispatchTarget& target_;
    std::unique_ptr<Receiver> receiver_;

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool suspendRequested_ = true;
    bool suspendedAck_ = false;
    int handlersRunning_ = 0; // on the user-interface thread
    std::optional<std::uint32_t> held_;
    std::atomic<bool> terminated_{false};
    std::thread thread_;
};

} // namespace tarvis
