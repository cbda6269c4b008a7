#include "tests/transfer/PklibSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace tarvis::test {
namespace {

TEST(PklibRoundTrip, RepeatsAreFoundUpToOneLessThanTheDictionaryBack) {
    // 700 repeated bytes cost a few matches when the copy lies within the encoder's window
    // (2 to dictionary - 1 bytes back) and nearly their full literal cost when it does not.
    for (unsigned dictionary : {1024u, 2048u, 4096u}) {
        for (std::size_t d : {std::size_t{dictionary} - 2, std::size_t{dictionary} - 1,
                              std::size_t{dictionary}, std::size_t{dictionary} + 1}) {
            SCOPED_TRACE("dictionary " + std::to_string(dictionary) + " distance " +
                         std::to_string(d));
            const Bytes repeated = repeatAt(d, 700, 77);
            const std::size_t withRepeat =
                compressBytes(repeated, kPklibBinary, dictionary).data.size();
            const std::size_t plain =
                compressBytes(randomBytes(d + 700, 78), kPklibBinary, dictionary).data.size();
            if (d < dictionary) {
                EXPECT_LT(withRepeat + 600, plain);
            } else {
                EXPECT_GT(withRepeat + 50, plain);
            }
        }
    }
}

TEST(PklibRoundTrip, RunsAndTextShrink) {
    EXPECT_LT(compressBytes(Bytes(100000, 0)).data.size(), 600u);
    EXPECT_LT(compressBytes(prose(100000, 3)).data.size(), 40000u);
}

TEST(PklibStream, EmptyInputIsHeaderAndEndCodeOnly) {
    EXPECT_EQ(compressBytes({}).data, bytes({0x01, 0x06, 0x01, 0xFF}));
    EXPECT_EQ(compressBytes({}, kPklibBinary, 1024).data, bytes({0x00, 0x04, 0x01, 0xFF}));
    EXPECT_EQ(compressBytes({}, kPklibAscii, 2048).data, bytes({0x01, 0x05, 0x01, 0xFF}));
}

TEST(PklibStream, TarvisStreamsStartWith0106) {
    const Coded packed = compressBytes(prose(3000, 1));
    ASSERT_GE(packed.data.size(), 2u);
    EXPECT_EQ(packed.data[0], 0x01);
    EXPECT_EQ(packed.data[1], 0x06);
}

TEST(PklibStream, HandMadeStreamsDecode) {
    struct Case {
        const char* what;
        Bytes stream;
        std::string output;
    };
    const Case cases[] = {
        // The example of the published format description.
        {"literals A I, match 11 at 2", bytes({0x00, 0x04, 0x82, 0x24, 0x25, 0x8F, 0x80, 0x7F}),
         "AIAIAIAIAIAIA"},
        {"literal A, match 3 at 1", bytes({0x00, 0x04, 0x82, 0x3E, 0x04, 0xFC, 0x03}), "AAAA"},
        {"literals A B, match 2 at 2", bytes({0x00, 0x04, 0x82, 0x08, 0xED, 0x05, 0xFC, 0x03}),
         "ABAB"},
        {"ASCII literal A, match 4 at 1", bytes({0x01, 0x06, 0xE2, 0x19, 0x08, 0xF8, 0x07}),
         "AAAAA"},
        // The end code may be followed by anything; it is not looked at.
        {"trailing bytes", bytes({0x00, 0x04, 0x82, 0x3E, 0x04, 0xFC, 0x03, 0xAA, 0x55}), "AAAA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Coded out = decompressBytes(c.stream);
        EXPECT_EQ(out.code, kPklibOk);
        EXPECT_EQ(std::string(out.data.begin(), out.data.end()), c.output);
    }
}

TEST(PklibStream, DistanceBeforeTheStartOfTheOutputIsRejected) {
    // Literal A, then a match of 3 two bytes back: only one byte exists.
    Coded out = decompressBytes(bytes({0x00, 0x04, 0x82, 0x7E, 0x04, 0xFC, 0x03}));
    EXPECT_EQ(out.code, kPklibBadData);
    EXPECT_EQ(out.data, text("A")); // what was decoded before the fault is written
    // A match as the very first token.
    out = decompressBytes(bytes({0x00, 0x04, 0x1F, 0x02, 0xFE, 0x01}));
    EXPECT_EQ(out.code, kPklibBadData);
    EXPECT_TRUE(out.data.empty());
}

TEST(PklibRefusal, CompressParametersAreCheckedBeforeAnyRead) {
    struct Case {
        unsigned mode;
        unsigned dictionary;
        unsigned code;
    };
    const Case cases[] = {{1, 0, kPklibBadDictionary},     {1, 1000, kPklibBadDictionary},
                          {1, 8192, kPklibBadDictionary},  {0, 512, kPklibBadDictionary},
                          {2, 4096, kPklibBadLiteralMode}, {7, 1024, kPklibBadLiteralMode},
                          {2, 3000, kPklibBadDictionary}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + "/" + std::to_string(c.dictionary));
        WorkArea area(kPklibCompressWorkSize);
        MemoryIo io;
        io.input = text("hello");
        EXPECT_EQ(compress(MemoryIo::read, MemoryIo::write, area.data(), &io, c.mode, c.dictionary),
                  c.code);
        EXPECT_TRUE(io.readRequests.empty());
        EXPECT_TRUE(io.writeSizes.empty());
    }
}

TEST(PklibRefusal, DecompressHeaderAndShortInput) {
    struct Case {
        const char* what;
        Bytes stream;
        std::size_t chunk;
        unsigned code;
    };
    const Bytes valid = compressBytes(text("refusal")).data;
    const Case cases[] = {
        {"dictionary code 3", bytes({0x01, 0x03, 0x01, 0xFF, 0x00}), 0, kPklibBadDictionary},
        {"dictionary code 7", bytes({0x00, 0x07, 0x01, 0xFF, 0x00}), 0, kPklibBadDictionary},
        {"literal coding 2", bytes({0x02, 0x06, 0x01, 0xFF, 0x00}), 0, kPklibBadLiteralMode},
        {"both wrong", bytes({0x02, 0x09, 0x01, 0xFF, 0x00}), 0, kPklibBadDictionary},
        {"nothing", {}, 0, kPklibTooShort},
        {"valid 4-byte stream of an empty file", bytes({0x01, 0x06, 0x01, 0xFF}), 0,
         kPklibTooShort},
        {"first read gives 4 bytes of a longer stream", valid, 4, kPklibTooShort},
        {"first read gives 5 bytes", valid, 5, kPklibOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorkArea area(kPklibDecompressWorkSize);
        MemoryIo io;
        io.input = c.stream;
        io.chunk = c.chunk;
        EXPECT_EQ(decompress(MemoryIo::read, MemoryIo::write, area.data(), &io), c.code);
        if (c.code != kPklibOk) {
            EXPECT_TRUE(io.output.empty());
            EXPECT_EQ(io.readRequests.size(), 1u);
        } else {
            EXPECT_EQ(io.output, text("refusal"));
        }
    }
}

TEST(PklibDamage, EveryTruncationGivesBadDataAndAPrefixOfTheOutput) {
    for (const Bytes& input : {prose(9000, 21), randomBytes(3000, 22)}) {
        const Bytes stream = compressBytes(input).data;
        for (std::size_t n = 5; n < stream.size(); ++n) {
            SCOPED_TRACE(n);
            const Coded out = decompressBytes(Bytes(stream.begin(), stream.begin() + n));
            ASSERT_EQ(out.code, kPklibBadData);
            ASSERT_LE(out.data.size(), input.size());
            ASSERT_TRUE(std::equal(out.data.begin(), out.data.end(), input.begin()));
        }
    }
}

TEST(PklibDamage, CorruptStreamsStayInBounds) {
    // A flipped bit can still spell a valid stream; what must hold is that the decoder ends
    // with 0 or 4, stays inside its buffers (the work area's guards, the sanitizers) and never
    // writes more than the format allows from this much input.
    const Bytes stream = compressBytes(prose(5000, 31)).data;
    std::mt19937 generator(32);
    for (std::size_t bit = 16; bit < stream.size() * 8; bit += 3) {
        Bytes damaged = stream;
        damaged[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
        const Coded out = decompressBytes(damaged);
        ASSERT_TRUE(out.code == kPklibOk || out.code == kPklibBadData) << bit;
        ASSERT_LE(out.data.size(), damaged.size() * 8 * 518 / 16);
    }
    for (int k = 0; k < 300; ++k) {
        Bytes junk = randomBytes(5 + generator() % 3000, 100 + k);
        junk[0] = static_cast<std::uint8_t>(k % 2);
        junk[1] = static_cast<std::uint8_t>(4 + k % 3);
        const Coded out = decompressBytes(junk);
        ASSERT_TRUE(out.code == kPklibOk || out.code == kPklibBadData) << k;
    }
}

TEST(PklibCallbacks, BlockSizesAskedForAndHandedOver) {
    const Bytes input = randomBytes(30000, 41);
    WorkArea area(kPklibCompressWorkSize);
    MemoryIo io;
    io.input = input;
    io.area = &area;
    ASSERT_EQ(compress(MemoryIo::read, MemoryIo::write, area.data(), &io, kPklibAscii, 4096),
              kPklibOk);
    // Whole blocks while the input lasts; the last block is asked for again for what the
    // short read left open, and that read returns 0.
    std::vector<unsigned> blocks(7, 4096u);
    blocks.push_back(4096u);
    blocks.push_back(4096u - (30000u - 7 * 4096u));
    EXPECT_EQ(io.readRequests, blocks);
    ASSERT_GT(io.writeSizes.size(), 2u);
    for (std::size_t k = 0; k + 1 < io.writeSizes.size(); ++k) {
        EXPECT_EQ(io.writeSizes[k], 2048u);
    }
    EXPECT_LE(io.writeSizes.back(), 2048u);

    WorkArea area2(kPklibDecompressWorkSize);
    MemoryIo back;
    back.input = io.output;
    back.area = &area2;
    ASSERT_EQ(decompress(MemoryIo::read, MemoryIo::write, area2.data(), &back), kPklibOk);
    EXPECT_EQ(back.output, input);
    for (unsigned r : back.readRequests) {
        EXPECT_EQ(r, 2048u);
    }
    ASSERT_GT(back.writeSizes.size(), 2u);
    for (std::size_t k = 0; k + 1 < back.writeSizes.size(); ++k) {
        EXPECT_EQ(back.writeSizes[k], 4096u);
    }
    EXPECT_LE(back.writeSizes.back(), 4096u);
}

TEST(PklibCallbacks, ShortReadsDoNotChangeTheStream) {
    // The compressor keeps asking until a block is full, so how read splits the input makes
    // no difference; the rest of each block is what it asks for next.
    const Bytes input = prose(20000, 51);
    const Bytes whole = compressBytes(input).data;
    for (std::size_t chunk : {1, 7, 1000, 4095}) {
        WorkArea area(kPklibCompressWorkSize);
        MemoryIo io;
        io.input = input;
        io.chunk = chunk;
        ASSERT_EQ(compress(MemoryIo::read, MemoryIo::write, area.data(), &io, kPklibAscii, 4096),
                  kPklibOk);
        EXPECT_EQ(io.output, whole) << chunk;
        if (chunk == 1000) {
            ASSERT_GE(io.readRequests.size(), 4u);
            EXPECT_EQ(io.readRequests[0], 4096u);
            EXPECT_EQ(io.readRequests[1], 3096u);
            EXPECT_EQ(io.readRequests[4], 4096u - 4000u);
        }
    }
}

TEST(PklibCallbacks, NothingIsReadAfterTheEndCode) {
    // The stream is followed by more data in the same source; the decoder must stop asking
    // once it has the block that holds the end code.
    const Bytes input = prose(30000, 61);
    const Bytes stream = compressBytes(input).data;
    MemoryIo io;
    io.input = stream;
    const Bytes tail = randomBytes(10000, 62);
    io.input.insert(io.input.end(), tail.begin(), tail.end());
    WorkArea area(kPklibDecompressWorkSize);
    ASSERT_EQ(decompress(MemoryIo::read, MemoryIo::write, area.data(), &io), kPklibOk);
    EXPECT_EQ(io.output, input);
    EXPECT_EQ(io.readRequests.size(), (stream.size() + 2047) / 2048);
}

TEST(PklibWorkArea, ContentsAndAlignmentDoNotMatter) {
    const Bytes input = prose(15000, 71);
    const Bytes reference = compressBytes(input).data;
    for (std::uint8_t fill : {0x00, 0xFF, 0x5A}) {
        for (std::size_t misalign : {1, 3, 6}) {
            WorkArea area(kPklibCompressWorkSize, fill, misalign);
            MemoryIo io;
            io.input = input;
            io.area = &area;
            ASSERT_EQ(
                compress(MemoryIo::read, MemoryIo::write, area.data(), &io, kPklibAscii, 4096),
                kPklibOk);
            EXPECT_EQ(io.output, reference);
            EXPECT_TRUE(area.guardsIntact());

            WorkArea area2(kPklibDecompressWorkSize, fill, misalign);
            MemoryIo back;
            back.input = reference;
            back.area = &area2;
            ASSERT_EQ(decompress(MemoryIo::read, MemoryIo::write, area2.data(), &back), kPklibOk);
            EXPECT_EQ(back.output, input);
            EXPECT_TRUE(area2.guardsIntact());
            EXPECT_FALSE(io.strayBuffer || back.strayBuffer);
        }
    }
}

TEST(PklibRoundTrip, OutputsAroundTheWriteBlocks) {
    // Streams that end just before, at and just after a 2048-byte write block.
    std::map<std::size_t, Bytes> bySize;
    for (unsigned seed = 81; seed < 100 && bySize.size() < 3; ++seed) {
        const Bytes noise = randomBytes(1600, seed);
        for (std::size_t n = 1350; n < 1500; ++n) {
            Bytes part(noise.begin(), noise.begin() + static_cast<std::ptrdiff_t>(n));
            const std::size_t size = compressBytes(part).data.size();
            if (size >= 2047 && size <= 2049) {
                bySize.emplace(size, std::move(part));
            }
        }
    }
    ASSERT_EQ(bySize.size(), 3u);
    // Decoded sizes at the decoder's 4096-byte write block.
    const std::vector<Bytes> inputs = {bySize[2047],    bySize[2048],    bySize[2049],
                                       prose(4095, 82), prose(4096, 83), prose(4097, 84),
                                       prose(8192, 85)};
    for (const Bytes& part : inputs) {
        const Coded packed = compressBytes(part);
        const Coded back = decompressBytes(packed.data);
        EXPECT_EQ(back.code, kPklibOk);
        EXPECT_TRUE(back.data == part) << part.size() << " bytes packed to " << packed.data.size();
    }
}

} // namespace
} // namespace tarvis::test
