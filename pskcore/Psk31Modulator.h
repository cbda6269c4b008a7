#pragma once
// The PSK31 transmitter: Varicode characters as binary phase-shift keying at 31.25 symbols a
// second. A zero bit reverses the phase and a one keeps it; through each reversal the
// amplitude follows a cosine down through zero and up again, which keeps the signal about
// 60 Hz wide. Keying up sends a preamble of reversals, an empty queue sends reversals (idle),
// and the end of a transmission is a short steady carrier faded out.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string_view>

namespace tarvis::pskcore {

inline constexpr double kPsk31SymbolRate = 31.25;

class Psk31Modulator {
public:
    explicit Psk31Modulator(int sampleRate = 8000);

    void SetFrequency(double hertz) { frequency_ = hertz; }
    double Frequency() const { return frequency_; }
    // Peak amplitude of the carrier (full scale is 1).
    void SetAmplitude(float peak) { amplitude_ = peak; }

    // Keys up (with the preamble) or keeps transmitting.
    void Start();
    // Ends the transmission once every queued character has gone: steady carrier, then silence.
    void Finish();
    // Ends at once: queued characters are dropped and the carrier fades out in one symbol.
    void Abort();
    void Queue(std::uint8_t character) { queue_.push_back(character); }
    void Queue(std::string_view text);

    bool Transmitting() const { return state_ != State::Silent; }
    // Characters queued or on their way out; a character counts until its last bit has left.
    std::size_t CharactersRemaining() const { return queue_.size() + (sending_ ? 1 : 0); }

    // Makes the next `count` samples. `onSent` is called for each character in the moment
    // its last symbol (with the gap after it) has been produced.
    void Produce(float* out, std::size_t count,
                 const std::function<void(std::uint8_t)>& onSent = {});

private:
    enum class State { Silent, Preamble, Data, Tail, FadeOut };

    int NextBit(const std::function<void(std::uint8_t)>& onSent);
    void BeginSymbol(const std::function<void(std::uint8_t)>& onSent);

    int sampleRate_;
    int samplesPerSymbol_;
    double frequency_ = 1000.0;
    float amplitude_ = 0.5f;
    double phase_ = 0.0; // carrier phase, radians

    State state_ = State::Silent;
    bool finishing_ = false;
    int symbolsLeft_ = 0; // in the preamble or the tail
    std::deque<std::uint8_t> queue_;
    bool sending_ = false; // a character's bits are going out
    std::uint8_t current_ = 0;
    std::string_view bits_; // what is left of the current character's bits
    int gapLeft_ = 0;       // zero bits still to send after them

    int position_ = 0;  // sample within the current symbol
    float from_ = 0.0f; // symbol value the current symbol starts at (-1, 0 or 1)
    float to_ = 0.0f;   // and ends at
    bool symbolActive_ = false;
};

} // namespace tarvis::pskcore
