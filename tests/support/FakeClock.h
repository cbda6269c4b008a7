#pragma once
// A clock the test drives: sleeping advances it by the time asked but really sleeps only a
// fraction of it (realMicrosPerMs), so long limits pass quickly while worker threads still get
// time to answer. An optional hook runs on every sleep, for tests that act "meanwhile".
#include "platform/Clock.h"
#include "platform/EventPump.h"

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace tarvis::test {

class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 8), QTime(21, 59, 43), Qt::UTC))
        : start_(start) {}
    std::uint32_t TickCount() override { return static_cast<std::uint32_t>(ms_.load()); }
    QDateTime UtcNow() override { return start_.addMSecs(ms_.load()); }
    void Sleep(int milliseconds) override {
        if (realMicrosPerMs > 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(realMicrosPerMs * milliseconds));
        }
        ms_ += milliseconds;
        if (onSleep) {
            onSleep();
        }
    }
    void Advance(std::int64_t milliseconds) { ms_ += milliseconds; }
    std::int64_t Elapsed() const { return ms_; }
    std::function<void()> onSleep;
    int realMicrosPerMs = 20;

private:
    QDateTime start_;
    std::atomic<std::int64_t> ms_{0};
};

// Processes Qt events (when an application object exists) and counts the passes.
class CountingPump final : public EventPump {
public:
    void ProcessPendingEvents() override {
        ++passes;
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents();
        }
    }
    int passes = 0;
};

} // namespace tarvis::test
