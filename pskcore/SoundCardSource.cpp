// Capture from the sound card through PortAudio.
#include "pskcore/AudioSource.h"

#include <portaudio.h>

namespace tarvis::pskcore {

namespace {

// A small buffer keeps the spectrum current: 256 frames are 32 ms at 8000 Hz.
constexpr unsigned long kFramesPerBuffer = 256;

class SoundCardSource final : public AudioSource {
public:
    explicit SoundCardSource(int device) : device_(device) {}
    ~SoundCardSource() override { Stop(); }

    bool Start(int sampleRate, SampleSink sink) override {
        Stop();
        if (Pa_Initialize() != paNoError) {
            return false;
        }
        initialized_ = true;
        const PaDeviceIndex count = Pa_GetDeviceCount();
        const PaDeviceIndex device = device_ < 0 ? Pa_GetDefaultInputDevice() : device_;
        const PaDeviceInfo* info =
            device >= 0 && device < count ? Pa_GetDeviceInfo(device) : nullptr;
        if (info == nullptr || info->maxInputChannels < 1) {
            Stop();
            return false;
        }
        sink_ = std::move(sink);
        PaStreamParameters input{};
        input.device = device;
        input.channelCount = 1;
        input.sampleFormat = paFloat32;
        input.suggestedLatency = info->defaultLowInputLatency;
        if (Pa_OpenStream(&stream_, &input, nullptr, sampleRate, kFramesPerBuffer, paClipOff,
                          &SoundCardSource::Callback, this) != paNoError) {
            stream_ = nullptr;
            Stop();
            return false;
        }
        if (Pa_StartStream(stream_) != paNoError) {
            Stop();
            return false;
        }
        return true;
    }

    void Stop() override {
        if (stream_ != nullptr) {
            // Aborting rather than draining: captured audio still in flight is of no use,
            // and once this returns the callback has finished for good.
            Pa_AbortStream(stream_);
            Pa_CloseStream(stream_);
            stream_ = nullptr;
        }
        if (initialized_) {
            Pa_Terminate();
            initialized_ = false;
        }
        sink_ = nullptr;
    }

private:
    static int Callback(const void* input, void* /*output*/, unsigned long frames,
                        const PaStreamCallbackTimeInfo* /*time*/, PaStreamCallbackFlags /*flags*/,
                        void* self) {
        if (input != nullptr) {
            static_cast<SoundCardSource*>(self)->sink_(static_cast<const float*>(input), frames);
        }
        return paContinue;
    }

    int device_;
    bool initialized_ = false;
    PaStream* stream_ = nullptr;
    SampleSink sink_;
};

} // namespace

std::unique_ptr<AudioSource> MakeSoundCardSource(int device) {
    return std::make_unique<SoundCardSource>(device);
}

} // namespace tarvis::pskcore
