#pragma once
// The PSK31 alphabet: a variable-length code for every byte value. No code holds two zero bits
// in a row and every code starts and ends with a one, so two zeros mark the gap between
// characters and an idle transmitter (all zeros) sends no characters at all.
#include <cstdint>
#include <string_view>

namespace tarvis::pskcore {

// The code of a byte as a string of '0' and '1', first bit to be sent first.
std::string_view VaricodeOf(std::uint8_t character);

// Assembles received bits into characters.
class VaricodeDecoder {
public:
    // Takes the next bit; returns the character it completed, or -1.
    int Push(int bit);
    // Forgets what it holds; the next character begins after the next gap.
    void Reset() {
        bits_ = 0;
        overlong_ = true;
    }

private:
    std::uint32_t bits_ = 0;
    // Nothing up to the next gap is a character: a run too long for any code, or bits heard
    // before the first gap, which may be the tail of a character missed.
    bool overlong_ = true;
};

} // namespace tarvis::pskcore
