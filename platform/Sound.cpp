#include "platform/Sound.h"

#include <QApplication>
#include <cmath>
#include <numbers>
#include <portaudio.h>
#include <vector>

namespace tarvis {

namespace {

// Plays a sine of the given frequency through the default audio output; false when no
// output could be opened.
bool PlaySine(int frequencyHz, int durationMs) {
    constexpr double kRate = 8000.0;
    if (frequencyHz <= 0 || durationMs <= 0 || Pa_Initialize() != paNoError) {
        return false;
    }
    PaStream* stream = nullptr;
    bool played = false;
    if (Pa_OpenDefaultStream(&stream, 0, 1, paFloat32, kRate, 256, nullptr, nullptr) == paNoError) {
        const auto count = static_cast<std::size_t>(kRate * durationMs / 1000.0);
        std::vector<float> samples(count);
        for (std::size_t i = 0; i < count; ++i) {
            samples[i] = 0.5F * static_cast<float>(std::sin(2.0 * std::numbers::pi * frequencyHz *
                                                            static_cast<double>(i) / kRate));
        }
        if (Pa_StartStream(stream) == paNoError) {
            played = Pa_WriteStream(stream, samples.data(), static_cast<unsigned long>(count)) ==
                     paNoError;
            Pa_StopStream(stream);
        }
        Pa_CloseStream(stream);
    }
    Pa_Terminate();
    return played;
}

class MachineSound final : public Sound {
public:
    void DefaultSound() override { QApplication::beep(); }
    void Exclamation() override { QApplication::beep(); }
    void Beep() override { QApplication::beep(); }
    void Tone(int frequencyHz, int durationMs) override {
        if (!PlaySine(frequencyHz, durationMs)) {
            QApplication::beep();
        }
    }
};

} // namespace

Sound& SystemSound() {
    static MachineSound sound;
    return sound;
}

} // namespace tarvis
