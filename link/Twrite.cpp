#include "link/Twrite.h"
#include "link/SerialPort.h"
#include "tuning/SoundCardEngine.h"

#include <algorithm>

namespace tarvis {

TransmitThread::TransmitThread(SerialPort& port, SoundCardEngine* engine,
                               std::function<void()> postTxReady)
    : port_(port), engine_(engine), postTxReady_(std::move(postTxReady)) {
    thread_ = std::thread([this] { Run(); });
}

TransmitThread::~TransmitThread() {
    Stop();
}

void TransmitThread::Enqueue(std::string_view bytes) {
    {
        std::lock_guard lock(queueMutex_);
        queue_.append(bytes);
    }
    wake_.Set();
}

void TransmitThread::EnqueuePsk(std::string_view bytes) {
    std::lock_guard lock(pskMutex_);
    pskQueue_.append(bytes);
}

void TransmitThread::ClearTransmitQueue() {
    std::lock_guard lock(queueMutex_);
    queue_.clear();
}

int TransmitThread::PendingTransmitCount() {
    int queued = 0;
    {
        std::lock_guard lock(queueMutex_);
        queued = static_cast<int>(queue_.size());
    }
    return std::max(queued, port_.OutputQueueCount());
}

void TransmitThread::SetWriteChunk(int count) {
    writeChunk_ = std::max(1, count);
}

int TransmitThread::PskQueueLength() {
    std::lock_guard lock(pskMutex_);
    return static_cast<int>(pskQueue_.size());
}

void TransmitThread::Suspend() {
    wake_.Set();
    gate_.Suspend();
}

void TransmitThread::Stop() {
    terminated_ = true;
    gate_.Release();
    wake_.Set();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool TransmitThread::Ready() {
    // The port is set up without output flow control, so this is always true; it honours
    // the settings should a port come up with them.
    const LineControl control = port_.ReadLineControl();
    if (control.ctsOutputFlow) {
        return port_.Cts();
    }
    return true;
}

void TransmitThread::WriteOneChunk() {
    // The lock is held for the whole write, so an enqueue waits at most one chunk's write.
    std::lock_guard lock(queueMutex_);
    const auto count = std::min<std::size_t>(queue_.size(), static_cast<std::size_t>(writeChunk_));
    const int written =
        port_.Write(reinterpret_cast<const std::uint8_t*>(queue_.data()), static_cast<int>(count));
    // What was not written stays at the front, in order, for the next pass.
    queue_.erase(0, static_cast<std::size_t>(std::max(0, written)));
    if (!queue_.empty()) {
        wake_.Set();
    } else {
        postTxReady_();
    }
}

void TransmitThread::Run() {
    while (!terminated_) {
        wake_.Wait(200);
        gate_.SafePoint();
        if (terminated_) {
            break;
        }
        const bool ready = Ready();
        bool queued = false;
        {
            std::lock_guard lock(queueMutex_);
            queued = !queue_.empty();
        }
        if (queued && ready) {
            WriteOneChunk();
        } else if (ready) {
            postTxReady_();
        }

        bool pskSent = false;
        bool pskEmpty = true;
        {
            std::lock_guard lock(pskMutex_);
            if (!pskQueue_.empty()) {
                const char character = pskQueue_.front();
                pskQueue_.erase(0, 1);
                if (engine_ != nullptr) {
                    engine_->StartTX();
                    // The engine takes the character sign-extended, as a char converts.
                    engine_->SendTXCharacter(static_cast<signed char>(character));
                }
                pskSent = true;
                pskEmpty = pskQueue_.empty();
            }
        }
        if (!pskSent || pskEmpty) {
            postTxReady_();
        }
    }
    gate_.Ended();
}

} // namespace tarvis
