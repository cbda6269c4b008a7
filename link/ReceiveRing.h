#pragma once
// Everything the modem sends passes through this ring: 4096 items of 32 bits, a status
// item being 0x8000 plus its code and a text item the byte itself.
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace tarvis {

constexpr std::uint32_t kStatusItem = 0x8000;
inline bool IsStatusItem(std::uint32_t item) {
    return item >= kStatusItem;
}

class ReceiveRing {
public:
    static constexpr std::uint32_t kSlots = 4096;
    static constexpr std::uint32_t kMask = 0xFFF;

    // Stores one item at the head (the receive thread). A full ring never overwrites what it
    // holds: the receive thread waits here for room while the port driver keeps what follows.
    // With a stop flag, a set flag ends the wait and the item is dropped (false).
    bool Store(std::uint32_t item, const std::atomic<bool>* stop = nullptr) {
        std::unique_lock lock(mutex_);
        while (count_ >= static_cast<int>(kSlots)) {
            if (stop != nullptr && *stop) {
                return false;
            }
            // The stop flag is not under this lock, so it is looked at regularly.
            room_.wait_for(lock, std::chrono::milliseconds(20));
        }
        slots_[head_] = item;
        head_ = (head_ + 1) & kMask;
        ++count_;
        stored_.notify_all();
        return true;
    }
    // Waits up to the time for the ring to hold at least `count` items.
    bool WaitForItems(int count, int milliseconds) {
        std::unique_lock lock(mutex_);
        return stored_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                [&] { return count_ >= count; });
    }
    // The dispatch thread's wait while the ring is empty: until an item is stored, the time is
    // up, or WakeWaiter is called (a suspend or terminate request that must be seen at once).
    void WaitForItemOrWake(int milliseconds) {
        std::unique_lock lock(mutex_);
        stored_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                         [&] { return count_ > 0 || woken_; });
        woken_ = false;
    }
    void WakeWaiter() {
        {
            std::lock_guard lock(mutex_);
            woken_ = true;
        }
        stored_.notify_all();
    }
    // Takes the item at the tail; false when the ring is empty.
    bool Take(std::uint32_t& item) {
        std::lock_guard lock(mutex_);
        if (count_ <= 0) {
            return false;
        }
        item = slots_[tail_];
        tail_ = (tail_ + 1) & kMask;
        --count_;
        room_.notify_all();
        return true;
    }
    // Takes two items in one hold; false (taking nothing) unless two are there.
    bool TakeTwo(std::uint32_t& first, std::uint32_t& second) {
        std::lock_guard lock(mutex_);
        if (count_ < 2) {
            return false;
        }
        first = slots_[tail_];
        second = slots_[(tail_ + 1) & kMask];
        tail_ = (tail_ + 2) & kMask;
        count_ -= 2;
        room_.notify_all();
        return true;
    }
    int Count() {
        std::lock_guard lock(mutex_);
        return count_;
    }
    // Count, head and tail to 0, between the exchanges of the start-up handshake.
    void Reset() {
        std::lock_guard lock(mutex_);
        count_ = 0;
        head_ = 0;
        tail_ = 0;
        room_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable stored_;
    std::condition_variable room_;
    std::array<std::uint32_t, kSlots> slots_{};
    std::uint32_t head_ = 0;
    std::uint32_t tail_ = 0;
    int count_ = 0;
    bool woken_ = false;
};

} // namespace tarvis
