#include "pskcore/Psk31Modulator.h"

#include "pskcore/Varicode.h"

#include <cmath>
#include <numbers>

namespace tarvis::pskcore {

namespace {

// About a second of reversals lets the far receiver find the carrier and the symbol clock
// before the first character; the tail of steady carrier tells it the text has ended.
constexpr int kPreambleSymbols = 32;
constexpr int kTailSymbols = 32;

} // namespace

Psk31Modulator::Psk31Modulator(int sampleRate)
    : sampleRate_(sampleRate),
      samplesPerSymbol_(static_cast<int>(std::lround(sampleRate / kPsk31SymbolRate))) {}

void Psk31Modulator::Start() {
    finishing_ = false;
    switch (state_) {
    case State::Silent:
        state_ = State::Preamble;
        symbolsLeft_ = kPreambleSymbols;
        break;
    case State::Tail:
    case State::FadeOut:
        // Still on the air: carry on with the carrier as it is.
        state_ = State::Data;
        break;
    case State::Preamble:
    case State::Data:
        break;
    }
}

void Psk31Modulator::Finish() {
    if (state_ != State::Silent) {
        finishing_ = true;
    }
}

void Psk31Modulator::Abort() {
    queue_.clear();
    sending_ = false;
    bits_ = {};
    gapLeft_ = 0;
    finishing_ = false;
    if (state_ != State::Silent) {
        state_ = State::FadeOut;
    }
}

void Psk31Modulator::Queue(std::string_view text) {
    for (const char c : text) {
        queue_.push_back(static_cast<std::uint8_t>(c));
    }
}

int Psk31Modulator::NextBit(const std::function<void(std::uint8_t)>& onSent) {
    if (sending_ && bits_.empty() && gapLeft_ == 0) {
        // The previous symbol was the last of the character's gap: it has left.
        sending_ = false;
        if (onSent) {
            onSent(current_);
        }
    }
    if (!sending_ && !queue_.empty()) {
        current_ = queue_.front();
        queue_.pop_front();
        bits_ = VaricodeOf(current_);
        gapLeft_ = 2;
        sending_ = true;
    }
    if (!sending_) {
        return -1; // nothing to send
    }
    if (!bits_.empty()) {
        const int bit = bits_.front() == '1' ? 1 : 0;
        bits_.remove_prefix(1);
        return bit;
    }
    --gapLeft_;
    return 0;
}

void Psk31Modulator::BeginSymbol(const std::function<void(std::uint8_t)>& onSent) {
    from_ = symbolActive_ ? to_ : 0.0f;
    symbolActive_ = true;
    const float carrier = from_ == 0.0f ? 1.0f : from_;
    switch (state_) {
    case State::Silent:
        from_ = to_ = 0.0f;
        symbolActive_ = false;
        return;
    case State::Preamble:
        // The first symbol rises from silence; the others reverse.
        to_ = from_ == 0.0f ? 1.0f : -from_;
        if (--symbolsLeft_ <= 0) {
            state_ = State::Data;
        }
        return;
    case State::Data: {
        const int bit = NextBit(onSent);
        if (bit < 0 && finishing_) {
            state_ = State::Tail;
            symbolsLeft_ = kTailSymbols;
            to_ = carrier;
            return;
        }
        // Idle is a run of zero bits: reversals.
        to_ = bit == 1 ? carrier : -carrier;
        return;
    }
    case State::Tail:
        to_ = carrier;
        if (--symbolsLeft_ <= 0) {
            state_ = State::FadeOut;
        }
        return;
    case State::FadeOut:
        to_ = 0.0f;
        state_ = State::Silent;
        finishing_ = false;
        return;
    }
}

void Psk31Modulator::Produce(float* out, std::size_t count,
                             const std::function<void(std::uint8_t)>& onSent) {
    const double step = 2.0 * std::numbers::pi * frequency_ / sampleRate_;
    for (std::size_t i = 0; i < count; ++i) {
        if (position_ == 0) {
            BeginSymbol(onSent);
        }
        // From one symbol value to the next along half a cosine period; the same value twice
        // is a steady carrier.
        const double t = static_cast<double>(position_) / samplesPerSymbol_;
        const double rise = 0.5 * (1.0 - std::cos(std::numbers::pi * t));
        const double envelope = from_ + (to_ - from_) * rise;
        out[i] = static_cast<float>(amplitude_ * envelope * std::cos(phase_));
        phase_ += step;
        if (phase_ > 2.0 * std::numbers::pi) {
            phase_ -= 2.0 * std::numbers::pi;
        }
        if (++position_ >= samplesPerSymbol_) {
            position_ = 0;
        }
    }
}

} // namespace tarvis::pskcore
