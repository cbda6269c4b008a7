#include "sim/settings.h"
#include "sim/modem.h"
#include "tests/sim/TestBytes.h"

#include <gtest/gtest.h>

using namespace qd470sim;

namespace {

struct NullLog : LogSink {
    void line(std::string_view) override {}
};

struct SettingCase {
    const char* commands; // what the host sends
    const char* key;
    const char* value; // what the modem keeps
};

void PrintTo(const SettingCase& c, std::ostream* os) {
    *os << c.commands;
}

class SettingKept : public ::testing::TestWithParam<SettingCase> {};

TEST_P(SettingKept, AsTheHostSetIt) {
    NullLog log;
    Modem modem(ModemIdentity{}, log);
    modem.fromHost(hexToBytes(GetParam().commands));
    EXPECT_EQ(modem.settings().value(GetParam().key), GetParam().value);
    // Setting a value answers nothing.
    EXPECT_TRUE(modem.takeOutput().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Modem, SettingKept,
    ::testing::Values(
        SettingCase{"80 41 80 46 80 4D 80 80", "mode", "MIRVOL"},
        SettingCase{"80 81", "mode", "AMTOR"}, SettingCase{"80 83", "mode", "P-Mode"},
        SettingCase{"80 85", "mode", "Baudot"}, SettingCase{"80 80 80 86", "mode", "ASCII"},
        SettingCase{"80 13 80 4E 80 30 80 43 80 00", "mycall", "\"N0C\""},
        SettingCase{"80 90 80 41 80 42 80 43 80 44 80 00", "mycall476", "\"ABCD\""},
        SettingCase{"80 91 80 41 80 42 80 00", "mycall625", "\"AB\""},
        SettingCase{"80 92 80 47 80 00", "groupcall", "\"G\""},
        SettingCase{"80 D2 80 94 80 41 80 0D 80 00", "answerback-text", "\"A\\r\""},
        SettingCase{"80 D2", "answerback", "on"}, SettingCase{"80 C2", "answerback", "off"},
        SettingCase{"80 EC 80 04 80 FB 80 05 80 A5", "tones", "1275,1445"},
        SettingCase{"80 E4 80 00", "baudot-rate", "45"},
        SettingCase{"80 E4 80 05", "baudot-rate", "110"},
        SettingCase{"80 E5 80 03", "ascii-rate", "75"},
        SettingCase{"80 E5 80 09", "ascii-rate", "code-09"},
        SettingCase{"80 4B", "tx-polarity", "REV"}, SettingCase{"80 5B", "tx-polarity", "NORM"},
        SettingCase{"80 4C", "rx-polarity", "independent"},
        SettingCase{"80 5C", "rx-polarity", "follows"}, SettingCase{"80 CB", "fsk-polarity", "REV"},
        SettingCase{"80 DB", "fsk-polarity", "NORM"},
        // The gain command carries both gains; the code's range tells them apart.
        SettingCase{"80 6C 80 10 80 6C 80 24", "rx-gain", "16"},
        SettingCase{"80 6C 80 10 80 6C 80 24", "tx-gain", "36"},
        SettingCase{"80 6C 80 03", "tx-gain", "unset"}, SettingCase{"80 58", "listen", "on"},
        SettingCase{"80 58 80 48", "listen", "off"},
        SettingCase{"80 60 80 05", "robust-retries", "5"},
        SettingCase{"80 61 80 0A", "normal-retries", "10"},
        SettingCase{"80 62 80 14", "fail-retries", "20"},
        SettingCase{"80 63 80 04", "af-channel", "4"},
        SettingCase{"80 64 80 99", "waveform", "BPSM"},
        SettingCase{"80 64 80 ED", "waveform", "16P4A"},
        SettingCase{"80 65 80 03", "bias", "FASTEST"}, SettingCase{"80 65 80 00", "bias", "ROBUST"},
        SettingCase{"80 67 80 01", "scan-control", "PULSE"},
        SettingCase{"80 68 80 07", "chat-count", "7"}, SettingCase{"80 55", "cw-id", "on"},
        SettingCase{"80 44", "call-type", "manual"}, SettingCase{"80 54", "call-type", "adaptive"},
        SettingCase{"80 E0 80 2D", "amtor-cd", "45"}, SettingCase{"80 E1 80 11", "amtor-td", "17"},
        SettingCase{"80 E9 80 3C", "amtor-timeout", "60"},
        SettingCase{"80 D4", "letter-case", "lower"}, SettingCase{"80 C9", "huffman", "on"},
        SettingCase{"80 D9", "huffman", "off"}, SettingCase{"80 F1 80 02", "pmode-cs-delay", "2"},
        SettingCase{"80 F8 80 1E", "pmode-max-arq-sum", "30"},
        SettingCase{"80 F6 80 01", "unproto-rate", "200"},
        SettingCase{"80 D0", "baudot-code", "No2"}, SettingCase{"80 C0", "baudot-code", "US"},
        SettingCase{"80 D3", "usos", "on"}, SettingCase{"80 D1", "sync-idle", "on"},
        SettingCase{"80 DD", "wide-shift", "on"}, SettingCase{"80 E3 80 14", "ptt-on", "20"},
        SettingCase{"80 ED 80 05", "ptt-off", "5"},
        SettingCase{"80 E8 80 00", "print-squelch", "0"},
        // A command cut off sets nothing.
        SettingCase{"80 65 41", "bias", "unset"}));

TEST(Modem, SettingsLineListsEveryKeyInOrderAndTheRatesFollowTheHost) {
    NullLog log;
    Modem modem(ModemIdentity{}, log);
    modem.fromHost(hexToBytes("80 83 80 13 80 41 80 00 80 E4 80 03 80 E5 80 04"));
    const std::string line = modem.settingsLine();
    EXPECT_EQ(line.rfind("mode=P-Mode mycall=\"A\" mycall476=unset ", 0), 0u) << line;
    EXPECT_NE(line.find(" baudot-rate=75 ascii-rate=100 "), std::string::npos) << line;
    EXPECT_EQ(modem.settings().baudotBaud(), 75u);
    EXPECT_EQ(modem.settings().asciiBaud(), 100u);
    EXPECT_FALSE(modem.settings().value("no-such-key"));
}

} // namespace
