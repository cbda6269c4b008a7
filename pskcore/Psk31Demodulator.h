#pragma once
// The PSK31 receiver. The audio is mixed down from the receive frequency and decimated to 16
// samples a symbol, passed through the filter matched to the PSK31 symbol shape, sampled at
// the symbol instants a Gardner timing loop finds, and detected coherently against a carrier
// phase that a decision-directed loop tracks. A squaring frequency discriminator pulls the
// carrier in from further away (within the capture range, or within the AFC limit when AFC is
// on). The squelch compares a signal-quality measure (how closely the symbols keep to the two
// phases of BPSK) with its threshold.
#include <array>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "pskcore/Varicode.h"

namespace tarvis::pskcore {

class Psk31Demodulator {
public:
    using Complex = std::complex<float>;

    explicit Psk31Demodulator(int sampleRate = 8000);

    // Receive frequency in Hz; `captureHz` is how far the receiver follows a signal around it
    // when AFC is off. Tracking starts afresh.
    void SetFrequency(double hertz, double captureHz = 10.0);
    // How far AFC may pull from the receive frequency; 0 turns AFC off.
    void SetAfcLimit(double hertz);
    // Characters are given out only while the quality exceeds the threshold (0..99; 0: always).
    void SetSquelch(int threshold) { squelch_ = threshold; }

    // Takes received audio (values that are not finite count as silence) and calls
    // `onCharacter` for each character decoded.
    void Process(const float* samples, std::size_t count,
                 const std::function<void(std::uint8_t)>& onCharacter);

    // Signal quality 0..100: 0 for noise, near 100 for a clean signal.
    int Quality() const;
    // The frequency the receiver is tracking, in Hz.
    double TrackedFrequency() const;
    double Frequency() const { return frequency_; }

private:
    void Decimated(Complex u, const std::function<void(std::uint8_t)>& onCharacter);
    void Symbol(Complex y, Complex mid, const std::function<void(std::uint8_t)>& onCharacter);
    Complex MatchedAt(double position) const;
    double PullLimit() const;

    int sampleRate_;
    int decimation_;
    double frequency_ = 1000.0;
    double captureHz_ = 10.0;
    double afcLimitHz_ = 0.0;
    int squelch_ = 0;

    // Mixing and decimation.
    double ncoPhase_ = 0.0;
    double offsetHz_ = 0.0; // carrier offset the loops have found
    std::vector<float> decimationTaps_;
    std::vector<Complex> mixed_; // twice the filter length, written in both halves
    std::size_t mixedPos_ = 0;
    int decimationCount_ = 0;

    // At the decimated rate.
    std::vector<float> matchedTaps_;
    std::vector<Complex> decimated_; // recent decimated samples, for the matched filter
    std::size_t decimatedPos_ = 0;
    std::vector<float> wideTaps_;   // short filter for the frequency discriminator
    std::vector<Complex> matched_;  // matched-filter output history (a ring)
    std::int64_t matchedCount_ = 0; // matched samples produced so far
    double nextSymbol_ = 0.0;       // where the next symbol is sampled, in matched samples
    Complex previousSquare_{};
    Complex discriminator_{};       // power-weighted average of the blocks below
    Complex discriminatorSymbol_{}; // lag-one products of the squared signal, summed
    int discriminatorSymbols_ = 0;  // symbols summed so far

    // Per symbol.
    Complex previousSymbol_{};
    float power_ = 1e-6f; // average symbol power, for normalising the loops
    double carrierPhase_ = 0.0;
    double carrierStep_ = 0.0; // radians a symbol the phase loop has found
    float inputPower_ = 0.0f;            // average power of the audio taken
    float quality_ = 0.0f;     // signal quality, 0..1
    float phaseLock_ = 0.0f;   // how well the phase loop holds the carrier, 0..1
    int previousDecision_ = 1;
    VaricodeDecoder varicode_;
};

} // namespace tarvis::pskcore
