#include "pskcore/Psk31Demodulator.h"

#include "pskcore/Psk31Modulator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvis::pskcore {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kSamplesPerSymbol = 16; // after decimation
// The decimating low-pass: flat over any signal the loops may pull in, and down by more than
// 70 dB where noise would fold back onto the signal at the lower rate.
constexpr int kDecimationTaps = 144;
constexpr double kDecimationCutoffHz = 240.0;
constexpr int kMatchedTaps = 2 * kSamplesPerSymbol - 1;
// A quarter of the matched filter's length: wide enough to see a signal far off the receive
// frequency for the frequency discriminator.
constexpr int kWideTaps = kSamplesPerSymbol / 2;
constexpr std::size_t kHistory = 64; // matched-filter samples kept for interpolation
constexpr int kDiscriminatorSymbols = 8;
// The input's power is averaged over about a second.
constexpr float kInputPowerWeight = 1.0f / 8000.0f;
// Below this share of the input's power nothing on the frequency is a signal, however clean
// its phases look (the far skirt of a strong signal elsewhere, or digital silence). A PSK31
// signal far below the noise still has several per cent.
constexpr float kLeastSignalShare = 1e-4f;

std::vector<float> LowPass(int taps, double cutoff) {
    std::vector<float> h(taps);
    double sum = 0.0;
    const double middle = (taps - 1) / 2.0;
    for (int k = 0; k < taps; ++k) {
        const double t = k - middle;
        const double sinc = t == 0.0 ? 2.0 * cutoff : std::sin(2.0 * kPi * cutoff * t) / (kPi * t);
        const double x = 2.0 * kPi * k / (taps - 1);
        const double blackman = 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2.0 * x);
        h[k] = static_cast<float>(sinc * blackman);
        sum += h[k];
    }
    for (float& v : h) {
        v = static_cast<float>(v / sum);
    }
    return h;
}

// A raised-cosine pulse of `taps` samples (zero just outside both ends), summing to one.
std::vector<float> RaisedCosine(int taps) {
    std::vector<float> h(taps);
    double sum = 0.0;
    for (int k = 0; k < taps; ++k) {
        h[k] = static_cast<float>(0.5 * (1.0 - std::cos(2.0 * kPi * (k + 1) / (taps + 1))));
        sum += h[k];
    }
    for (float& v : h) {
        v = static_cast<float>(v / sum);
    }
    return h;
}

Psk31Demodulator::Complex Dot(const Psk31Demodulator::Complex* x, const std::vector<float>& h) {
    float re = 0.0f;
    float im = 0.0f;
    for (std::size_t k = 0; k < h.size(); ++k) {
        re += x[k].real() * h[k];
        im += x[k].imag() * h[k];
    }
    return {re, im};
}

double Wrap(double phase) {
    return std::remainder(phase, 2.0 * kPi);
}

} // namespace

Psk31Demodulator::Psk31Demodulator(int sampleRate)
    : sampleRate_(sampleRate),
      decimation_(static_cast<int>(std::lround(sampleRate / kPsk31SymbolRate)) / kSamplesPerSymbol),
      decimationTaps_(LowPass(kDecimationTaps, kDecimationCutoffHz / sampleRate)),
      mixed_(2 * kDecimationTaps), matchedTaps_(RaisedCosine(kMatchedTaps)),
      decimated_(2 * (kMatchedTaps + 1)), wideTaps_(RaisedCosine(kWideTaps)), matched_(kHistory) {
    SetFrequency(frequency_, captureHz_);
}

void Psk31Demodulator::SetFrequency(double hertz, double captureHz) {
    frequency_ = hertz;
    captureHz_ = captureHz;
    offsetHz_ = 0.0;
    carrierStep_ = 0.0;
    quality_ = 0.0f;
    phaseLock_ = 0.0f;
    discriminator_ = {};
    discriminatorSymbol_ = {};
    discriminatorSymbols_ = 0;
    varicode_.Reset();
}

void Psk31Demodulator::SetAfcLimit(double hertz) {
    afcLimitHz_ = hertz;
    offsetHz_ = std::clamp(offsetHz_, -PullLimit(), PullLimit());
}

double Psk31Demodulator::PullLimit() const {
    return afcLimitHz_ > 0.0 ? std::max(afcLimitHz_, captureHz_) : captureHz_;
}

int Psk31Demodulator::Quality() const {
    return static_cast<int>(std::lround(std::clamp(quality_, 0.0f, 1.0f) * 100.0f));
}

double Psk31Demodulator::TrackedFrequency() const {
    return frequency_ + offsetHz_ + carrierStep_ * kPsk31SymbolRate / (2.0 * kPi);
}

void Psk31Demodulator::Process(const float* samples, std::size_t count,
                               const std::function<void(std::uint8_t)>& onCharacter) {
    const std::size_t taps = decimationTaps_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const float x = std::isfinite(samples[i]) ? samples[i] : 0.0f;
        inputPower_ += (x * x - inputPower_) * kInputPowerWeight;
        const Complex mixed(static_cast<float>(x * std::cos(ncoPhase_)),
                            static_cast<float>(-x * std::sin(ncoPhase_)));
        ncoPhase_ = Wrap(ncoPhase_ + 2.0 * kPi * (frequency_ + offsetHz_) / sampleRate_);
        mixed_[mixedPos_] = mixed;
        mixed_[mixedPos_ + taps] = mixed;
        mixedPos_ = (mixedPos_ + 1) % taps;
        if (++decimationCount_ >= decimation_) {
            decimationCount_ = 0;
            Decimated(Dot(&mixed_[mixedPos_], decimationTaps_), onCharacter);
        }
    }
}

void Psk31Demodulator::Decimated(Complex u, const std::function<void(std::uint8_t)>& onCharacter) {
    const std::size_t taps = matchedTaps_.size() + 1;
    decimated_[decimatedPos_] = u;
    decimated_[decimatedPos_ + taps] = u;
    decimatedPos_ = (decimatedPos_ + 1) % taps;
    const Complex* recent = &decimated_[decimatedPos_]; // oldest first, `taps` values

    // Frequency discriminator: squaring removes the BPSK modulation and leaves a tone at twice
    // the carrier offset, whose phase step from sample to sample is measured.
    const Complex wide = Dot(recent + taps - wideTaps_.size(), wideTaps_);
    const Complex square = wide * wide;
    discriminatorSymbol_ += square * std::conj(previousSquare_);
    previousSquare_ = square;

    matched_[static_cast<std::size_t>(matchedCount_) % kHistory] = Dot(recent + 1, matchedTaps_);
    ++matchedCount_;
    while (nextSymbol_ + 1.0 < static_cast<double>(matchedCount_)) {
        const Complex y = MatchedAt(nextSymbol_);
        const Complex mid = MatchedAt(nextSymbol_ - kSamplesPerSymbol / 2.0);
        Symbol(y, mid, onCharacter);
    }
}

Psk31Demodulator::Complex Psk31Demodulator::MatchedAt(double position) const {
    const double floor = std::floor(position);
    const auto index = static_cast<std::int64_t>(floor);
    if (index < 0 || index + 1 >= matchedCount_ ||
        matchedCount_ - index > static_cast<std::int64_t>(kHistory)) {
        return {};
    }
    const auto frac = static_cast<float>(position - floor);
    const Complex a = matched_[static_cast<std::size_t>(index) % kHistory];
    const Complex b = matched_[static_cast<std::size_t>(index + 1) % kHistory];
    return a + (b - a) * frac;
}

void Psk31Demodulator::Symbol(Complex y, Complex mid,
                              const std::function<void(std::uint8_t)>& onCharacter) {
    const bool locked = phaseLock_ > 0.25f;
    power_ += (std::norm(y) - power_) * 0.05f;
    const float power = std::max(power_, 1e-20f);

    // Symbol timing (Gardner): the sample halfway between two symbols of opposite sign is
    // zero when the timing is right, and leans toward the later symbol when it is late.
    const float timingError =
        std::clamp((std::conj(mid) * (previousSymbol_ - y)).real() / power, -1.0f, 1.0f);
    nextSymbol_ += kSamplesPerSymbol + (locked ? 0.15 : 0.5) * timingError;
    const Complex previous = previousSymbol_;
    previousSymbol_ = y;

    // Carrier phase: decide which of the two phases the symbol holds and turn the carrier
    // estimate toward it.
    const Complex z = y * std::polar(1.0f, static_cast<float>(-carrierPhase_));
    const int decision = z.real() >= 0.0f ? 1 : -1;
    const float phaseError =
        std::norm(z) > 0.0f ? std::atan2(z.imag() * decision, z.real() * decision) : 0.0f;
    const double gain = locked ? 0.12 : 0.25;
    // The loop learns the frequency only once it holds the phase; until then the
    // discriminator below finds the frequency and the loop just follows the phase.
    carrierStep_ =
        locked ? std::clamp(carrierStep_ + gain * gain * 0.5 * phaseError, -kPi / 4, kPi / 4) : 0.0;
    carrierPhase_ = Wrap(carrierPhase_ + carrierStep_ + gain * phaseError);

    // How well the phase loop holds the carrier: cos(2 x phase error) is 1 on a clean BPSK
    // symbol and averages 0 on noise.
    const float coherent =
        std::norm(z) > 0.0f ? (z.real() * z.real() - z.imag() * z.imag()) / std::norm(z) : 0.0f;
    phaseLock_ += (coherent - phaseLock_) / 10.0f;
    // The signal quality needs no carrier: the phase step from one symbol to the next is 0 or
    // 180 degrees on a clean signal, anything on noise.
    const Complex step = y * std::conj(previous);
    const float differential =
        std::norm(step) > 0.0f
            ? (step.real() * step.real() - step.imag() * step.imag()) / std::norm(step)
            : 0.0f;
    const bool present = power_ > kLeastSignalShare * inputPower_ && power_ > 0.0f;
    quality_ += ((present ? differential : 0.0f) - quality_) / 10.0f;

    // Frequency pull from the discriminator, summed a few symbols at a time into an average
    // in which each block weighs by its power, so a signal outweighs the noise heard before
    // it: a large step toward the carrier while the phase loop has not caught it, small trims
    // once it has (the phase loop then keeps its own share, so the carrier phase is not lost).
    if (++discriminatorSymbols_ >= kDiscriminatorSymbols) {
        discriminator_ = discriminator_ * 0.5f + discriminatorSymbol_;
        discriminatorSymbol_ = {};
        discriminatorSymbols_ = 0;
        if (std::norm(discriminator_) > 0.0f) {
            const double rate = static_cast<double>(sampleRate_) / decimation_;
            const double errorHz = std::arg(discriminator_) * rate / (4.0 * kPi);
            const double before = offsetHz_;
            offsetHz_ =
                std::clamp(offsetHz_ + (locked ? 0.3 : 1.0) * errorHz, -PullLimit(), PullLimit());
            const double moved = offsetHz_ - before;
            // What the average has measured is now that much nearer.
            discriminator_ *= std::polar(1.0f, static_cast<float>(-4.0 * kPi * moved / rate));
            if (locked) {
                carrierStep_ -= 2.0 * kPi * moved / kPsk31SymbolRate;
            }
        }
    }

    // A kept phase is a one, a reversal a zero: decided against the tracked carrier once the
    // loop holds it, else between the two symbols themselves.
    const int bit =
        locked ? (decision == previousDecision_ ? 1 : 0) : (step.real() >= 0.0f ? 1 : 0);
    previousDecision_ = decision;
    const int character = varicode_.Push(bit);
    if (character >= 0 && (squelch_ <= 0 || Quality() > squelch_)) {
        onCharacter(static_cast<std::uint8_t>(character));
    }
}

} // namespace tarvis::pskcore
