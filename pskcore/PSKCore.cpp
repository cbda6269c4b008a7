// The sound-card engine behind the twelve exported functions.
//
// Threads: the audio source delivers samples on its own thread (PortAudio's callback thread
// for the sound card) into a bounded queue; the engine's worker thread takes them from there,
// makes the spectra and posts 2024, so no transform or event allocation happens on the audio
// thread. The transmit thread and the main thread call in through the functions below.
//
// The PSK31 modem is not part of the engine yet. Until it is, transmitting is accounted for
// but produces no audio: characters sent with fnSendTXCharacter wait in the transmit queue
// and leave it, unsent, at the pace a PSK31 transmitter would take them (one about every
// 320 ms, counted on the sound card's sample clock), so fnGetTXCharsRemaining behaves as the
// program expects and transmitting always comes to an end. fnStopTX discards what is left.
// No 2025, 2026 or 2028 messages are posted until the modem exists.
#include "pskcore/PSKCore.h"
#include "platform/WindowMessage.h"
#include "pskcore/AudioSource.h"
#include "pskcore/SpectrumAnalyzer.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace tarvis::pskcore {

namespace {

// About two seconds of audio may wait for the worker; beyond that the oldest is dropped, so a
// stalled worker cannot make the queue grow without bound.
constexpr std::size_t kSampleQueueCapacity = 16 * 1024;
// Ten symbols of 256 samples at 31.25 baud: about an average PSK31 character.
constexpr std::size_t kSamplesPerCharacter = 10 * 256;
constexpr std::size_t kTransmitQueueCapacity = 4096;
constexpr std::int32_t kHighestFrequencyHz = kSampleRate / 2 - 1;
constexpr std::int32_t kMaxRangeHz = 500;
constexpr std::int32_t kOk = 0;
constexpr std::int32_t kRejected = -1;

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

class Engine {
public:
    ~Engine() { Stop(); }

    void SetSourceFactory(AudioSourceFactory factory) {
        std::lock_guard lock(lifecycleMutex_);
        factory_ = std::move(factory);
    }

    std::int32_t Start(std::intptr_t window, std::int32_t device, std::int32_t channel) {
        if (window == 0 || device < -1 || channel != 1) {
            return kSoundCardBadArgument;
        }
        std::lock_guard lifecycle(lifecycleMutex_);
        if (source_ != nullptr) {
            return kSoundCardAlreadyOpen;
        }
        std::unique_ptr<AudioSource> source =
            factory_ ? factory_(device) : MakeSoundCardSource(device);
        if (source == nullptr) {
            return kSoundCardNoDevice;
        }
        {
            std::lock_guard lock(stateMutex_);
            window_ = WindowFromHandle(window);
            running_ = true;
            latest_.fill(0.0f);
            fetchPending_ = false;
            ClearTransmitLocked();
        }
        {
            std::lock_guard lock(queueMutex_);
            samples_.clear();
            stopWorker_ = false;
        }
        worker_ = std::thread([this] { Run(); });
        if (!source->Start(kSampleRate, [this](const float* s, std::size_t n) { Queue(s, n); })) {
            source->Stop();
            StopWorker();
            return kSoundCardNoDevice;
        }
        source_ = std::move(source);
        return kSoundCardOpen;
    }

    std::int32_t Stop() {
        std::lock_guard lifecycle(lifecycleMutex_);
        if (source_ == nullptr) {
            return kOk;
        }
        source_->Stop();
        StopWorker();
        source_.reset();
        return kOk;
    }

    std::int32_t SetFftMode(std::int32_t enable, std::int32_t maxValue, std::int32_t logarithmic) {
        if (!InRange(enable, 0, 1) || !InRange(maxValue, 1, 255) || !InRange(logarithmic, 0, 1)) {
            return kRejected;
        }
        std::lock_guard lock(stateMutex_);
        fftEnabled_ = enable == 1;
        fftMaxValue_ = maxValue;
        fftLogarithmic_ = logarithmic == 1;
        return kOk;
    }

    std::int32_t GetFftData(std::int32_t* buffer, std::int32_t first, std::int32_t last) {
        if (buffer == nullptr || first < 0 || last < first || last >= kSpectrumBins) {
            return kRejected;
        }
        std::lock_guard lock(stateMutex_);
        if (!running_) {
            return 0;
        }
        for (std::int32_t bin = first; bin <= last; ++bin) {
            buffer[bin - first] = SpectrumValue(latest_[bin], fftMaxValue_, fftLogarithmic_);
        }
        fetchPending_ = false;
        return last - first + 1;
    }

    std::int32_t SetAfcLimit(std::int32_t limitHz, std::int32_t reserved) {
        if (!InRange(limitHz, 0, kMaxRangeHz) || reserved != 0) {
            return kRejected;
        }
        std::lock_guard lock(stateMutex_);
        afcLimitHz_ = limitHz;
        return kOk;
    }

    std::int32_t SetSquelch(std::int32_t threshold, std::int32_t speed, std::int32_t channel) {
        if (!InRange(threshold, 0, 99) || !InRange(speed, 0, 2) || channel != 0) {
            return kRejected;
        }
        std::lock_guard lock(stateMutex_);
        squelchThreshold_ = threshold;
        squelchSpeed_ = speed;
        return kOk;
    }

    std::int32_t SetRxFrequency(std::int32_t frequencyHz, std::int32_t rangeHz,
                                std::int32_t channel) {
        if (!InRange(frequencyHz, 0, kHighestFrequencyHz) || !InRange(rangeHz, 0, kMaxRangeHz) ||
            channel != 0) {
            return kRejected;
        }
        std::lock_guard lock(stateMutex_);
        rxFrequencyHz_ = frequencyHz;
        captureRangeHz_ = rangeHz;
        return kOk;
    }

    std::int32_t SetTxFrequency(std::int32_t frequencyHz) {
        if (!InRange(frequencyHz, 0, kHighestFrequencyHz)) {
            return kRejected;
        }
        std::lock_guard lock(stateMutex_);
        txFrequencyHz_ = frequencyHz;
        return kOk;
    }

    std::int32_t StartTx(std::int32_t mode) {
        if (mode != 0) {
            return kRejected;
        }
        std::lock_guard lock(stateMutex_);
        if (!running_) {
            return kRejected;
        }
        transmitting_ = true;
        return kOk;
    }

    std::int32_t SendTxCharacter(std::int32_t character, std::int32_t reserved) {
        if (!InRange(character, -128, 255) || reserved != 0) {
            return kRejected;
        }
        std::lock_guard lock(stateMutex_);
        if (!running_ || transmitQueue_.size() >= kTransmitQueueCapacity) {
            return kRejected;
        }
        transmitQueue_.push_back(static_cast<std::uint8_t>(character & 0xFF));
        return kOk;
    }

    std::int32_t TxCharsRemaining() {
        std::lock_guard lock(stateMutex_);
        return static_cast<std::int32_t>(transmitQueue_.size());
    }

    std::int32_t StopTx() {
        std::lock_guard lock(stateMutex_);
        ClearTransmitLocked();
        return kOk;
    }

private:
    // Audio thread.
    void Queue(const float* samples, std::size_t count) {
        {
            std::lock_guard lock(queueMutex_);
            samples_.insert(samples_.end(), samples, samples + count);
            if (samples_.size() > kSampleQueueCapacity) {
                samples_.erase(samples_.begin(),
                               samples_.begin() + (samples_.size() - kSampleQueueCapacity));
            }
        }
        samplesReady_.notify_one();
    }

    // Worker thread.
    void Run() {
        SpectrumAnalyzer analyzer;
        std::vector<float> block;
        for (;;) {
            {
                std::unique_lock lock(queueMutex_);
                samplesReady_.wait(lock, [this] { return stopWorker_ || !samples_.empty(); });
                if (stopWorker_) {
                    return;
                }
                block.swap(samples_);
                samples_.clear();
            }
            analyzer.Feed(block.data(), block.size(), [this](const Spectrum& s) { Publish(s); });
            AdvanceTransmit(block.size());
        }
    }

    void Publish(const Spectrum& spectrum) {
        QObject* window = nullptr;
        {
            std::lock_guard lock(stateMutex_);
            latest_ = spectrum;
            // One 2024 at a time: the next waits until this one's data has been fetched, so
            // a busy main window never finds a backlog of stale spectra in its queue.
            if (fftEnabled_ && !fetchPending_) {
                fetchPending_ = true;
                window = window_;
            }
        }
        if (window != nullptr) {
            PostWindowMessage(window, kFftDataMessage);
        }
    }

    void AdvanceTransmit(std::size_t samples) {
        std::lock_guard lock(stateMutex_);
        if (!transmitting_ || transmitQueue_.empty()) {
            transmitClock_ = 0;
            return;
        }
        transmitClock_ += samples;
        while (transmitClock_ >= kSamplesPerCharacter && !transmitQueue_.empty()) {
            transmitClock_ -= kSamplesPerCharacter;
            transmitQueue_.pop_front();
        }
    }

    void ClearTransmitLocked() {
        transmitting_ = false;
        transmitQueue_.clear();
        transmitClock_ = 0;
    }

    // Ends the worker and returns the engine to its closed state; the source has stopped.
    void StopWorker() {
        {
            std::lock_guard lock(queueMutex_);
            stopWorker_ = true;
        }
        samplesReady_.notify_one();
        worker_.join();
        std::lock_guard lock(stateMutex_);
        running_ = false;
        window_ = nullptr;
        fetchPending_ = false;
        ClearTransmitLocked();
    }

    std::mutex lifecycleMutex_; // start and stop
    AudioSourceFactory factory_;
    std::unique_ptr<AudioSource> source_;
    std::thread worker_;

    std::mutex queueMutex_; // captured samples on their way to the worker
    std::condition_variable samplesReady_;
    std::vector<float> samples_;
    bool stopWorker_ = false;

    std::mutex stateMutex_; // everything below
    bool running_ = false;
    QObject* window_ = nullptr;
    bool fftEnabled_ = false;
    std::int32_t fftMaxValue_ = 255;
    bool fftLogarithmic_ = true;
    Spectrum latest_{};
    bool fetchPending_ = false;
    // Receiver and transmitter settings, kept for the PSK31 modem.
    std::int32_t afcLimitHz_ = 0;
    std::int32_t squelchThreshold_ = 0;
    std::int32_t squelchSpeed_ = 0;
    std::int32_t rxFrequencyHz_ = 1500;
    std::int32_t captureRangeHz_ = 10;
    std::int32_t txFrequencyHz_ = 1500;
    bool transmitting_ = false;
    std::deque<std::uint8_t> transmitQueue_;
    std::size_t transmitClock_ = 0; // samples since the last character left the queue
};

Engine& TheEngine() {
    static Engine engine;
    return engine;
}

} // namespace

void SetAudioSourceFactory(AudioSourceFactory factory) {
    TheEngine().SetSourceFactory(std::move(factory));
}

} // namespace tarvis::pskcore

using tarvis::pskcore::TheEngine;

extern "C" {

int32_t fnStartSoundCard(intptr_t window, int32_t device, int32_t channel) {
    return TheEngine().Start(window, device, channel);
}

int32_t fnSetFFTMode(int32_t enable, int32_t maxValue, int32_t logarithmic) {
    return TheEngine().SetFftMode(enable, maxValue, logarithmic);
}

int32_t fnGetFFTData(int32_t* buffer, int32_t first, int32_t last) {
    return TheEngine().GetFftData(buffer, first, last);
}

int32_t fnSetAFCLimit(int32_t limitHz, int32_t reserved) {
    return TheEngine().SetAfcLimit(limitHz, reserved);
}

int32_t fnSetSquelchThreshold(int32_t threshold, int32_t speed, int32_t channel) {
    return TheEngine().SetSquelch(threshold, speed, channel);
}

int32_t fnSetRXFrequency(int32_t frequencyHz, int32_t captureRangeHz, int32_t channel) {
    return TheEngine().SetRxFrequency(frequencyHz, captureRangeHz, channel);
}

int32_t fnSetTXFrequency(int32_t frequencyHz) {
    return TheEngine().SetTxFrequency(frequencyHz);
}

int32_t fnStartTX(int32_t mode) {
    return TheEngine().StartTx(mode);
}

int32_t fnSendTXCharacter(int32_t character, int32_t reserved) {
    return TheEngine().SendTxCharacter(character, reserved);
}

int32_t fnGetTXCharsRemaining(void) {
    return TheEngine().TxCharsRemaining();
}

int32_t fnStopTX(void) {
    return TheEngine().StopTx();
}

int32_t fnStopSoundCard(void) {
    return TheEngine().Stop();
}

} // extern "C"
