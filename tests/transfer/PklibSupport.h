// Helpers for driving the codec from memory: callbacks that record what the codec asked for,
// a work area fenced by guard bytes, and the test inputs.
#pragma once

#include "transfer/Pklib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tarvis::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytes(std::initializer_list<int> values) {
    Bytes b;
    for (int v : values) {
        b.push_back(static_cast<std::uint8_t>(v));
    }
    return b;
}

inline Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

inline Bytes randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 generator(seed);
    Bytes b(n);
    for (auto& v : b) {
        v = static_cast<std::uint8_t>(generator() >> 24);
    }
    return b;
}

// English-like text: words of a small vocabulary with spaces, punctuation and line ends.
inline Bytes prose(std::size_t n, unsigned seed) {
    static const char* const words[] = {
        "the",  "modem", "station", "link",   "file",  "transfer", "is",    "and",
        "of",   "a",     "to",      "in",     "that",  "signal",   "power", "frequency",
        "over", "with",  "for",     "sends",  "bytes", "operator", "call",  "receive",
        "ARQ",  "mode",  "tuning",  "screen", "when",  "each",     "block", "Tarvis"};
    std::mt19937 generator(seed);
    std::string s;
    while (s.size() < n) {
        s += words[generator() % 32];
        const unsigned r = generator() % 16;
        s += r == 0 ? ".\r\n" : r == 1 ? ", " : " ";
    }
    s.resize(n);
    return text(s);
}

// A fenced work area: guard bytes on both sides, the area itself filled with `fill` so that
// the codec cannot lean on it being zeroed.
class WorkArea {
public:
    static constexpr std::size_t kGuard = 64;
    explicit WorkArea(std::size_t size, std::uint8_t fill = 0xCD, std::size_t misalign = 0)
        : size_(size), misalign_(misalign), storage_(size + 2 * kGuard + misalign, 0xA5) {
        std::fill_n(data(), size_, fill);
    }
    char* data() { return reinterpret_cast<char*>(storage_.data() + kGuard + misalign_); }
    bool contains(const char* p, std::size_t n) const {
        auto* base = reinterpret_cast<const char*>(storage_.data() + kGuard + misalign_);
        return p >= base && p + n <= base + size_;
    }
    bool guardsIntact() const {
        for (std::size_t i = 0; i < kGuard + misalign_; ++i) {
            if (storage_[i] != 0xA5) {
                return false;
            }
        }
        for (std::size_t i = kGuard + misalign_ + size_; i < storage_.size(); ++i) {
            if (storage_[i] != 0xA5) {
                return false;
            }
        }
        return true;
    }

private:
    std::size_t size_;
    std::size_t misalign_;
    std::vector<std::uint8_t> storage_;
};

// Serves `input` to read (at most `chunk` bytes a call when chunk is not 0), collects what is
// written, and records every request.
struct MemoryIo {
    Bytes input;
    std::size_t chunk = 0;
    std::size_t pos = 0;
    Bytes output;
    std::vector<unsigned> readRequests;
    std::vector<unsigned> writeSizes;
    WorkArea* area = nullptr; // when set, every buffer handed over must lie inside it
    bool strayBuffer = false;

    static unsigned read(char* buffer, unsigned* size, void* user) {
        auto* io = static_cast<MemoryIo*>(user);
        io->readRequests.push_back(*size);
        if (io->area && !io->area->contains(buffer, *size)) {
            io->strayBuffer = true;
            return 0;
        }
        std::size_t n = std::min<std::size_t>(*size, io->input.size() - io->pos);
        if (io->chunk != 0) {
            n = std::min(n, io->chunk);
        }
        if (n != 0) {
            std::memcpy(buffer, io->input.data() + io->pos, n);
        }
        io->pos += n;
        return static_cast<unsigned>(n);
    }

    static void write(char* buffer, unsigned* size, void* user) {
        auto* io = static_cast<MemoryIo*>(user);
        io->writeSizes.push_back(*size);
        if (io->area && !io->area->contains(buffer, *size)) {
            io->strayBuffer = true;
            return;
        }
        io->output.insert(io->output.end(), buffer, buffer + *size);
    }
};

struct Coded {
    unsigned code = 0;
    Bytes data;
};

inline Coded compressBytes(const Bytes& in, unsigned mode = kPklibAscii,
                           unsigned dictionary = 4096) {
    WorkArea area(kPklibCompressWorkSize);
    MemoryIo io;
    io.input = in;
    io.area = &area;
    Coded r;
    r.code = compress(MemoryIo::read, MemoryIo::write, area.data(), &io, mode, dictionary);
    EXPECT_TRUE(area.guardsIntact());
    EXPECT_FALSE(io.strayBuffer);
    r.data = std::move(io.output);
    return r;
}

inline Coded decompressBytes(const Bytes& in) {
    WorkArea area(kPklibDecompressWorkSize);
    MemoryIo io;
    io.input = in;
    io.area = &area;
    Coded r;
    r.code = decompress(MemoryIo::read, MemoryIo::write, area.data(), &io);
    EXPECT_TRUE(area.guardsIntact());
    EXPECT_FALSE(io.strayBuffer);
    r.data = std::move(io.output);
    return r;
}

// Every literal coding with every dictionary size.
struct Setting {
    unsigned mode;
    unsigned dictionary;
};
inline constexpr Setting kSettings[] = {{kPklibAscii, 4096},  {kPklibAscii, 2048},
                                        {kPklibAscii, 1024},  {kPklibBinary, 4096},
                                        {kPklibBinary, 2048}, {kPklibBinary, 1024}};

// The inputs every round trip runs over; each names what it exercises.
struct Sample {
    std::string name;
    Bytes data;
};

// Random bytes of length `distance`, then `copy` more bytes that each repeat the byte
// `distance` back, so every repetition lies exactly that far back (or a multiple of it).
inline Bytes repeatAt(std::size_t distance, std::size_t copy, unsigned seed) {
    Bytes b = randomBytes(distance, seed);
    for (std::size_t j = 0; j < copy; ++j) {
        b.push_back(b[b.size() - distance]);
    }
    return b;
}

inline std::vector<Sample> samples() {
    std::vector<Sample> s;
    s.push_back({"one byte", bytes({0x41})});
    s.push_back({"two bytes", bytes({0x00, 0xFF})});
    Bytes all;
    for (int v = 0; v < 256; ++v) {
        all.push_back(static_cast<std::uint8_t>(v));
    }
    s.push_back({"every byte value", all});
    Bytes everyTwice = all;
    everyTwice.insert(everyTwice.end(), all.rbegin(), all.rend());
    s.push_back({"every byte value and back", everyTwice});
    s.push_back({"run longer than the longest match", Bytes(5000, 'a')});
    s.push_back({"zeros across many blocks", Bytes(70000, 0)});
    for (std::size_t d : {1, 2, 256, 257, 1023, 1024, 1025, 2048, 2049, 4095, 4096, 4097}) {
        s.push_back({"repeat at distance " + std::to_string(d), repeatAt(d, 700, 1000 + d)});
    }
    Bytes pairs; // length-2 matches just inside and just beyond 256 bytes back
    for (int k = 0; k < 40; ++k) {
        Bytes chunk = randomBytes(255 + k % 3, 50 + k);
        chunk[0] = 'Q';
        chunk[1] = 'Z';
        pairs.insert(pairs.end(), chunk.begin(), chunk.end());
    }
    s.push_back({"pairs near 256 back", pairs});
    Bytes periodic;
    for (int k = 0; k < 3000; ++k) {
        periodic.push_back(static_cast<std::uint8_t>("abcdefg"[k % 7]));
    }
    s.push_back({"period 7", periodic});
    s.push_back({"text", prose(60000, 7)});
    s.push_back({"random", randomBytes(40000, 9)});
    for (std::size_t n : {4095, 4096, 4097, 3580, 8191, 8192, 8193, 12288}) {
        s.push_back({"text of " + std::to_string(n), prose(n, static_cast<unsigned>(n))});
    }
    Bytes mixed = prose(20000, 11);
    Bytes noise = randomBytes(9000, 12);
    mixed.insert(mixed.begin() + 7000, noise.begin(), noise.end());
    s.push_back({"text with random inside", mixed});
    return s;
}

} // namespace tarvis::test
