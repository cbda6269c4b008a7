// Decoder of the implode stream.
//
// Decoded bytes collect behind 4096 bytes of history; whenever 4096 new ones have gathered they
// go to write and the buffer moves down by that much. Input is asked for in 2048-byte requests,
// and only when a code needs bits the buffer no longer holds, so that nothing after the end
// code is ever asked for. Every distance is checked against the bytes decoded so far before a
// byte is copied.
#include "transfer/Pklib.h"
#include "transfer/PklibTables.h"

#include <cstdint>
#include <cstring>

namespace tarvis {
namespace {

using pklib::StreamCode;

constexpr unsigned kInBlock = 2048;
constexpr unsigned kHistory = 4096;
constexpr unsigned kOutFlush = 4096;
constexpr unsigned kLongestMatch = pklib::kEndOfStream - 1; // 518, the longest the format holds
constexpr unsigned kCopySlack = 8; // matches are copied 8 bytes at a time when they can be
constexpr unsigned kOutSize = kHistory + kOutFlush + kLongestMatch + kCopySlack;

constexpr unsigned kLengthLookupBits = 7;   // longest length code
constexpr unsigned kDistanceLookupBits = 8; // longest distance code

// Literal table entries: a code of up to 8 bits holds symbol | length << 8; an entry that
// begins a longer code holds kSecondary | offset | (further bits) << 10, and its second-level
// entries hold symbol | full length << 8.
constexpr std::uint16_t kSecondary = 0x8000;

struct DecompressState {
    PklibRead read;
    PklibWrite write;
    void* user;
    std::uint64_t produced; // bytes decoded so far
    unsigned literalMode;
    unsigned dictionaryBits;
    std::uint16_t literals[(1u << pklib::kLiteralPrimaryBits) + pklib::kLiteralSecondarySize];
    std::uint8_t lengths[1u << kLengthLookupBits];      // symbol | code length << 4
    std::uint16_t distances[1u << kDistanceLookupBits]; // symbol | code length << 8
    std::uint8_t in[kInBlock];
    std::uint8_t out[kOutSize];
};

// Fills every entry of a lookup table of `bits` bits whose low bits are the code.
template <class Entry>
void spread(Entry* table, unsigned bits, const StreamCode& code, unsigned value) {
    for (unsigned e = code.bits; e < (1u << bits); e += 1u << code.length) {
        table[e] = static_cast<Entry>(value);
    }
}

void buildTables(DecompressState& s) {
    for (unsigned sym = 0; sym < pklib::kLengthSymbols; ++sym) {
        const StreamCode& c = pklib::kLengthCodes[sym];
        spread(s.lengths, kLengthLookupBits, c, sym | c.length << 4);
    }
    for (unsigned sym = 0; sym < pklib::kDistanceSymbols; ++sym) {
        const StreamCode& c = pklib::kDistanceCodes[sym];
        spread(s.distances, kDistanceLookupBits, c, sym | c.length << 8);
    }
    if (s.literalMode != kPklibAscii) {
        return;
    }
    constexpr unsigned primary = pklib::kLiteralPrimaryBits;
    constexpr unsigned primaryMask = (1u << primary) - 1;
    std::uint16_t* table = s.literals;
    // Mark the prefixes of long codes with the further bits they need, then give each its place.
    std::memset(table, 0, sizeof(std::uint16_t) << primary);
    for (const StreamCode& c : pklib::kLiteralCodes) {
        if (c.length > primary) {
            std::uint16_t& e = table[c.bits & primaryMask];
            const unsigned further = c.length - primary;
            if (further > ((e >> 10) & 15u)) {
                e = static_cast<std::uint16_t>(kSecondary | further << 10);
            }
        }
    }
    unsigned offset = 0;
    for (unsigned prefix = 0; prefix <= primaryMask; ++prefix) {
        if (table[prefix] & kSecondary) {
            table[prefix] = static_cast<std::uint16_t>(table[prefix] | offset);
            offset += 1u << ((table[prefix] >> 10) & 15u);
        }
    }
    for (unsigned sym = 0; sym < pklib::kLiteralSymbols; ++sym) {
        const StreamCode& c = pklib::kLiteralCodes[sym];
        if (c.length <= primary) {
            spread(table, primary, c, sym | c.length << 8);
        } else {
            const std::uint16_t e = table[c.bits & primaryMask];
            const unsigned further = (e >> 10) & 15u;
            std::uint16_t* second = table + (1u << primary) + (e & 0x3FFu);
            const StreamCode rest{static_cast<std::uint16_t>(c.bits >> primary),
                                  static_cast<std::uint8_t>(c.length - primary)};
            spread(second, further, rest, sym | c.length << 8);
        }
    }
}

class Decoder {
public:
    explicit Decoder(DecompressState& s) : s_(s) {}

    unsigned run(unsigned inLength) {
        inPos_ = 2;
        inEnd_ = inLength;
        unsigned outPos = kHistory;
        const unsigned dictionaryBits = s_.dictionaryBits;
        const bool ascii = s_.literalMode == kPklibAscii;
        std::uint8_t* out = s_.out;
        unsigned result = kPklibBadData;
        for (;;) {
            if (!need(1)) {
                break;
            }
            const bool isMatch = bits_ & 1u;
            drop(1);
            if (!isMatch) {
                if (!need(8)) {
                    break;
                }
                unsigned byte;
                if (!ascii) {
                    byte = bits_ & 0xFFu;
                    drop(8);
                } else {
                    unsigned e = s_.literals[bits_ & 0xFFu];
                    if (e & kSecondary) {
                        const unsigned further = (e >> 10) & 15u;
                        if (!need(8 + further)) {
                            break;
                        }
                        e = s_.literals[256 + (e & 0x3FFu) +
                                        ((bits_ >> 8) & ((1u << further) - 1))];
                    }
                    byte = e & 0xFFu;
                    drop(e >> 8);
                }
                out[outPos++] = static_cast<std::uint8_t>(byte);
                ++s_.produced;
            } else {
                if (!need(kLengthLookupBits)) {
                    break;
                }
                const unsigned le = s_.lengths[bits_ & ((1u << kLengthLookupBits) - 1)];
                drop(le >> 4);
                const unsigned symbol = le & 15u;
                const unsigned extra = pklib::kLengthExtra[symbol];
                if (!need(extra)) {
                    break;
                }
                const unsigned length =
                    pklib::kLengthBase[symbol] + static_cast<unsigned>(bits_ & ((1u << extra) - 1));
                drop(extra);
                if (length == pklib::kEndOfStream) {
                    result = kPklibOk;
                    break;
                }
                if (!need(kDistanceLookupBits)) {
                    break;
                }
                const unsigned de = s_.distances[bits_ & ((1u << kDistanceLookupBits) - 1)];
                drop(de >> 8);
                const unsigned low = length == 2 ? 2 : dictionaryBits;
                if (!need(low)) {
                    break;
                }
                const unsigned distance =
                    (((de & 0x3Fu) << low) | static_cast<unsigned>(bits_ & ((1u << low) - 1))) + 1;
                drop(low);
                if (distance > s_.produced) {
                    break; // reaches before the start of the output
                }
                copyMatch(out + outPos, distance, length);
                outPos += length;
                s_.produced += length;
            }
            if (outPos >= kHistory + kOutFlush) {
                unsigned size = kOutFlush;
                s_.write(reinterpret_cast<char*>(out + kHistory), &size, s_.user);
                std::memmove(out, out + kOutFlush, outPos - kOutFlush);
                outPos -= kOutFlush;
            }
        }
        if (outPos > kHistory) {
            unsigned size = outPos - kHistory;
            s_.write(reinterpret_cast<char*>(out + kHistory), &size, s_.user);
        }
        return result;
    }

private:
    static void copyMatch(std::uint8_t* to, unsigned distance, unsigned length) {
        const std::uint8_t* from = to - distance;
        if (distance >= 8) {
            // Each 8-byte piece reads only bytes already final; the last may write up to 7
            // bytes past the match, which the buffer's slack absorbs and later bytes overwrite.
            for (unsigned n = 0; n < length; n += 8) {
                std::memcpy(to + n, from + n, 8);
            }
        } else {
            for (unsigned n = 0; n < length; ++n) {
                to[n] = from[n];
            }
        }
    }

    void drop(unsigned n) {
        bits_ >>= n;
        bitCount_ -= n;
    }

    // Makes at least n bits available; false when the input ends first.
    bool need(unsigned n) {
        if (bitCount_ >= n) {
            return true;
        }
        return fill(n);
    }

    bool fill(unsigned n) {
        while (bitCount_ < n) {
            if (inPos_ == inEnd_) {
                unsigned request = kInBlock;
                unsigned got = s_.read(reinterpret_cast<char*>(s_.in), &request, s_.user);
                if (got == 0) {
                    return false;
                }
                inPos_ = 0;
                inEnd_ = got < kInBlock ? got : kInBlock;
            }
            while (bitCount_ <= 56 && inPos_ < inEnd_) {
                bits_ |= std::uint64_t{s_.in[inPos_++]} << bitCount_;
                bitCount_ += 8;
            }
        }
        return true;
    }

    DecompressState& s_;
    std::uint64_t bits_ = 0;
    unsigned bitCount_ = 0;
    unsigned inPos_ = 0;
    unsigned inEnd_ = 0;
};

} // namespace

unsigned decompress(PklibRead read, PklibWrite write, char* workArea, void* user) {
    DecompressState* s = pklib::placeState<DecompressState, kPklibDecompressWorkSize>(workArea);
    s->read = read;
    s->write = write;
    s->user = user;
    unsigned request = kInBlock;
    unsigned got = read(reinterpret_cast<char*>(s->in), &request, user);
    if (got > kInBlock) {
        got = kInBlock;
    }
    if (got <= 4) {
        return kPklibTooShort;
    }
    s->literalMode = s->in[0];
    s->dictionaryBits = s->in[1];
    if (s->dictionaryBits < 4 || s->dictionaryBits > 6) {
        return kPklibBadDictionary;
    }
    if (s->literalMode != kPklibBinary && s->literalMode != kPklibAscii) {
        return kPklibBadLiteralMode;
    }
    s->produced = 0;
    buildTables(*s);
    Decoder decoder(*s);
    return decoder.run(got);
}

} // namespace tarvis
