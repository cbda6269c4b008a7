// The sound-card engine behind the twelve exported functions.
//
// Threads: the audio source delivers samples on its own thread (PortAudio's callback thread
// for the sound card) into a bounded queue; the engine's worker thread takes them from there,
// makes the spectra, runs the PSK31 receiver and posts 2024 and 2025, so no transform or event
// allocation happens on the audio threads. The audio sink asks for transmitted audio on its
// own thread; the PSK31 transmitter makes it there, under the state lock, and leaves the
// echoes of the characters that have gone for the worker to post. When no playback device
// could be opened the worker runs the transmitter at the capture's pace and the audio goes
// nowhere, so transmitting still comes to an end. The transmit thread and the main thread
// call in through the functions below.
#include "pskcore/PSKCore.h"
#include "platform/WindowMessage.h"
#include "pskcore/AudioSource.h"
#include "pskcore/Psk31Demodulator.h"
#include "pskcore/Psk31Modulator.h"
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

    void SetSinkFactory(AudioSinkFactory factory) {
        std::lock_guard lock(lifecycleMutex_);
        sinkFactory_ = std::move(factory);
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
            transmitter_ = Psk31Modulator(kSampleRate);
            transmitter_.SetFrequency(txFrequencyHz_);
            echoes_.clear();
            receiverChanged_ = true;
            receiverRetuned_ = true;
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
        // Without a playback device the engine still receives; see the note at the top.
        std::unique_ptr<AudioSink> sink =
            sinkFactory_ ? sinkFactory_(device) : MakeSoundCardSink(device);
        if (sink != nullptr &&
            sink->Start(kSampleRate, [this](float* out, std::size_t n) { Play(out, n); })) {
            sink_ = std::move(sink);
        }
        {
            std::lock_guard lock(stateMutex_);
            playing_ = sink_ != nullptr;
        }
        return kSoundCardOpen;
    }

    std::int32_t Stop() {
        std::lock_guard lifecycle(lifecycleMutex_);
        if (source_ == nullptr) {
            return kOk;
        }
        if (sink_ != nullptr) {
            sink_->Stop();
            sink_.reset();
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
        receiverChanged_ = true;
        return kOk;
    }

    std::int32_t SetSquelch(std::int32_t threshold, std::int32_t speed, std::int32_t channel) {
        if (!InRange(threshold, 0, 99) || !InRange(speed, 0, 2) || channel != 0) {
            return kRejected;
        }
        std::lock_guard lock(stateMutex_);
        squelchThreshold_ = threshold;
        squelchSpeed_ = speed;
        receiverChanged_ = true;
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
        receiverRetuned_ = true;
        receiverChanged_ = true;
        return kOk;
    }

    std::int32_t SetTxFrequency(std::int32_t frequencyHz) {
        if (!InRange(frequencyHz, 0, kHighestFrequencyHz)) {
            return kRejected;
        }
        std::lock_guard lock(stateMutex_);
        txFrequencyHz_ = frequencyHz;
        transmitter_.SetFrequency(frequencyHz);
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
        transmitter_.Start();
        return kOk;
    }

    std::int32_t SendTxCharacter(std::int32_t character, std::int32_t reserved) {
        if (!InRange(character, -128, 255) || reserved != 0) {
            return kRejected;
        }
        std::lock_guard lock(stateMutex_);
        if (!running_ || transmitter_.CharactersRemaining() >= kTransmitQueueCapacity) {
            return kRejected;
        }
        transmitter_.Queue(static_cast<std::uint8_t>(character & 0xFF));
        return kOk;
    }

    std::int32_t TxCharsRemaining() {
        std::lock_guard lock(stateMutex_);
        return running_ ? static_cast<std::int32_t>(transmitter_.CharactersRemaining()) : 0;
    }

    // The characters already handed over still go out, then the tail of steady carrier:
    // the program stops as soon as its own queue is empty, while the last character or two
    // are still on their way.
    std::int32_t StopTx() {
        std::lock_guard lock(stateMutex_);
        transmitter_.Finish();
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
    // Sink thread (or the worker when nothing plays).
    void Play(float* out, std::size_t count) {
        std::lock_guard lock(stateMutex_);
        transmitter_.Produce(out, count, [this](std::uint8_t c) { echoes_.push_back(c); });
    }

    // Worker thread: brings the receiver up to date with the settings.
    void UpdateReceiver(Psk31Demodulator& receiver) {
        std::lock_guard lock(stateMutex_);
        if (!receiverChanged_) {
            return;
        }
        if (receiverRetuned_) {
            receiver.SetFrequency(rxFrequencyHz_, captureRangeHz_);
            receiverRetuned_ = false;
        }
        receiver.SetAfcLimit(afcLimitHz_);
        receiver.SetSquelch(squelchThreshold_);
        receiverChanged_ = false;
    }

    void Run() {
        SpectrumAnalyzer analyzer;
        Psk31Demodulator receiver(kSampleRate);
        std::vector<float> block;
        std::vector<float> unplayed;
        std::vector<std::uint8_t> received;
        std::vector<std::uint8_t> echoed;
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
            UpdateReceiver(receiver);
            bool transmitting = false;
            QObject* window = nullptr;
            {
                std::lock_guard lock(stateMutex_);
                if (!playing_) {
                    unplayed.resize(block.size());
                    transmitter_.Produce(unplayed.data(), unplayed.size(),
                                         [this](std::uint8_t c) { echoes_.push_back(c); });
                }
                transmitting = transmitter_.Transmitting();
                echoed.assign(echoes_.begin(), echoes_.end());
                echoes_.clear();
                window = window_;
            }
            // While this station transmits, what comes in is not the other station's text.
            received.clear();
            receiver.Process(block.data(), block.size(), [&](std::uint8_t c) {
                if (!transmitting) {
                    received.push_back(c);
                }
            });
            for (const std::uint8_t c : echoed) {
                PostWindowMessage(window, kSoundCharMessage, c, -1);
            }
            for (const std::uint8_t c : received) {
                PostWindowMessage(window, kSoundCharMessage, c, 0);
            }
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
        playing_ = false;
        transmitter_.Abort();
        transmitter_ = Psk31Modulator(kSampleRate);
        echoes_.clear();
    }

    std::mutex lifecycleMutex_; // start and stop
    AudioSourceFactory factory_;
    std::unique_ptr<AudioSource> source_;
    AudioSinkFactory sinkFactory_;
    std::unique_ptr<AudioSink> sink_;
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
    // Receiver and transmitter settings; the worker applies the receiver's when they change.
    std::int32_t afcLimitHz_ = 0;
    std::int32_t squelchThreshold_ = 0;
    std::int32_t squelchSpeed_ = 0;
    std::int32_t rxFrequencyHz_ = 1500;
    std::int32_t captureRangeHz_ = 10;
    std::int32_t txFrequencyHz_ = 1500;
    bool receiverChanged_ = true;
    bool receiverRetuned_ = true;
    bool playing_ = false; // a sink asks for the transmitted audio
    Psk31Modulator transmitter_{kSampleRate};
    std::deque<std::uint8_t> echoes_; // characters that have gone, for the worker to post
};

Engine& TheEngine() {
    static Engine engine;
    return engine;
}

} // namespace

void SetAudioSourceFactory(AudioSourceFactory factory) {
    TheEngine().SetSourceFactory(std::move(factory));
}

void SetAudioSinkFactory(AudioSinkFactory factory) {
    TheEngine().SetSinkFactory(std::move(factory));
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
