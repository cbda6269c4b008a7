#include "shell/InitialSettings.h"
#include "config/ConfigFile.h"

#include "tests/support/QtPrinters.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tarvis;

namespace {

std::string Hex(const std::vector<Bytes>& commands) {
    std::string out;
    for (const Bytes& c : commands) {
        if (!out.empty()) {
            out += " | ";
        }
        for (std::size_t i = 0; i < c.size(); ++i) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(c[i]));
            out += (i ? " " : "") + std::string(buf);
        }
    }
    return out;
}

Settings Defaults() {
    Settings s;
    ReadConfiguration(QStringLiteral("/nonexistent/tarvis.ini"), s,
                      ScreenContext{1920, 1080, 200, 240, 260, 300});
    return s;
}

struct Case {
    const char* name;
    std::function<void(Settings&, ModemIdentity&, TerminalState&)> change;
    const char* commands;
    Bytes endOfLine;
    bool escapeMode;
};

TEST(InitialSettings, SendsEachSettingInOrder) {
    const Case cases[] = {
        {"defaults", [](Settings&, ModemIdentity&, TerminalState&) {},
         "80 67 80 00 | 80 45 | 80 E8 80 45 | 80 63 80 04 | 80 EE 80 07 | 80 6C 80 01", "\r\n",
         false},
        {"pulse, CW id, squelch off, channel 2",
         [](Settings& s, ModemIdentity&, TerminalState&) {
             s.ScanControl = "PULSE";
             s.CWID = "on";
             s.PrintSquelchEnable = "on"; // compared exactly: off
             s.AFChannel = 2;
         },
         "80 67 80 01 | 80 55 | 80 E8 80 00 | 80 63 80 02 | 80 EE 80 07 | 80 6C 80 01", "\r\n",
         false},
        {"lower-case cont is CONT; channel 9 is 4",
         [](Settings& s, ModemIdentity&, TerminalState&) {
             s.ScanControl = "cont";
             s.AFChannel = 9;
         },
         "80 67 80 00 | 80 45 | 80 E8 80 45 | 80 63 80 04 | 80 EE 80 07 | 80 6C 80 01", "\r\n",
         false},
        {"MIRVOL 2000 takes no audio channel",
         [](Settings&, ModemIdentity& id, TerminalState&) { id.mirvol2000 = true; },
         "80 67 80 00 | 80 45 | 80 E8 80 45 | 80 EE 80 07 | 80 6C 80 01", "\r\n", false},
        {"8004 takes the transmit gain, no escape mode",
         [](Settings& s, ModemIdentity& id, TerminalState&) {
             id.hardwareVersion = "8004";
             s.RXGain = 2;
             s.TXGain = 40;
         },
         "80 67 80 00 | 80 45 | 80 E8 80 45 | 80 63 80 04 | 80 EE 80 07 | 80 6C 80 02 | 80 6C 80 "
         "28",
         "\r\n", false},
        {"800A: transmit gain and escape mode",
         [](Settings& s, ModemIdentity& id, TerminalState&) {
             id.hardwareVersion = "800A";
             s.TXGain = 33;
         },
         "80 67 80 00 | 80 45 | 80 E8 80 45 | 80 63 80 04 | 80 EE 80 07 | 80 6C 80 01 | 80 6C 80 "
         "21",
         "\r\n", true},
        {"800B escape mode, no transmit gain code below 32",
         [](Settings& s, ModemIdentity& id, TerminalState&) {
             id.hardwareVersion = "800B";
             s.TXGain = 0;
         },
         "80 67 80 00 | 80 45 | 80 E8 80 45 | 80 63 80 04 | 80 EE 80 07 | 80 6C 80 01", "\r\n",
         true},
        {"other hardware never takes a transmit gain",
         [](Settings& s, ModemIdentity& id, TerminalState&) {
             id.hardwareVersion = "800C";
             s.TXGain = 40;
         },
         "80 67 80 00 | 80 45 | 80 E8 80 45 | 80 63 80 04 | 80 EE 80 07 | 80 6C 80 01", "\r\n",
         false},
        {"MIRVOL CR CR LF",
         [](Settings& s, ModemIdentity&, TerminalState&) { s.EndOfLine = "cr cr lf"; },
         "80 67 80 00 | 80 45 | 80 E8 80 45 | 80 63 80 04 | 80 EE 80 07 | 80 6C 80 01", "\r\r\n",
         false},
        {"an unknown end of line keeps the text",
         [](Settings& s, ModemIdentity&, TerminalState& t) {
             s.EndOfLine = "LF";
             t.EndOfLineText = "\r";
         },
         "80 67 80 00 | 80 45 | 80 E8 80 45 | 80 63 80 04 | 80 EE 80 07 | 80 6C 80 01", "\r",
         false},
        {"AMTOR takes its own end of line",
         [](Settings&, ModemIdentity&, TerminalState& t) { t.OperatingMode = kModeAmtor; },
         "80 67 80 00 | 80 45 | 80 E8 80 45 | 80 63 80 04 | 80 EE 80 07 | 80 6C 80 01", "\r\n<",
         false},
        {"ASCII takes its own end of line",
         [](Settings& s, ModemIdentity&, TerminalState& t) {
             t.OperatingMode = kModeAscii;
             s.S_EndOfLine = "CR";
         },
         "80 67 80 00 | 80 45 | 80 E8 80 45 | 80 63 80 04 | 80 EE 80 07 | 80 6C 80 01", "\r",
         false},
    };
    for (const Case& c : cases) {
        Settings s = Defaults();
        ModemIdentity id;
        TerminalState terminal;
        c.change(s, id, terminal);
        std::vector<Bytes> sent;
        const auto outcome =
            SendInitialModemSettings(s, id, terminal, [&](const Bytes& b) { sent.push_back(b); });
        EXPECT_EQ(Hex(sent), c.commands) << c.name;
        EXPECT_EQ(terminal.EndOfLineText, c.endOfLine) << c.name;
        EXPECT_EQ(outcome.escapeMode, c.escapeMode) << c.name;
    }
}

TEST(InitialSettings, PlacesThePrintSquelchMarkers) {
    const struct {
        int level;
        int left;
        bool hidden;
    } cases[] = {{69, 35, false}, {58, 5, false}, {57, 2, true}, {99, 116, false}, {0, -152, true}};
    for (const auto& c : cases) {
        Settings s = Defaults();
        s.PrintSquelchSetting = c.level;
        ModemIdentity id;
        TerminalState terminal;
        const auto outcome = SendInitialModemSettings(s, id, terminal, [](const Bytes&) {});
        EXPECT_EQ(outcome.squelchMarkerLeft, c.left) << c.level;
        EXPECT_EQ(outcome.squelchMarkersHidden, c.hidden) << c.level;
    }
}

} // namespace
