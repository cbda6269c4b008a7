#include "link/Commands.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace tarvis;

namespace {

std::string Hex(const Bytes& bytes) {
    std::ostringstream out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(bytes[i]));
        out << (i ? " " : "") << buf;
    }
    return out.str();
}

// Every command without parameters, as the command set lists them.
constexpr std::uint8_t kNoParameterCodes[] = {
    0x00, 0x01, 0x02, 0x04, 0x05, 0x07, 0x09, 0x0A, 0x0B, 0x0F, 0x41, 0x44, 0x45, 0x46, 0x48, 0x49,
    0x4B, 0x4C, 0x4D, 0x51, 0x54, 0x55, 0x56, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x76, 0x77, 0x78,
    0x7B, 0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x89, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0xA0,
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC9, 0xCB, 0xCD, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD9, 0xDB, 0xDD};

TEST(Commands, EveryCommandWithoutParametersIsTwoBytes) {
    for (std::uint8_t code : kNoParameterCodes) {
        char expected[8];
        std::snprintf(expected, sizeof expected, "80 %02X", code);
        EXPECT_EQ(Hex(Command(code)), expected) << "code " << int(code);
    }
}

struct Row {
    Bytes built;
    const char* expected;
};

TEST(Commands, EveryCommandWithParametersHasItsExactBytes) {
    const Row rows[] = {
        {TextCommand(0x10, "N0CALL"), "80 10 80 4E 80 30 80 43 80 41 80 4C 80 4C 80 00"},
        {TextCommand(0x11, "K1"), "80 11 80 4B 80 31 80 00"},
        {TextCommand(0x10, ""), "80 10 80 00"},
        {ByteCommand(0x12, 0x00), "80 12 80 00"},
        {TextCommand(0x13, "MYCALL"), "80 13 80 4D 80 59 80 43 80 41 80 4C 80 4C 80 00"},
        {ByteCommand(0x14, 0x00), "80 14 80 00"},
        {ByteCommand(0x15, 0x00), "80 15 80 00"},
        {TextCommand(0x16, "SCALL"), "80 16 80 53 80 43 80 41 80 4C 80 4C 80 00"},
        {TextCommand(0x17, "SELCALL"), "80 17 80 53 80 45 80 4C 80 43 80 41 80 4C 80 4C 80 00"},
        {GroupBroadcastCommand("CQCQCQ"), "80 18 80 43 80 51 80 43 80 51 80 00"},
        {GroupBroadcastCommand("AB"), "80 18 80 41 80 42 80 00"},
        {TextCommand(0x19, "W1"), "80 19 80 57 80 31 80 00"},
        {TextCommand(0x1A, "W1"), "80 1A 80 57 80 31 80 00"},
        {ByteCommand(0x1C, 0x00), "80 1C 80 00"},
        {ByteCommand(0x1D, 0x00), "80 1D 80 00"},
        {ByteCommand(0x60, LowByte(10)), "80 60 80 0A"},
        {ByteCommand(0x61, LowByte(30)), "80 61 80 1E"},
        {ByteCommand(0x62, LowByte(20)), "80 62 80 14"},
        {ByteCommand(0x63, 0x04), "80 63 80 04"},
        {ByteCommand(0x64, 0x99), "80 64 80 99"},
        {ByteCommand(0x65, 0x03), "80 65 80 03"},
        {ByteCommand(0x67, 0x01), "80 67 80 01"},
        {ByteCommand(0x68, LowByte(1)), "80 68 80 01"},
        {ByteCommand(0x6A, 0x07), "80 6A 80 07"},
        {ByteCommand(0x6C, 40), "80 6C 80 28"},
        {TextCommand(0x90, "ABCD"), "80 90 80 41 80 42 80 43 80 44 80 00"},
        {TextCommand(0x91, "ABCDEFG"), "80 91 80 41 80 42 80 43 80 44 80 45 80 46 80 47 80 00"},
        {TextCommand(0x92, "CQCQ"), "80 92 80 43 80 51 80 43 80 51 80 00"},
        {AnswerBackCommand(0x94, Bytes("A\r\n\x80", 4)), "80 94 80 41 80 0D 80 0A 80 80 80 00"},
        {ByteCommand(0xE0, LowByte(50)), "80 E0 80 32"},
        {ByteCommand(0xE1, LowByte(10)), "80 E1 80 0A"},
        {ByteCommand(0xE3, LowByte(20)), "80 E3 80 14"},
        {ByteCommand(0xE4, 0x05), "80 E4 80 05"},
        {ByteCommand(0xE5, 0x00), "80 E5 80 00"},
        {ByteCommand(0xE8, LowByte(69)), "80 E8 80 45"},
        {ByteCommand(0xE9, LowByte(32)), "80 E9 80 20"},
        {ByteCommand(0xEB, 0x02), "80 EB 80 02"},
        {WordPairCommand(0xEC, 2125, 2295), "80 EC 80 08 80 4D 80 08 80 F7"},
        {ByteCommand(0xED, LowByte(20)), "80 ED 80 14"},
        {ByteCommand(0xEE, 0x07), "80 EE 80 07"},
        {ByteCommand(0xF0, 0x02), "80 F0 80 02"},
        {ByteCommand(0xF1, LowByte(30)), "80 F1 80 1E"},
        {ByteCommand(0xF2, LowByte(3)), "80 F2 80 03"},
        {ByteCommand(0xF3, LowByte(2)), "80 F3 80 02"},
        {ByteCommand(0xF4, LowByte(6)), "80 F4 80 06"},
        {ByteCommand(0xF5, LowByte(80)), "80 F5 80 50"},
        {ByteCommand(0xF6, 0x01), "80 F6 80 01"},
        {ByteCommand(0xF7, LowByte(2)), "80 F7 80 02"},
        {ByteCommand(0xF8, LowByte(30)), "80 F8 80 1E"},
        {ByteCommand(0x61, LowByte(300)), "80 61 80 2C"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Hex(row.built), row.expected);
    }
}

TEST(Commands, TableCoversEveryListedCodeOnce) {
    // 64 commands without parameters and 47 with: the whole command set.
    EXPECT_EQ(CommandTable().size(), std::size(kNoParameterCodes) + 47);
    for (std::uint8_t code : kNoParameterCodes) {
        ASSERT_NE(FindCommand(code), nullptr);
        EXPECT_EQ(FindCommand(code)->form, ParamForm::None);
    }
    EXPECT_EQ(FindCommand(0x03), nullptr);
    EXPECT_EQ(FindCommand(0xFF), nullptr);
}

TEST(Commands, AFormTheCodeDoesNotTakeBuildsNothing) {
    EXPECT_EQ(Command(0x13), "");          // own call takes a text
    EXPECT_EQ(ByteCommand(0x09, 1), "");   // reset takes nothing
    EXPECT_EQ(TextCommand(0xEC, "x"), ""); // tones take a word pair
    EXPECT_EQ(Command(0x03), "");          // no such command
}

TEST(Commands, PanicIsTheLiteral06) {
    EXPECT_EQ(Hex(PanicLiteral()), "81 06");
}

} // namespace
