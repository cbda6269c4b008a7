#pragma once
// A radio path between two sound cards, simulated: shifts the audio in frequency, runs the
// receiving side's sample clock fast or slow, and adds white noise. Used where two stations
// hold a contact without radios, and to measure the receiver.
#include <complex>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace tarvis::pskcore {

struct ChannelConditions {
    // Power of the white noise added, measured in a 3000 Hz bandwidth (full scale sine: 0.5).
    double noisePower3k = 0.0;
    double offsetHz = 0.0;      // every frequency moves by this much
    double clockErrorPpm = 0.0; // the receiving sample clock runs this much fast
    std::uint32_t seed = 1;
};

class AudioChannel {
public:
    explicit AudioChannel(const ChannelConditions& conditions, int sampleRate = 8000);

    // Passes `count` transmitted samples; appends what the receiver hears to `out` (about
    // `count` samples, more or fewer by the clock error).
    void Pass(const float* in, std::size_t count, std::vector<float>& out);

private:
    float Shifted(float x);

    ChannelConditions c_;
    int sampleRate_;
    // Frequency shift: a Hilbert transformer gives the quadrature part of the signal.
    std::vector<float> hilbert_;
    std::vector<float> delay_;
    std::size_t delayPos_ = 0;
    double shiftPhase_ = 0.0;
    // Resampling for the clock error: the last four shifted samples and where the receiver's
    // next sample falls between them.
    float history_[4] = {};
    double readPosition_ = 1.0; // in input samples, relative to history_[1]
    std::mt19937 random_;
    std::normal_distribution<float> noise_;
};

// Mean power of a signal, ignoring stretches of silence (before keying and after).
double SignalPower(const std::vector<float>& samples);

} // namespace tarvis::pskcore
