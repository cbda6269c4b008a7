#pragma once
// An in-process serial port: tests feed the bytes the modem would send, read back what was
// written (and in which order, priority bytes included), and shape the driver's behaviour.
#include "link/SerialPort.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace tarvis::test {

class FakeSerialPort final : public SerialPort {
public:
    // --- what the test controls ---
    void Feed(const std::string& bytes) {
        {
            std::lock_guard lock(mutex_);
            incoming_.insert(incoming_.end(), bytes.begin(), bytes.end());
        }
        cv_.notify_all();
    }
    void InjectLineErrors(unsigned flags) {
        {
            std::lock_guard lock(mutex_);
            lineErrors_ |= flags;
        }
        cv_.notify_all();
    }
    void SetOpenable(bool openable) {
        std::lock_guard lock(mutex_);
        openable_ = openable;
    }
    // At most this many bytes are accepted per write (the rest is reported not written).
    void SetWriteLimit(int limit) {
        std::lock_guard lock(mutex_);
        writeLimit_ = limit;
    }
    void SetOutputQueueCount(int count) {
        std::lock_guard lock(mutex_);
        outputQueue_ = count;
    }
    void SetCts(bool on, bool ctsFlow) {
        std::lock_guard lock(mutex_);
        cts_ = on;
        control_.ctsOutputFlow = ctsFlow;
    }

    // --- what the test reads back ---
    std::string Written() {
        std::lock_guard lock(mutex_);
        return written_;
    }
    std::vector<int> WriteSizes() {
        std::lock_guard lock(mutex_);
        return writeSizes_;
    }
    // Line-control calls and opens in order: "open DEV", "configure 9600", "RTS on", ...
    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    bool WaitForWritten(std::size_t size, int milliseconds = 2000) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                            [&] { return written_.size() >= size; });
    }
    void ClearWritten() {
        std::lock_guard lock(mutex_);
        written_.clear();
        writeSizes_.clear();
    }

    // --- SerialPort ---
    bool Open(const std::string& device) override {
        std::lock_guard lock(mutex_);
        calls_.push_back("open " + device);
        open_ = openable_;
        return open_;
    }
    void Close() override {
        std::lock_guard lock(mutex_);
        if (open_) {
            calls_.push_back("close");
        }
        open_ = false;
        cv_.notify_all();
    }
    bool IsOpen() const override {
        std::lock_guard lock(mutex_);
        return open_;
    }
    std::string ErrorText() const override { return open_ ? "" : "no such port"; }
    bool Configure(int baud) override {
        std::lock_guard lock(mutex_);
        calls_.push_back("configure " + std::to_string(baud));
        return open_;
    }
    void SetRts(bool on) override { Record(on ? "RTS on" : "RTS off"); }
    void SetDtr(bool on) override { Record(on ? "DTR on" : "DTR off"); }
    bool Cts() override {
        std::lock_guard lock(mutex_);
        return cts_;
    }
    LineControl ReadLineControl() override {
        std::lock_guard lock(mutex_);
        return control_;
    }
    unsigned WaitEvent(int timeoutMs) override {
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                     [&] { return !incoming_.empty() || lineErrors_ != 0 || !open_; });
        if (!open_) {
            return kPortEventWaitFailed;
        }
        unsigned events = kPortEventNone;
        if (!incoming_.empty()) {
            events |= kPortEventCharReceived;
        }
        if (lineErrors_ != 0) {
            events |= kPortEventLineError;
        }
        return events;
    }
    unsigned TakeLineErrors() override {
        std::lock_guard lock(mutex_);
        const unsigned e = lineErrors_;
        lineErrors_ = 0;
        return e;
    }
    int InputQueueCount() override {
        std::lock_guard lock(mutex_);
        return static_cast<int>(incoming_.size());
    }
    int OutputQueueCount() override {
        std::lock_guard lock(mutex_);
        return outputQueue_;
    }
    int Read(std::uint8_t* buffer, int max) override {
        std::lock_guard lock(mutex_);
        int n = 0;
        while (n < max && !incoming_.empty()) {
            buffer[n++] = static_cast<std::uint8_t>(incoming_.front());
            incoming_.pop_front();
        }
        return n;
    }
    int Write(const std::uint8_t* data, int count) override {
        std::function<void(const std::string&)> listener;
        std::string accepted;
        {
            std::lock_guard lock(mutex_);
            const int n = writeLimit_ >= 0 ? std::min(count, writeLimit_) : count;
            accepted.assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(n));
            written_ += accepted;
            writeSizes_.push_back(n);
            listener = onWrite_;
        }
        cv_.notify_all();
        if (listener && !accepted.empty()) {
            listener(accepted);
        }
        return static_cast<int>(accepted.size());
    }
    // Called with every accepted write, on the writing thread (the modem's side listens).
    void SetWriteListener(std::function<void(const std::string&)> listener) {
        std::lock_guard lock(mutex_);
        onWrite_ = std::move(listener);
    }
    bool WritePriority(std::uint8_t byte) override {
        std::lock_guard lock(mutex_);
        written_.push_back(static_cast<char>(byte));
        calls_.push_back("priority " + std::to_string(byte));
        cv_.notify_all();
        return true;
    }

private:
    void Record(const std::string& call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
    }

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<char> incoming_;
    std::string written_;
    std::vector<int> writeSizes_;
    std::vector<std::string> calls_;
    unsigned lineErrors_ = 0;
    bool openable_ = true;
    bool open_ = false;
    bool cts_ = true;
    LineControl control_;
    int writeLimit_ = -1;
    std::function<void(const std::string&)> onWrite_;
    int outputQueue_ = 0;
};

} // namespace tarvis::test
