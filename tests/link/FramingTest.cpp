#include "link/Framing.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using tarvis::ReceiveFramer;

namespace {

struct FramingCase {
    const char* name;
    bool escapeMode;
    // Each string is one read from the port.
    std::vector<std::string> reads;
    std::vector<std::uint32_t> items;
};

std::string B(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) {
        s.push_back(static_cast<char>(b));
    }
    return s;
}

class FramingTable : public testing::TestWithParam<FramingCase> {};

TEST_P(FramingTable, YieldsExactlyTheItems) {
    const FramingCase& c = GetParam();
    ReceiveFramer framer;
    framer.SetEscapeMode(c.escapeMode);
    std::vector<std::uint32_t> items;
    for (const std::string& read : c.reads) {
        for (char b : read) {
            framer.Feed(static_cast<std::uint8_t>(b),
                        [&](std::uint32_t item) { items.push_back(item); });
        }
    }
    EXPECT_EQ(items, c.items);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FramingTable,
    testing::Values(
        FramingCase{"PlainTextAndStatus", false, {B({'H', 0x80, 0x20, 'i'})}, {'H', 0x8020, 'i'}},
        FramingCase{
            "PrefixSplitAcrossReads", false, {B({'A', 0x80}), B({0x31, 'B'})}, {'A', 0x8031, 'B'}},
        FramingCase{"LiteralPrefixSplitAcrossReads", false, {B({0x81}), B({0x80})}, {0x80}},
        FramingCase{"Literal80IsText", false, {B({0x81, 0x80})}, {0x80}},
        FramingCase{"Literal81IsText", false, {B({0x81, 0x81})}, {0x81}},
        FramingCase{"Literal91IsText", true, {B({0x81, 0x91, 0xB1})}, {0x91}},
        FramingCase{"StatusCode80", false, {B({0x80, 0x80})}, {0x8080}},
        FramingCase{"EscapeOffKeeps91And11",
                    false,
                    {B({0x91, 0x41, 0x11, 0x13})},
                    {0x91, 0x41, 0x11, 0x13}},
        FramingCase{"EscapedB0AfterPrefix", true, {B({0x80, 0x91, 0xB0})}, {0x8090}},
        FramingCase{"EscapedA0StartsStatus", true, {B({0x91, 0xA0, 0x23})}, {0x8023}},
        FramingCase{"EscapedFlowBytesAreText",
                    true,
                    {B({0x91, 0x31, 0x91, 0x33, 0x91, 0xB1})},
                    {0x11, 0x13, 0x91}},
        FramingCase{"XonBetweenPrefixAndCode", true, {B({0x80, 0x11, 0x41})}, {0x8041}},
        FramingCase{"XoffBetweenLiteralAndByte", true, {B({0x81, 0x13, 0x80})}, {0x80}},
        FramingCase{
            "BareFlowBytesRemoved", true, {B({'a', 0x11, 'b', 0x13, 'c'})}, {'a', 'b', 'c'}},
        FramingCase{"EscapeSplitAcrossReads", true, {B({0x80, 0x91}), B({0xB0})}, {0x8090}}),
    [](const testing::TestParamInfo<FramingCase>& info) { return std::string(info.param.name); });

TEST(Framing, XoffHoldsOutputUntilXon) {
    ReceiveFramer framer;
    framer.SetEscapeMode(true);
    auto drop = [](std::uint32_t) {};
    framer.Feed(0x13, drop);
    EXPECT_TRUE(framer.OutputHeld());
    framer.Feed(0x11, drop);
    EXPECT_FALSE(framer.OutputHeld());
}

} // namespace
