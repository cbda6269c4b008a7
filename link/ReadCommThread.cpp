#include "link/ReadCommThread.h"
#include "link/Framing.h"
#include "link/ReceiveRing.h"
#include "link/SerialPort.h"

#include <chrono>

namespace tarvis {

namespace {
// How long one wait for port events lasts; bounds how late a terminate request is seen.
constexpr int kWaitMs = 50;
// At most this much is read in one go.
constexpr int kReadChunk = 2000;
} // namespace

ReadCommThread::ReadCommThread(SerialPort& port, ReceiveFramer& framer, ReceiveRing& ring)
    : port_(port), framer_(framer), ring_(ring) {
    thread_ = std::thread([this] { Run(); });
}

ReadCommThread::~ReadCommThread() {
    Terminate();
}

void ReadCommThread::Terminate() {
    terminated_ = true;
    stopStoring_ = true;
    gate_.Release();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ReadCommThread::Suspend() {
    stopStoring_ = true;
    gate_.Suspend();
}

void ReadCommThread::Resume() {
    stopStoring_ = terminated_.load();
    gate_.Resume();
}

std::string ReadCommThread::LastLineError() {
    std::lock_guard lock(errorMutex_);
    return lastLineError_;
}

void ReadCommThread::Run() {
    std::uint8_t buffer[kReadChunk];
    while (!terminated_) {
        gate_.SafePoint();
        if (terminated_) {
            break;
        }
        const unsigned events = port_.WaitEvent(kWaitMs);
        if ((events & kPortEventWaitFailed) != 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        const unsigned errors = port_.TakeLineErrors();
        // The read does not block, so what is waiting is read without asking the driver's
        // count first (not every driver reports it).
        if ((events & kPortEventCharReceived) != 0) {
            const int n = port_.Read(buffer, kReadChunk);
            if (n < 0) {
                port_.TakeLineErrors();
                continue;
            }
            for (int i = 0; i < n && !stopStoring_; ++i) {
                framer_.Feed(buffer[i],
                             [this](std::uint32_t item) { ring_.Store(item, &stopStoring_); });
            }
        } else if ((events & kPortEventLineError) != 0) {
            ++lineErrors_;
            std::lock_guard lock(errorMutex_);
            lastLineError_ = ClassifyLineError(errors);
        }
    }
    gate_.Ended();
}

} // namespace tarvis
