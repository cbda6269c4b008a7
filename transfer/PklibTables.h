// The fixed code tables of the implode stream format, shared by the encoder and the decoder.
//
// The format publishes each prefix code only as its code lengths, in symbol order, packed so
// that one byte covers a run of equal lengths: low nibble = code length, high nibble + 1 =
// how many consecutive symbols have it. Codes are assigned canonically (shorter codes first,
// then by symbol) and travel most significant bit first with every bit inverted, inside a bit
// stream that is otherwise filled least significant bit first. The functions below turn that
// into the code as it appears in the stream, ready to be put or looked up LSB first.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace tarvis::pklib {

// Literal byte codes (ASCII literal coding): 256 symbols, the byte values 00..FF, 4 to 13 bits.
inline constexpr std::uint8_t kLiteralLengths[] = {
    11, 124, 8,   7,   28,  7,   188, 13, 76, 4,  10, 8,  12, 10, 12, 10, 8,  23, 8,  9,
    7,  6,   7,   8,   7,   6,   55,  8,  23, 24, 12, 11, 7,  9,  11, 12, 6,  7,  22, 5,
    7,  24,  6,   11,  9,   6,   7,   22, 7,  11, 38, 7,  9,  8,  25, 11, 8,  11, 9,  12,
    8,  12,  5,   38,  5,   38,  5,   11, 7,  5,  6,  21, 6,  10, 53, 8,  7,  24, 10, 27,
    44, 253, 253, 253, 252, 252, 252, 13, 12, 45, 12, 45, 12, 61, 12, 45, 44, 173};

// Match length codes: 16 symbols, 2 to 7 bits. Symbol s stands for kLengthBase[s] plus
// kLengthExtra[s] plain bits; length 519 (symbol 15 with all eight extra bits set) ends the
// stream.
inline constexpr std::uint8_t kLengthLengths[] = {2, 35, 36, 53, 38, 23};
inline constexpr std::uint16_t kLengthBase[16] = {3,  2,  4,  5,  6,  7,  8,   9,
                                                  10, 12, 16, 24, 40, 72, 136, 264};
inline constexpr std::uint8_t kLengthExtra[16] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
inline constexpr unsigned kEndOfStream = 519;

// Distance high-part codes: 64 symbols, 2 to 8 bits. The symbol is (distance - 1) shifted
// right by 2 for a match of length 2, or by the dictionary size code otherwise; the bits
// shifted out follow as plain bits.
inline constexpr std::uint8_t kDistanceLengths[] = {2, 20, 53, 230, 247, 151, 248};

inline constexpr std::size_t kLiteralSymbols = 256;
inline constexpr std::size_t kLengthSymbols = 16;
inline constexpr std::size_t kDistanceSymbols = 64;
inline constexpr unsigned kMaxCodeBits = 13;

struct StreamCode {
    std::uint16_t bits = 0;  // the code as it is put into the LSB-first bit stream
    std::uint8_t length = 0; // number of bits
};

template <std::size_t Symbols, std::size_t Packed>
constexpr std::array<StreamCode, Symbols> streamCodes(const std::uint8_t (&packed)[Packed]) {
    std::array<StreamCode, Symbols> codes{};
    std::size_t symbol = 0;
    for (std::uint8_t run : packed) {
        for (unsigned n = (run >> 4) + 1u; n > 0 && symbol < Symbols; --n) {
            codes[symbol++].length = run & 15;
        }
    }
    // Canonical assignment: the first code of each length follows the last code of the one
    // below it.
    unsigned count[kMaxCodeBits + 2] = {};
    for (const StreamCode& c : codes) {
        ++count[c.length];
    }
    unsigned next[kMaxCodeBits + 2] = {};
    unsigned code = 0;
    for (unsigned bits = 1; bits <= kMaxCodeBits; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = code;
    }
    for (StreamCode& c : codes) {
        unsigned canonical = next[c.length]++;
        unsigned inverted = ~canonical & ((1u << c.length) - 1);
        unsigned reversed = 0;
        for (unsigned b = 0; b < c.length; ++b) {
            reversed |= ((inverted >> b) & 1u) << (c.length - 1 - b);
        }
        c.bits = static_cast<std::uint16_t>(reversed);
    }
    return codes;
}

inline constexpr auto kLiteralCodes = streamCodes<kLiteralSymbols>(kLiteralLengths);
inline constexpr auto kLengthCodes = streamCodes<kLengthSymbols>(kLengthLengths);
inline constexpr auto kDistanceCodes = streamCodes<kDistanceSymbols>(kDistanceLengths);

// The decoder looks literal codes up by their first 8 bits; the 14 prefixes that begin longer
// codes each lead to a second table indexed by as many further bits as the longest code under
// that prefix needs. This is the combined size of those second tables.
inline constexpr unsigned kLiteralPrimaryBits = 8;

constexpr std::size_t literalSecondarySize() {
    unsigned longest[1u << kLiteralPrimaryBits] = {};
    for (const StreamCode& c : kLiteralCodes) {
        if (c.length > kLiteralPrimaryBits) {
            unsigned prefix = c.bits & ((1u << kLiteralPrimaryBits) - 1);
            if (c.length > longest[prefix]) {
                longest[prefix] = c.length;
            }
        }
    }
    std::size_t total = 0;
    for (unsigned l : longest) {
        if (l != 0) {
            total += std::size_t{1} << (l - kLiteralPrimaryBits);
        }
    }
    return total;
}

inline constexpr std::size_t kLiteralSecondarySize = literalSecondarySize();

// Every table must be a complete prefix code; a wrong packed byte would break that.
template <std::size_t N> constexpr bool complete(const std::array<StreamCode, N>& codes) {
    std::uint32_t kraft = 0;
    for (const StreamCode& c : codes) {
        if (c.length == 0 || c.length > kMaxCodeBits) {
            return false;
        }
        kraft += 1u << (kMaxCodeBits - c.length);
    }
    return kraft == (1u << kMaxCodeBits);
}
static_assert(complete(kLiteralCodes) && complete(kLengthCodes) && complete(kDistanceCodes));

// Places a codec's state inside the caller's work area, which may start at any address. The
// state is left uninitialised, like the work area itself; each codec sets what it reads.
template <class State, std::size_t WorkSize> State* placeState(char* workArea) {
    static_assert(sizeof(State) + alignof(State) - 1 <= WorkSize,
                  "codec state does not fit its work area");
    void* at = workArea;
    std::size_t space = WorkSize;
    at = std::align(alignof(State), sizeof(State), at, space);
    return ::new (at) State;
}

} // namespace tarvis::pklib
