#include "link/DisplayThread.h"
#include "link/LinkFlags.h"
#include "link/ReceiveRing.h"

#include <QCoreApplication>
#include <QEvent>
#include <chrono>

namespace tarvis {

namespace {
const QEvent::Type kHandoffEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
// How long the thread sleeps between looks while dispatch is paused (the flag is set and cleared
// by others without a signal).
constexpr int kPausedLookMs = 1;
// The longest wait on an empty ring: a stored item, a suspend or a terminate request ends it at
// once; the running flag, cleared without a signal, is seen within this time.
constexpr int kEmptyRingWaitMs = 50;
} // namespace

struct DisplayThread::Handoff {
    void (*call)(DispatchTarget&, std::uint8_t);
    std::uint8_t value;
    // Guarded by the thread's mutex.
    bool started = false;
    bool done = false;
    bool cancelled = false;
};

namespace {
template <typename H> class HandoffEvent : public QEvent {
public:
    explicit HandoffEvent(std::shared_ptr<H> handoff)
        : QEvent(kHandoffEvent), handoff(std::move(handoff)) {}
    std::shared_ptr<H> handoff;
};
} // namespace

// Lives on the user-interface thread and runs the handlers there.
class DisplayThread::Receiver : public QObject {
public:
    explicit Receiver(DisplayThread& owner) : owner_(owner) {}

    bool event(QEvent* e) override {
        if (e->type() != kHandoffEvent) {
            return QObject::event(e);
        }
        const auto handoff = static_cast<HandoffEvent<Handoff>*>(e)->handoff;
        {
            std::lock_guard lock(owner_.mutex_);
            if (handoff->cancelled) {
                return true;
            }
            handoff->started = true;
            ++owner_.handlersRunning_;
        }
        if (owner_.MayHandOn()) {
            handoff->call(owner_.target_, handoff->value);
        }
        {
            std::lock_guard lock(owner_.mutex_);
            handoff->done = true;
            --owner_.handlersRunning_;
        }
        owner_.cv_.notify_all();
        return true;
    }

private:
    DisplayThread& owner_;
};

DisplayThread::DisplayThread(ReceiveRing& ring, LinkFlags& flags, DispatchTarget& target)
    : ring_(ring), flags_(flags), target_(target), receiver_(std::make_unique<Receiver>(*this)) {
    thread_ = std::thread([this] { Run(); });
}

DisplayThread::~DisplayThread() {
    Terminate();
}

bool DisplayThread::MayHandOn() const {
    return flags_.running && !terminated_;
}

void DisplayThread::Suspend() {
    std::unique_lock lock(mutex_);
    suspendRequested_ = true;
    cv_.notify_all();
    ring_.WakeWaiter();
    // Called from inside a handler the thread is blocked in that very hand-off and stops
    // before the next item; otherwise wait for the thread to say it has stopped.
    if (handlersRunning_ > 0 || terminated_) {
        return;
    }
    cv_.wait(lock, [this] { return suspendedAck_ || terminated_; });
}

void DisplayThread::Resume() {
    {
        std::lock_guard lock(mutex_);
        suspendRequested_ = false;
    }
    cv_.notify_all();
}

bool DisplayThread::IsSuspended() const {
    std::lock_guard lock(mutex_);
    return suspendRequested_;
}

void DisplayThread::Terminate() {
    {
        std::lock_guard lock(mutex_);
        terminated_ = true;
    }
    cv_.notify_all();
    ring_.WakeWaiter();
    if (thread_.joinable()) {
        thread_.join();
    }
}

DisplayThread::Outcome DisplayThread::HandOff(void (*call)(DispatchTarget&, std::uint8_t),
                                              std::uint8_t value) {
    auto handoff = std::make_shared<Handoff>(Handoff{call, value});
    QCoreApplication::postEvent(receiver_.get(), new HandoffEvent<Handoff>(handoff));
    std::unique_lock lock(mutex_);
    for (;;) {
        if (handoff->done) {
            return Outcome::Done;
        }
        if (!handoff->started) {
            if (terminated_ || !flags_.running) {
                handoff->cancelled = true;
                return Outcome::Dropped;
            }
            if (suspendRequested_) {
                handoff->cancelled = true;
                return Outcome::Held;
            }
        }
        // The running flag is not under this lock, so its change is looked for regularly.
        cv_.wait_for(lock, std::chrono::milliseconds(20));
    }
}

DisplayThread::Outcome DisplayThread::Route(std::uint32_t item) {
    const auto byte = static_cast<std::uint8_t>(item & 0xFF);
    if (IsStatusItem(item)) {
        return HandOff([](DispatchTarget& t, std::uint8_t c) { t.DecodeStatus(c); }, byte);
    }
    if (flags_.echo) {
        return HandOff([](DispatchTarget& t, std::uint8_t c) { t.ShowCharacter(c); }, byte);
    }
    if (byte == 0x01) {
        return HandOff([](DispatchTarget& t, std::uint8_t c) { t.BinaryControl(c); }, byte);
    }
    if (flags_.receiving) {
        // File bytes go straight to the file from here; a 00 is filler and is dropped.
        if (byte != 0x00 && MayHandOn() && !IsSuspended()) {
            target_.WriteReceivedByte(byte);
            ++flags_.receivedCount;
        }
        return Outcome::Done;
    }
    return HandOff([](DispatchTarget& t, std::uint8_t c) { t.ShowCharacter(c); }, byte);
}

void DisplayThread::Run() {
    while (flags_.running && !terminated_) {
        {
            std::unique_lock lock(mutex_);
            if (suspendRequested_) {
                suspendedAck_ = true;
                cv_.notify_all();
                cv_.wait(lock, [this] { return !suspendRequested_ || terminated_; });
                suspendedAck_ = false;
                continue;
            }
        }
        if (flags_.dispatchPaused) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kPausedLookMs));
            continue;
        }
        std::uint32_t item = 0;
        if (held_) {
            item = *held_;
            held_.reset();
        } else if (!ring_.Take(item)) {
            ring_.WaitForItemOrWake(kEmptyRingWaitMs);
            continue;
        }
        if (Route(item) == Outcome::Held) {
            held_ = item;
        }
    }
    // Wake a Suspend that waits for an acknowledgement the ended thread will never give.
    {
        std::lock_guard lock(mutex_);
        suspendedAck_ = true;
    }
    cv_.notify_all();
}

} // namespace tarvis
