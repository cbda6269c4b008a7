#include "pskcore/SpectrumAnalyzer.h"

#include <algorithm>
#include <cmath>
#include <fftw3.h>
#include <mutex>
#include <numbers>

namespace tarvis::pskcore {

namespace {

// FFTW's planner is shared by the whole process and not safe to enter from two threads.
std::mutex& PlannerMutex() {
    static std::mutex mutex;
    return mutex;
}

constexpr float kFloorDb = -80.0f;

} // namespace

SpectrumAnalyzer::SpectrumAnalyzer() {
    // A periodic Hann window: its coherent gain is exactly one half, so a full-scale sine
    // on a bin has magnitude kFftSize / 4 there.
    for (int i = 0; i < kFftSize; ++i) {
        window_[i] =
            static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kFftSize));
    }
    std::lock_guard lock(PlannerMutex());
    input_ = fftwf_alloc_real(kFftSize);
    fftwf_complex* output = fftwf_alloc_complex(kSpectrumBins);
    output_ = output;
    plan_ = fftwf_plan_dft_r2c_1d(kFftSize, input_, output, FFTW_ESTIMATE);
}

SpectrumAnalyzer::~SpectrumAnalyzer() {
    std::lock_guard lock(PlannerMutex());
    fftwf_destroy_plan(static_cast<fftwf_plan>(plan_));
    fftwf_free(output_);
    fftwf_free(input_);
}

void SpectrumAnalyzer::Feed(const float* samples, std::size_t count,
                            const std::function<void(const Spectrum&)>& onSpectrum) {
    for (std::size_t i = 0; i < count; ++i) {
        const float sample = samples[i];
        history_[filled_++] = std::isfinite(sample) ? sample : 0.0f;
        if (filled_ == kFftSize) {
            Transform(onSpectrum);
            // Half of each transform is the newer half of the one before.
            std::copy(history_.begin() + kFftHop, history_.end(), history_.begin());
            filled_ = kFftHop;
        }
    }
}

void SpectrumAnalyzer::Transform(const std::function<void(const Spectrum&)>& onSpectrum) {
    for (int i = 0; i < kFftSize; ++i) {
        input_[i] = history_[i] * window_[i];
    }
    fftwf_execute(static_cast<fftwf_plan>(plan_));
    const auto* output = static_cast<const fftwf_complex*>(output_);
    constexpr float kFullScale = kFftSize / 4.0f;
    for (int k = 0; k < kSpectrumBins; ++k) {
        magnitudes_[k] = std::hypot(output[k][0], output[k][1]) / kFullScale;
    }
    onSpectrum(magnitudes_);
}

std::int32_t SpectrumValue(float magnitude, std::int32_t maxValue, bool logarithmic) {
    if (!(magnitude > 0.0f)) { // also catches NaN
        return 0;
    }
    float fraction = magnitude;
    if (logarithmic) {
        const float db = 20.0f * std::log10(magnitude);
        fraction = (db - kFloorDb) / -kFloorDb;
    }
    fraction = std::clamp(fraction, 0.0f, 1.0f);
    return static_cast<std::int32_t>(std::lround(fraction * static_cast<float>(maxValue)));
}

} // namespace tarvis::pskcore
