#pragma once
// Spectra of the captured audio: 2048-point Hann-windowed transforms, one for every 1024 new
// samples, as magnitudes relative to a full-scale sine (a sine of amplitude 1 centred on a bin
// gives 1 there).
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace tarvis::pskcore {

inline constexpr int kSampleRate = 8000;
inline constexpr int kFftSize = 2048;
inline constexpr int kFftHop = kFftSize / 2;
inline constexpr int kSpectrumBins = kFftSize / 2 + 1; // bin k is k * 3.90625 Hz

using Spectrum = std::array<float, kSpectrumBins>;

class SpectrumAnalyzer {
public:
    SpectrumAnalyzer();
    ~SpectrumAnalyzer();
    SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
    SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

    // Adds samples (values that are not finite count as silence) and calls `onSpectrum` for
    // every spectrum they complete.
    void Feed(const float* samples, std::size_t count,
              const std::function<void(const Spectrum&)>& onSpectrum);

private:
    void Transform(const std::function<void(const Spectrum&)>& onSpectrum);

    std::array<float, kFftSize> window_{};
    std::array<float, kFftSize> history_{};
    std::size_t filled_ = 0;
    float* input_ = nullptr; // FFTW-aligned, kFftSize values
    void* output_ = nullptr; // FFTW-aligned, kSpectrumBins complex values
    void* plan_ = nullptr;
    Spectrum magnitudes_{};
};

// Maps a relative magnitude onto 0..maxValue: logarithmically from 80 dB below full scale up
// to full scale, or linearly up to full scale. Larger magnitudes give maxValue.
std::int32_t SpectrumValue(float magnitude, std::int32_t maxValue, bool logarithmic);

} // namespace tarvis::pskcore
