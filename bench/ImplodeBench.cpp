// Side-by-side benchmark of Tarvis's implode codec and the system's DCL library (libstorm).
//
//   tarvis-implode-bench [--seconds S] [--random BYTES] FILE...
//
// For every file (and, with --random, a block of pseudo-random bytes) both implementations
// compress it with ASCII literals and a 4096-byte dictionary and decompress both streams; each
// stream is checked to decode to the input in both implementations. Speeds are megabytes of
// uncompressed data per second, each measured by repeating the operation for S seconds
// (default 1) in memory, so that file I/O does not enter the figures.
#include "tests/transfer/DclReference.h"
#include "transfer/Pklib.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct Memory {
    const Bytes* in = nullptr;
    std::size_t pos = 0;
    Bytes* out = nullptr;
};

unsigned readMemory(char* buffer, unsigned* size, void* user) {
    auto* m = static_cast<Memory*>(user);
    std::size_t n = m->in->size() - m->pos;
    if (n > *size) {
        n = *size;
    }
    if (n != 0) {
        std::memcpy(buffer, m->in->data() + m->pos, n);
    }
    m->pos += n;
    return static_cast<unsigned>(n);
}

void writeMemory(char* buffer, unsigned* size, void* user) {
    auto* m = static_cast<Memory*>(user);
    m->out->insert(m->out->end(), buffer, buffer + *size);
}

enum class Side { Tarvis, Reference };

unsigned compressWith(Side side, const Bytes& in, Bytes& out) {
    out.clear();
    Memory m{&in, 0, &out};
    if (side == Side::Tarvis) {
        static std::vector<char> work(tarvis::kPklibCompressWorkSize);
        return tarvis::compress(readMemory, writeMemory, work.data(), &m, tarvis::kPklibAscii,
                                4096);
    }
    static std::vector<char> work(tarvis::reference::kImplodeWorkSize);
    std::fill(work.begin(), work.end(), 0);
    unsigned type = 1;
    unsigned dsize = 4096;
    return implode(readMemory, writeMemory, work.data(), &m, &type, &dsize);
}

unsigned decompressWith(Side side, const Bytes& in, Bytes& out) {
    out.clear();
    Memory m{&in, 0, &out};
    if (side == Side::Tarvis) {
        static std::vector<char> work(tarvis::kPklibDecompressWorkSize);
        return tarvis::decompress(readMemory, writeMemory, work.data(), &m);
    }
    static std::vector<char> work(tarvis::reference::kExplodeWorkSize);
    std::fill(work.begin(), work.end(), 0);
    return explode(readMemory, writeMemory, work.data(), &m);
}

// Megabytes of `bytes` per second over repeated runs of op for at least `seconds`.
template <class Op> double rate(std::size_t bytes, double seconds, Op op) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::uint64_t runs = 0;
    double elapsed = 0;
    do {
        op();
        ++runs;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < seconds);
    return static_cast<double>(bytes) * static_cast<double>(runs) / elapsed / 1e6;
}

struct Figures {
    std::size_t out = 0;
    double compressRate = 0;
    double decompressRate = 0;
};

bool measure(const std::string& name, const Bytes& data, double seconds) {
    constexpr Side kSides[] = {Side::Tarvis, Side::Reference};
    const char* const kNames[] = {"Tarvis", "the reference"};
    Bytes streams[2];
    Bytes scratch;
    Figures fig[2];
    bool ok = true;
    for (int s = 0; s < 2; ++s) {
        if (compressWith(kSides[s], data, streams[s]) != 0) {
            std::fprintf(stderr, "%s: %s compression failed\n", name.c_str(), kNames[s]);
            return false;
        }
        fig[s].out = streams[s].size();
    }
    // Every stream must decode to the input in both implementations.
    for (int s = 0; s < 2; ++s) {
        for (const Bytes& stream : streams) {
            if (decompressWith(kSides[s], stream, scratch) != 0 || scratch != data) {
                std::fprintf(stderr, "%s: a stream does not decode in %s\n", name.c_str(),
                             kNames[s]);
                ok = false;
            }
        }
    }
    // The two run in turns, several rounds each, and each keeps its best round, so that a
    // burst of other load on the machine does not decide the comparison.
    constexpr int kRounds = 5;
    for (int round = 0; round < kRounds; ++round) {
        for (int s = 0; s < 2; ++s) {
            const double c = rate(data.size(), seconds / kRounds,
                                  [&] { compressWith(kSides[s], data, scratch); });
            const double d = rate(data.size(), seconds / kRounds,
                                  [&] { decompressWith(kSides[s], streams[s], scratch); });
            fig[s].compressRate = std::max(fig[s].compressRate, c);
            fig[s].decompressRate = std::max(fig[s].decompressRate, d);
        }
    }
    const double in = data.empty() ? 1.0 : static_cast<double>(data.size());
    std::printf(
        "%-28s %9zu | %9zu %6.3f %7.2f %7.2f | %9zu %6.3f %7.2f %7.2f | %6.3f %5.2f %5.2f\n",
        name.c_str(), data.size(), fig[0].out, fig[0].out / in, fig[0].compressRate,
        fig[0].decompressRate, fig[1].out, fig[1].out / in, fig[1].compressRate,
        fig[1].decompressRate, static_cast<double>(fig[0].out) / static_cast<double>(fig[1].out),
        fig[0].compressRate / fig[1].compressRate, fig[0].decompressRate / fig[1].decompressRate);
    if (fig[0].out > fig[1].out) {
        std::printf("  ^ Tarvis's stream is larger than the reference's\n");
    }
    return ok;
}

void usage() {
    std::fputs("usage: tarvis-implode-bench [--seconds S] [--random BYTES] FILE...\n", stderr);
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 1.0;
    std::size_t randomBytes = 0;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--seconds" || arg == "--random") && i + 1 < argc) {
            char* end = nullptr;
            const double value = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(value > 0)) {
                std::fprintf(stderr, "tarvis-implode-bench: %s needs a positive number\n",
                             arg.c_str());
                return 64;
            }
            if (arg == "--seconds") {
                seconds = value;
            } else {
                randomBytes = static_cast<std::size_t>(value);
            }
        } else if (!arg.empty() && arg[0] == '-') {
            usage();
            return 64;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty() && randomBytes == 0) {
        usage();
        return 64;
    }
    std::printf("%-28s %9s | %-39s | %-39s | %s\n", "", "", "Tarvis", "reference (libstorm)",
                "Tarvis / reference");
    std::printf("%-28s %9s | %9s %6s %7s %7s | %9s %6s %7s %7s | %6s %5s %5s\n", "file", "size in",
                "size out", "ratio", "comp", "decomp", "size out", "ratio", "comp", "decomp",
                "size", "comp", "dec");
    std::printf("%-28s %9s | %9s %6s %7s %7s | %9s %6s %7s %7s |\n", "", "bytes", "bytes", "",
                "MB/s", "MB/s", "bytes", "", "MB/s", "MB/s");
    bool ok = true;
    for (const std::string& path : files) {
        std::ifstream f(path, std::ios::binary);
        if (!f) {
            std::fprintf(stderr, "tarvis-implode-bench: %s: cannot open\n", path.c_str());
            return 66;
        }
        const Bytes data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        const std::size_t slash = path.find_last_of('/');
        ok = measure(slash == std::string::npos ? path : path.substr(slash + 1), data, seconds) &&
             ok;
    }
    if (randomBytes != 0) {
        Bytes data(randomBytes);
        std::mt19937 generator(470);
        for (unsigned char& b : data) {
            b = static_cast<unsigned char>(generator() >> 24);
        }
        ok = measure("(random " + std::to_string(randomBytes) + ")", data, seconds) && ok;
    }
    return ok ? 0 : 1;
}
