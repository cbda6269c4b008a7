// Playback on the sound card through PortAudio.
#include "pskcore/AudioSource.h"

#include <portaudio.h>

namespace tarvis::pskcore {

namespace {

constexpr unsigned long kFramesPerBuffer = 256;

class SoundCardSink final : public AudioSink {
public:
    explicit SoundCardSink(int device) : device_(device) {}
    ~SoundCardSink() override { Stop(); }

    bool Start(int sampleRate, SampleProvider provider) override {
        Stop();
        if (Pa_Initialize() != paNoError) {
            return false;
        }
        initialized_ = true;
        const PaDeviceIndex count = Pa_GetDeviceCount();
        const PaDeviceIndex device = device_ < 0 ? Pa_GetDefaultOutputDevice() : device_;
        const PaDeviceInfo* info =
            device >= 0 && device < count ? Pa_GetDeviceInfo(device) : nullptr;
        if (info == nullptr || info->maxOutputChannels < 1) {
            Stop();
            return false;
        }
        provider_ = std::move(provider);
        PaStreamParameters output{};
        output.device = device;
        output.channelCount = 1;
        output.sampleFormat = paFloat32;
        output.suggestedLatency = info->defaultLowOutputLatency;
        if (Pa_OpenStream(&stream_, nullptr, &output, sampleRate, kFramesPerBuffer, paClipOff,
                          &SoundCardSink::Callback, this) != paNoError) {
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
            Pa_AbortStream(stream_);
            Pa_CloseStream(stream_);
            stream_ = nullptr;
        }
        if (initialized_) {
            Pa_Terminate();
            initialized_ = false;
        }
        provider_ = nullptr;
    }

private:
    static int Callback(const void* /*input*/, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* /*time*/, PaStreamCallbackFlags /*flags*/,
                        void* self) {
        static_cast<SoundCardSink*>(self)->provider_(static_cast<float*>(output), frames);
        return paContinue;
    }

    int device_;
    bool initialized_ = false;
    PaStream* stream_ = nullptr;
    SampleProvider provider_;
};

} // namespace

std::unique_ptr<AudioSink> MakeSoundCardSink(int device) {
    return std::make_unique<SoundCardSink>(device);
}

} // namespace tarvis::pskcore
