#include "platform/Clock.h"
#include "platform/EventPump.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace tarvis {

namespace {

class MachineClock final : public Clock {
public:
    std::uint32_t TickCount() override {
        using namespace std::chrono;
        return static_cast<std::uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    QDateTime UtcNow() override { return QDateTime::currentDateTimeUtc(); }
    void Sleep(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void SleepMicroseconds(int microseconds) override {
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
    }
};

class QtPump final : public EventPump {
public:
    void ProcessPendingEvents() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
};

} // namespace

Clock& SystemClock() {
    static MachineClock clock;
    return clock;
}

EventPump& QtEventPump() {
    static QtPump pump;
    return pump;
}

int Delay(Clock& clock, EventPump& pump, int milliseconds) {
    const std::uint32_t start = clock.TickCount();
    for (;;) {
        pump.ProcessPendingEvents();
        const std::uint32_t passed = clock.TickCount() - start;
        if (passed >= static_cast<std::uint32_t>(milliseconds)) {
            return static_cast<int>(passed);
        }
        clock.Sleep(1);
    }
}

} // namespace tarvis
