// Encoder of the implode stream.
//
// Input is taken in blocks of 4096 bytes into a window that keeps the dictionary behind the
// current position and a look-ahead of one longest match in front of it, so that a match found
// near the end of a block can be measured to its full length before the next block is read.
// For each block every position of the window is indexed by its leading byte pair; the match
// finder walks a pair's positions from the oldest to the newest and keeps the longest match,
// the nearest one among equally long ones (a nearer distance never costs more bits).
//
// Matches start from 2 up to one less than the dictionary size back, the window of the classic
// DCL encoder: with the same window and the same token rules the streams agree with that
// encoder's byte for byte, except where Tarvis takes a nearer one of equally long matches.
#include "transfer/Pklib.h"
#include "transfer/PklibTables.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace tarvis {
namespace {

using pklib::StreamCode;

constexpr unsigned kBlock = 4096;         // bytes asked of read at a time
constexpr unsigned kMaxMatch = 516;       // longest match the encoder emits
constexpr unsigned kMaxDictionary = 4096; // largest dictionary
constexpr unsigned kWindow = kMaxDictionary + kBlock + kMaxMatch;
constexpr unsigned kPairBuckets = 2304; // 4 * 255 + 5 * 255 + 1, rounded up
constexpr unsigned kOutBlock = 2048;    // bytes handed to write at a time
constexpr unsigned kLongMatch = 10;     // beyond this the search skips by the border table
constexpr unsigned kFarPairDistance = 256;
constexpr unsigned kNearDistance = 129;
constexpr unsigned kMinDistance = 2;

static_assert(kWindow <= 0xFFFF, "window offsets are kept in 16 bits");

struct CompressState {
    PklibRead read;
    PklibWrite write;
    void* user;
    std::uint64_t bits; // pending output bits, LSB first
    unsigned bitCount;
    unsigned outLength;
    unsigned dictionaryBits;
    unsigned maxDistance;
    unsigned end; // window offset one past the last byte read
    unsigned lim; // window offset one past the last position of this block
    StreamCode literals[pklib::kLiteralSymbols]; // flag bit and literal together
    StreamCode lengths[pklib::kLengthSymbols];
    StreamCode distances[pklib::kDistanceSymbols];
    // For each byte pair, where its positions begin in `positions`; the search moves each start
    // past the positions that have fallen out of the dictionary.
    std::uint16_t bucket[kPairBuckets];
    // Window offsets grouped by pair, ascending within each pair.
    std::uint16_t positions[kWindow];
    // border[j]: longest proper prefix of the searched bytes' first j bytes that is also their
    // suffix (the failure function of the long-match search).
    std::uint16_t border[kMaxMatch + 1];
    std::uint8_t window[kWindow];
    std::uint8_t out[kOutBlock];
};

inline unsigned pairHash(const std::uint8_t* p) {
    return 4u * p[0] + 5u * p[1];
}

// Number of equal leading bytes of a and b, at most limit.
inline unsigned commonLength(const std::uint8_t* a, const std::uint8_t* b, unsigned limit) {
    unsigned n = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (n + 8 <= limit) {
            std::uint64_t x;
            std::uint64_t y;
            std::memcpy(&x, a + n, 8);
            std::memcpy(&y, b + n, 8);
            if (x != y) {
                return n + static_cast<unsigned>(std::countr_zero(x ^ y)) / 8;
            }
            n += 8;
        }
    }
    while (n < limit && a[n] == b[n]) {
        ++n;
    }
    return n;
}

inline std::uint32_t load32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Selects the first `bytes` bytes of a load32 value, whatever the byte order.
inline std::uint32_t probeMask(unsigned bytes) {
    static constexpr std::uint8_t ones[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    return load32(ones + 4 - bytes);
}

class Encoder {
public:
    explicit Encoder(CompressState& s) : s_(s) {}

    void buildTables(unsigned literalMode) {
        for (unsigned b = 0; b < pklib::kLiteralSymbols; ++b) {
            if (literalMode == kPklibBinary) {
                s_.literals[b] = {static_cast<std::uint16_t>(b << 1), 9};
            } else {
                const StreamCode& c = pklib::kLiteralCodes[b];
                s_.literals[b] = {static_cast<std::uint16_t>(c.bits << 1),
                                  static_cast<std::uint8_t>(c.length + 1)};
            }
        }
        for (unsigned i = 0; i < pklib::kLengthSymbols; ++i) {
            s_.lengths[i] = pklib::kLengthCodes[i];
        }
        for (unsigned i = 0; i < pklib::kDistanceSymbols; ++i) {
            s_.distances[i] = pklib::kDistanceCodes[i];
        }
    }

    // Reads one block into the window behind what it holds; returns the bytes placed.
    unsigned load() {
        unsigned total = 0;
        while (total < kBlock) {
            unsigned want = kBlock - total;
            unsigned request = want;
            unsigned got =
                s_.read(reinterpret_cast<char*>(s_.window + s_.end + total), &request, s_.user);
            if (got == 0) {
                break;
            }
            total += got < want ? got : want;
        }
        s_.end += total;
        return total;
    }

    // Groups the positions [from, to) by their byte pair, ascending within each pair.
    void index(unsigned from, unsigned to) {
        std::memset(s_.bucket, 0, sizeof s_.bucket);
        for (unsigned p = from; p < to; ++p) {
            ++s_.bucket[pairHash(s_.window + p)];
        }
        unsigned running = 0;
        for (std::uint16_t& b : s_.bucket) {
            running += b;
            b = static_cast<std::uint16_t>(running);
        }
        for (unsigned p = to; p-- > from;) {
            s_.positions[--s_.bucket[pairHash(s_.window + p)]] = static_cast<std::uint16_t>(p);
        }
    }

    // Longest match for the bytes at window offset i, or 0 when there is none of 2 bytes or
    // more. Matches never reach past the bytes read, so at the end of the input a match is
    // already cut to the bytes left.
    [[gnu::always_inline]] unsigned findMatch(unsigned i, unsigned& distance) {
        const unsigned available = s_.end - i;
        const unsigned limit = available < kMaxMatch ? available : kMaxMatch;
        if (limit < 2) {
            return 0;
        }
        const std::uint8_t* w = s_.window;
        const std::uint8_t* p = w + i;
        const std::uint16_t* pos = s_.positions;
        const unsigned h = pairHash(p);
        const unsigned oldest = i > s_.maxDistance ? i - s_.maxDistance : 0;
        const unsigned newest = i - kMinDistance;
        // Position i itself is indexed under its own pair, so every walk below ends by then.
        unsigned k = s_.bucket[h];
        while (pos[k] < oldest) {
            ++k;
        }
        s_.bucket[h] = static_cast<std::uint16_t>(k);

        // First the longest match: a candidate can be longer than the best so far only if it
        // agrees with the searched bytes in the four bytes that end one past the best length
        // (the first three, or two, while it is that short), so one load and compare rules out
        // most candidates. The first match longer than kLongMatch goes to the long search.
        unsigned best = 0;
        unsigned bestIndex = 0;
        unsigned bestLength = 1;
        unsigned offset = 0;
        std::uint32_t mask = probeMask(2);
        std::uint32_t wanted = load32(p) & mask;
        for (unsigned c; (c = pos[k]) <= newest; ++k) {
            if ((load32(w + c + offset) & mask) != wanted) {
                continue;
            }
            const unsigned n = commonLength(w + c, p, limit);
            if (n > bestLength) {
                best = c;
                bestIndex = k;
                bestLength = n;
                if (n > kLongMatch) {
                    bestLength = longSearch(i, newest, limit, k + 1, best, n);
                    distance = i - best;
                    return bestLength;
                }
                if (n == limit) {
                    while (pos[k + 1] <= newest) {
                        ++k;
                    }
                    ++k;
                    break;
                }
                offset = n + 1 >= 4 ? n - 3 : 0;
                mask = probeMask(n + 1 >= 4 ? 4 : n + 1);
                wanted = load32(p + offset) & mask;
            }
        }
        if (bestLength < 2) {
            return 0;
        }
        // Then the nearest of the matches that long: back from the newest candidate, the first
        // that agrees in the last four bytes of the length and matches in full.
        offset = bestLength >= 4 ? bestLength - 4 : 0;
        mask = probeMask(bestLength >= 4 ? 4 : bestLength);
        wanted = load32(p + offset) & mask;
        while (--k > bestIndex) {
            const unsigned c = pos[k];
            if ((load32(w + c + offset) & mask) == wanted &&
                commonLength(w + c, p, bestLength) == bestLength) {
                best = c;
                break;
            }
        }
        distance = i - best;
        return bestLength;
    }

    // Continues a search that has a match longer than kLongMatch at `best`. A later candidate
    // that starts inside that match agrees with it up to the match's end, so it can reach the
    // same length only where its start leaves a border of the matched bytes; the border table
    // names those starts and the rest are skipped without being compared.
    unsigned longSearch(unsigned i, unsigned newest, unsigned limit, unsigned k, unsigned& best,
                        unsigned length) {
        const std::uint8_t* w = s_.window;
        const std::uint8_t* p = w + i;
        const std::uint16_t* pos = s_.positions;
        unsigned built = 0;
        extendBorders(p, built, length);
        bool periodTried = false;
        for (;;) {
            if (length == limit && !periodTried) {
                // No match can be longer, only nearer. A match d back that overlaps the
                // searched bytes makes d a period of them, so with q their shortest period no
                // start nearer than q back (2 back when q is 1) can match them in full; when
                // that start does, it is the answer. This cuts long runs short.
                periodTried = true;
                const unsigned q = length - s_.border[length];
                const unsigned d = q < kMinDistance ? kMinDistance : q;
                if (i - d > best && commonLength(w + i - d, p, limit) == limit) {
                    best = i - d;
                    return limit;
                }
            }
            bool moved = false;
            for (unsigned b = s_.border[length]; b >= 2; b = s_.border[b]) {
                const unsigned c = best + length - b;
                if (c > newest) {
                    return length;
                }
                const unsigned n = b + commonLength(w + best + length, p + b, limit - b);
                if (n >= length) {
                    best = c;
                    length = n;
                    extendBorders(p, built, length);
                    moved = true;
                    break;
                }
            }
            if (moved) {
                continue;
            }
            // Candidates from the last byte of the match on are compared directly.
            const unsigned from = best + length - 1;
            while (pos[k] < from && pos[k] <= newest) {
                ++k;
            }
            for (; pos[k] <= newest; ++k) {
                const unsigned c = pos[k];
                if (w[c + length - 1] != p[length - 1]) {
                    continue;
                }
                const unsigned n = commonLength(w + c, p, limit);
                if (n >= length) {
                    best = c;
                    length = n;
                    extendBorders(p, built, length);
                    ++k;
                    moved = true;
                    break;
                }
            }
            if (!moved) {
                return length;
            }
        }
    }

    void extendBorders(const std::uint8_t* p, unsigned& built, unsigned upTo) {
        std::uint16_t* border = s_.border;
        if (built == 0) {
            border[0] = 0;
            border[1] = 0;
            built = 1;
        }
        for (unsigned j = built; j < upTo; ++j) {
            unsigned b = border[j];
            while (b > 0 && p[b] != p[j]) {
                b = border[b];
            }
            if (p[b] == p[j]) {
                ++b;
            }
            border[j + 1] = static_cast<std::uint16_t>(b);
        }
        if (upTo > built) {
            built = upTo;
        }
    }

    void put(std::uint64_t value, unsigned count) {
        s_.bits |= value << s_.bitCount;
        s_.bitCount += count;
        if (s_.bitCount >= 32 && s_.outLength + 4 < kOutBlock) {
            // Four whole bytes at once, least significant first, while the block has room.
            const std::uint32_t v = static_cast<std::uint32_t>(s_.bits);
            const std::uint8_t le[4] = {
                static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
            std::memcpy(s_.out + s_.outLength, le, 4);
            s_.outLength += 4;
            s_.bits >>= 32;
            s_.bitCount -= 32;
            return;
        }
        if (s_.bitCount < 32) {
            return;
        }
        while (s_.bitCount >= 8) {
            s_.out[s_.outLength++] = static_cast<std::uint8_t>(s_.bits);
            s_.bits >>= 8;
            s_.bitCount -= 8;
            if (s_.outLength == kOutBlock) {
                flush();
            }
        }
    }

    void flush() {
        unsigned size = s_.outLength;
        if (size != 0) {
            s_.write(reinterpret_cast<char*>(s_.out), &size, s_.user);
        }
        s_.outLength = 0;
    }

    void literal(unsigned i) {
        const StreamCode& c = s_.literals[s_.window[i]];
        put(c.bits, c.length);
    }

    void match(unsigned length, unsigned distance) {
        unsigned symbol;
        if (length < 10) {
            symbol = length == 2 ? 1 : length == 3 ? 0 : length - 2;
        } else {
            symbol = 8 + static_cast<unsigned>(std::bit_width(length - 8)) - 2;
        }
        const StreamCode& lc = s_.lengths[symbol];
        const unsigned extraBits = pklib::kLengthExtra[symbol];
        std::uint64_t value =
            1u | (std::uint64_t{lc.bits} << 1) |
            (std::uint64_t{length - pklib::kLengthBase[symbol]} << (1 + lc.length));
        unsigned count = 1 + lc.length + extraBits;
        if (length == pklib::kEndOfStream) {
            put(value, count);
            return;
        }
        const unsigned low = length == 2 ? 2 : s_.dictionaryBits;
        const unsigned d = distance - 1;
        const StreamCode& dc = s_.distances[d >> low];
        value |= std::uint64_t{dc.bits} << count;
        count += dc.length;
        value |= std::uint64_t{d & ((1u << low) - 1)} << count;
        count += low;
        put(value, count);
    }

    // Chooses and emits the tokens for the positions from i up to the block's end; returns the
    // position after the last token (a match may run into the look-ahead).
    unsigned encodeBlock(unsigned i) {
        const unsigned lim = s_.lim;
        while (i < lim) {
            unsigned distance = 0;
            unsigned length = findMatch(i, distance);
            for (;;) {
                if (length < 2 || (length == 2 && distance > kFarPairDistance)) {
                    literal(i);
                    ++i;
                    break;
                }
                if (length > 7 || i + 1 >= lim) {
                    match(length, distance);
                    i += length;
                    break;
                }
                unsigned nextDistance = 0;
                const unsigned next = findMatch(i + 1, nextDistance);
                if (next <= length || (next == length + 1 && distance <= kNearDistance)) {
                    match(length, distance);
                    i += length;
                    break;
                }
                // The match one byte on is clearly better: this byte goes alone and the
                // decision is made again there.
                literal(i);
                ++i;
                length = next;
                distance = nextDistance;
            }
        }
        return i;
    }

    void run() {
        const unsigned dictionary = 1u << (s_.dictionaryBits + 6);
        // The first block starts a look-ahead's length into the window so that every later
        // block, after the window slides by one block, finds a full dictionary behind it.
        unsigned start = dictionary + kMaxMatch;
        unsigned i = start;
        s_.end = start;
        for (;;) {
            const bool last = load() < kBlock;
            s_.lim = last ? s_.end : s_.end - kMaxMatch;
            if (i < s_.lim) {
                unsigned from = i > s_.maxDistance ? i - s_.maxDistance : 0;
                if (from < start) {
                    from = start;
                }
                // A position needs two bytes to be indexed; the final one has only one.
                const unsigned to = s_.lim < s_.end ? s_.lim : s_.end - 1;
                index(from, to);
                i = encodeBlock(i);
            }
            if (last) {
                break;
            }
            std::memmove(s_.window, s_.window + kBlock, s_.end - kBlock);
            s_.end -= kBlock;
            i -= kBlock;
            start = start > kBlock ? start - kBlock : 0;
        }
        match(pklib::kEndOfStream, 0);
        // Pad to a whole byte and drain what is pending.
        s_.bitCount = (s_.bitCount + 7) & ~7u;
        while (s_.bitCount > 0) {
            s_.out[s_.outLength++] = static_cast<std::uint8_t>(s_.bits);
            s_.bits >>= 8;
            s_.bitCount -= 8;
            if (s_.outLength == kOutBlock) {
                flush();
            }
        }
        flush();
    }

private:
    CompressState& s_;
};

} // namespace

unsigned compress(PklibRead read, PklibWrite write, char* workArea, void* user,
                  unsigned literalMode, unsigned dictionarySize) {
    unsigned dictionaryBits;
    switch (dictionarySize) {
    case 1024:
        dictionaryBits = 4;
        break;
    case 2048:
        dictionaryBits = 5;
        break;
    case 4096:
        dictionaryBits = 6;
        break;
    default:
        return kPklibBadDictionary;
    }
    if (literalMode != kPklibBinary && literalMode != kPklibAscii) {
        return kPklibBadLiteralMode;
    }
    CompressState* s = pklib::placeState<CompressState, kPklibCompressWorkSize>(workArea);
    s->read = read;
    s->write = write;
    s->user = user;
    s->bits = 0;
    s->bitCount = 0;
    s->dictionaryBits = dictionaryBits;
    s->maxDistance = dictionarySize - 1;
    s->out[0] = static_cast<std::uint8_t>(literalMode);
    s->out[1] = static_cast<std::uint8_t>(dictionaryBits);
    s->outLength = 2;
    Encoder encoder(*s);
    encoder.buildTables(literalMode);
    encoder.run();
    return kPklibOk;
}

} // namespace tarvis
