#pragma once
// What lets a worker thread be suspended honestly: the owner asks, the thread stops at its
// next safe point and says so, and the owner's request returns only once it has.
#include <condition_variable>
#include <mutex>

namespace tarvis {

class SuspendGate {
public:
    // Asks the thread to stop at its next safe point and waits until it reports itself
    // suspended (or has ended).
    void Suspend() {
        std::unique_lock lock(mutex_);
        requested_ = true;
        cv_.notify_all();
        cv_.wait(lock, [this] { return suspended_ || ended_; });
    }
    void Resume() {
        std::lock_guard lock(mutex_);
        requested_ = false;
        cv_.notify_all();
    }
    // True once the thread has stopped at a safe point and not been resumed since.
    bool IsSuspended() const {
        std::lock_guard lock(mutex_);
        return suspended_;
    }
    // Requested by whoever ends the thread: a suspended thread is let go so it can end.
    void Release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        cv_.notify_all();
    }
    // --- called by the thread itself ---
    // At a safe point: while suspension is asked for, report it and wait.
    void SafePoint() {
        std::unique_lock lock(mutex_);
        if (!requested_ || released_) {
            return;
        }
        suspended_ = true;
        cv_.notify_all();
        cv_.wait(lock, [this] { return !requested_ || released_; });
        suspended_ = false;
    }
    // The thread has ended; a Suspend waiting for it returns.
    void Ended() {
        std::lock_guard lock(mutex_);
        ended_ = true;
        cv_.notify_all();
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool requested_ = false;
    bool suspended_ = false;
    bool released_ = false;
    bool ended_ = false;
};

} // namespace tarvis
