#include "pskcore/AudioChannel.h"

#include <cmath>
#include <numbers>

namespace tarvis::pskcore {

namespace {

constexpr int kHilbertTaps = 127; // odd; the middle tap is the delay of the in-phase part

std::vector<float> HilbertTaps() {
    std::vector<float> h(kHilbertTaps, 0.0f);
    const int middle = kHilbertTaps / 2;
    for (int k = 0; k < kHilbertTaps; ++k) {
        const int n = k - middle;
        if (n % 2 != 0) {
            const double window =
                0.54 - 0.46 * std::cos(2.0 * std::numbers::pi * k / (kHilbertTaps - 1));
            h[k] = static_cast<float>(2.0 / (std::numbers::pi * n) * window);
        }
    }
    return h;
}

} // namespace

AudioChannel::AudioChannel(const ChannelConditions& conditions, int sampleRate)
    : c_(conditions), sampleRate_(sampleRate), hilbert_(HilbertTaps()),
      delay_(2 * kHilbertTaps, 0.0f), random_(conditions.seed),
      // White noise over 0..fs/2 whose share in 3000 Hz has the asked-for power.
      noise_(0.0f,
             static_cast<float>(std::sqrt(conditions.noisePower3k * (sampleRate / 2.0) / 3000.0))) {
}

float AudioChannel::Shifted(float x) {
    if (c_.offsetHz == 0.0) {
        return x;
    }
    delay_[delayPos_] = x;
    delay_[delayPos_ + kHilbertTaps] = x;
    delayPos_ = (delayPos_ + 1) % kHilbertTaps;
    const float* recent = &delay_[delayPos_];
    float quadrature = 0.0f;
    for (int k = 0; k < kHilbertTaps; ++k) {
        quadrature += hilbert_[k] * recent[kHilbertTaps - 1 - k]; // newest sample first
    }
    const float inPhase = recent[kHilbertTaps / 2];
    // Re{(i + jq) e^{jwt}}: the upper side of the spectrum moves up by the offset.
    const float y =
        static_cast<float>(inPhase * std::cos(shiftPhase_) - quadrature * std::sin(shiftPhase_));
    shiftPhase_ = std::remainder(shiftPhase_ + 2.0 * std::numbers::pi * c_.offsetHz / sampleRate_,
                                 2.0 * std::numbers::pi);
    return y;
}

void AudioChannel::Pass(const float* in, std::size_t count, std::vector<float>& out) {
    // The receiver takes a sample every `step` transmitted samples.
    const double step = 1.0 / (1.0 + c_.clockErrorPpm * 1e-6);
    for (std::size_t i = 0; i < count; ++i) {
        history_[0] = history_[1];
        history_[1] = history_[2];
        history_[2] = history_[3];
        history_[3] = Shifted(in[i]);
        readPosition_ -= 1.0;
        // Cubic (Catmull-Rom) interpolation between history_[1] and history_[2].
        while (readPosition_ < 1.0) {
            const auto t = static_cast<float>(readPosition_);
            const float* p = history_;
            const float v = p[1] + 0.5f * t *
                                       (p[2] - p[0] +
                                        t * (2.0f * p[0] - 5.0f * p[1] + 4.0f * p[2] - p[3] +
                                             t * (3.0f * (p[1] - p[2]) + p[3] - p[0])));
            out.push_back(v + (c_.noisePower3k > 0.0 ? noise_(random_) : 0.0f));
            readPosition_ += step;
        }
    }
}

double SignalPower(const std::vector<float>& samples) {
    double sum = 0.0;
    std::size_t counted = 0;
    for (const float s : samples) {
        if (s != 0.0f) {
            sum += static_cast<double>(s) * s;
            ++counted;
        }
    }
    return counted == 0 ? 0.0 : sum / static_cast<double>(counted);
}

} // namespace tarvis::pskcore
