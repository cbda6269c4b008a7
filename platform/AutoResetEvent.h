#pragma once
// An auto-reset event: Set() wakes one waiter (or the next one to wait); a successful wait
// clears it again.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tarvis {

class AutoResetEvent {
public:
    void Set() {
        {
            std::lock_guard lock(mutex_);
            signalled_ = true;
        }
        cv_.notify_one();
    }
    // True when the event was set within the time; the event is then clear again.
    bool Wait(int milliseconds) {
        std::unique_lock lock(mutex_);
        const bool set = cv_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                      [this] { return signalled_; });
        signalled_ = false;
        return set;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_ = false;
};

} // namespace tarvis
