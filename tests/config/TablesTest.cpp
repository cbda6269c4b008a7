#include "config/Settings.h"
#include "config/Utils.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarvis {
namespace {

struct ListCase {
    QStringList items;
    QString text;
};

TEST(ListText, WritesAndReadsBack) {
    const ListCase cases[] = {
        {{}, ""},
        {{"W1AW"}, "W1AW"},
        {{"W1AW", "DL1 ABC"}, "W1AW,\"DL1 ABC\""},
        {{"A B", "C D"}, "\"A B\",\"C D\""},
        {{"a,b", "c"}, "\"a,b\",c"},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{""}, "\"\""},
        {{"A", "", "B"}, "A,\"\",B"},
        {{"tab\there", "bell\a"}, "\"tab\there\",\"bell\a\""},
    };
    for (const ListCase& c : cases) {
        EXPECT_EQ(ListToText(c.items), c.text) << c.text.toStdString();
        EXPECT_EQ(TextToList(c.text), c.items) << c.text.toStdString();
    }
}

TEST(ListText, ReadsHandEditedLists) {
    const ListCase cases[] = {
        {{"A", "B", "C"}, "A B   C"},
        {{"A", "B"}, "  A ,  B  "},
        {{"A", "B"}, "A\tB"},
        {{"A", "", "B"}, "A,,B"},
        {{"A", ""}, "A,"},
        {{"unterminated"}, "\"unterminated"},
        {{"ab", "cd"}, "\"ab\"cd"},
        {{"x y", "z"}, " \"x y\" , z"},
        {{}, "   "},
    };
    for (const ListCase& c : cases)
        EXPECT_EQ(TextToList(c.text), c.items) << c.text.toStdString();
}

struct GainCase {
    const char* text;
    int rx; // -1: not a receive text
    int tx; // -1: not a transmit text
};

TEST(GainTable, TextsToCodes) {
    const GainCase cases[] = {
        {"-36dB", 16, 32}, {"-30dB", 17, 33}, {"-24dB", 18, 34}, {"-18dB", 19, 35},
        {"-12dB", 20, 36}, {"-9dB", 21, 37},  {"-6dB", 22, 38},  {"-3dB", 23, 39},
        {"+0dB", 1, 40},   {"0dB", 1, 40},    {"-0dB", 1, 40},   {"+3dB", 25, -1},
        {"+6dB", 2, -1},   {"+9dB", 27, -1},  {"+12dB", 3, -1},  {"+18dB", 29, -1},
        {"+24dB", 30, -1}, {"1", 1, -1},      {"2", 2, -1},      {"3", 3, -1},
        {"4", -1, -1},     {"+0DB", -1, -1},  {" +0dB", -1, -1}, {"", -1, -1},
        {"+5dB", -1, -1},
    };
    for (const GainCase& c : cases) {
        int rx = 99;
        int tx = 99;
        EXPECT_EQ(RxGainCodeFromText(c.text, rx), c.rx >= 0) << c.text;
        EXPECT_EQ(rx, c.rx >= 0 ? c.rx : 99) << c.text;
        EXPECT_EQ(TxGainCodeFromText(c.text, tx), c.tx >= 0) << c.text;
        EXPECT_EQ(tx, c.tx >= 0 ? c.tx : 99) << c.text;
    }
}

TEST(GainTable, CodesToTexts) {
    const std::pair<int, const char*> rx[] = {
        {16, "-36dB"}, {23, "-3dB"}, {1, "+0dB"},  {24, "+0dB"},  {25, "+3dB"},  {2, "+6dB"},
        {26, "+6dB"},  {27, "+9dB"}, {3, "+12dB"}, {28, "+12dB"}, {29, "+18dB"}, {30, "+24dB"},
        {0, ""},       {15, ""},     {31, ""},     {40, ""},
    };
    for (const auto& [code, text] : rx)
        EXPECT_EQ(RxGainText(code), text) << code;
    const std::pair<int, const char*> tx[] = {
        {32, "-36dB"}, {37, "-9dB"}, {39, "-3dB"}, {40, "+0dB"},
        {31, ""},      {41, ""},     {0, ""},      {1, ""},
    };
    for (const auto& [code, text] : tx)
        EXPECT_EQ(TxGainText(code), text) << code;
}

TEST(GainTable, TransmitGainHardware) {
    for (const char* version : {"800A", "8004", "800B"})
        EXPECT_TRUE(HasTransmitGain(version)) << version;
    for (const char* version : {"800a", "8000", "800C", "", "800A "})
        EXPECT_FALSE(HasTransmitGain(version)) << version;
}

TEST(ModeTable, TextsAndNumbers) {
    const std::pair<const char*, int> fromText[] = {
        {"MIRVOL", 1}, {"AMTOR", 2},  {"PMODE", 3}, {"BAUDOT", 4}, {"ASCII", 5}, {"PSK31", 10},
        {"amtor", 2},  {"Psk31", 10}, {"RTTY", 1},  {"", 1},       {"6", 1},
    };
    for (const auto& [text, mode] : fromText)
        EXPECT_EQ(ModeNumberFromText(text), mode) << text;
    const std::pair<int, const char*> toText[] = {
        {1, "MIRVOL"}, {2, "AMTOR"},  {3, "PMODE"},  {4, "BAUDOT"}, {5, "ASCII"},  {10, "PSK31"},
        {6, "MIRVOL"}, {7, "MIRVOL"}, {8, "MIRVOL"}, {9, "MIRVOL"}, {0, "MIRVOL"}, {-1, "MIRVOL"},
    };
    for (const auto& [mode, text] : toText)
        EXPECT_EQ(ModeText(mode), text) << mode;
}

TEST(PortName, ComesFromComPort) {
    Settings s;
    EXPECT_EQ(PortName(s), "COM");
    s.ComPort = "5";
    EXPECT_EQ(PortName(s), "COM5");
    SetPortName(s, "COM12");
    EXPECT_EQ(s.ComPort, "12");
    SetPortName(s, "CO");
    EXPECT_EQ(s.ComPort, "");
}

} // namespace
} // namespace tarvis
