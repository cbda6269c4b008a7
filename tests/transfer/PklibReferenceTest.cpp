// Round trips, within Tarvis and across to the DCL implementation in the system's libstorm:
// streams from Tarvis must decode there, and that library's streams (every literal coding and
// dictionary size) must decode here. Only well-formed streams go to it, since it does not check its
// input.
#include "tests/transfer/DclReference.h"
#include "tests/transfer/PklibSupport.h"

#include <gtest/gtest.h>

namespace tarvis::test {
namespace {

Coded referenceCompress(const Bytes& in, unsigned mode, unsigned dictionary) {
    std::vector<char> work(reference::kImplodeWorkSize, 0);
    MemoryIo io;
    io.input = in;
    Coded r;
    unsigned type = mode;
    unsigned dsize = dictionary;
    r.code = implode(MemoryIo::read, MemoryIo::write, work.data(), &io, &type, &dsize);
    r.data = std::move(io.output);
    return r;
}

Coded referenceDecompress(const Bytes& in) {
    std::vector<char> work(reference::kExplodeWorkSize, 0);
    MemoryIo io;
    io.input = in;
    Coded r;
    r.code = explode(MemoryIo::read, MemoryIo::write, work.data(), &io);
    r.data = std::move(io.output);
    return r;
}

TEST(PklibRoundTrip, EverySampleInEverySettingAndAcrossImplementations) {
    for (const Sample& sample : samples()) {
        for (const Setting& setting : kSettings) {
            SCOPED_TRACE(sample.name + " mode " + std::to_string(setting.mode) + " dictionary " +
                         std::to_string(setting.dictionary));
            const Coded ours = compressBytes(sample.data, setting.mode, setting.dictionary);
            ASSERT_EQ(ours.code, kPklibOk);
            ASSERT_GE(ours.data.size(), 5u);
            EXPECT_EQ(ours.data[0], setting.mode);
            EXPECT_EQ(ours.data[1], setting.dictionary == 4096   ? 6
                                    : setting.dictionary == 2048 ? 5
                                                                 : 4);
            const Coded back = decompressBytes(ours.data);
            EXPECT_EQ(back.code, kPklibOk);
            EXPECT_TRUE(back.data == sample.data);

            const Coded theirsDecoded = referenceDecompress(ours.data);
            EXPECT_EQ(theirsDecoded.code, 0u);
            EXPECT_TRUE(theirsDecoded.data == sample.data);

            const Coded theirs = referenceCompress(sample.data, setting.mode, setting.dictionary);
            ASSERT_EQ(theirs.code, 0u);
            const Coded oursDecoded = decompressBytes(theirs.data);
            EXPECT_EQ(oursDecoded.code, kPklibOk);
            EXPECT_TRUE(oursDecoded.data == sample.data);

            // Both follow the same token rules over the same window; where Tarvis differs it
            // takes the nearer of equally long matches, which never costs more bits.
            EXPECT_LE(ours.data.size(), theirs.data.size());
        }
    }
}

TEST(PklibReference, SameTokensWhereTheRulesLeaveNoChoice) {
    // Text has no equally long matches of the longest kind, so the streams agree byte for
    // byte, which pins down every token rule at once.
    for (const Setting& setting : kSettings) {
        SCOPED_TRACE(std::to_string(setting.mode) + "/" + std::to_string(setting.dictionary));
        const Bytes input = prose(3000, 91);
        EXPECT_EQ(compressBytes(input, setting.mode, setting.dictionary).data,
                  referenceCompress(input, setting.mode, setting.dictionary).data);
    }
}

} // namespace
} // namespace tarvis::test
