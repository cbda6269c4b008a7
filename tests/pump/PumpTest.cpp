#include "tests/pump/PumpStation.h"

#include <gtest/gtest.h>

namespace tarvis::test {
namespace {

const Bytes kEndOfTransmission("\x80\x07", 2);

struct PumpCase {
    const char* name;
    int mode;
    int entry;
    bool txEnabled;
    bool linked;
    const char* typed;
    int passes;
    Bytes wire;
    // What stays in the pane.
    const char* pane;
};

class PumpRules : public ::testing::TestWithParam<PumpCase> {};

TEST_P(PumpRules, ReleasesExactlyTheseBytes) {
    const PumpCase& c = GetParam();
    PumpStation s;
    s.terminal.OperatingMode = c.mode;
    s.terminal.TextEntryMode = c.entry;
    s.terminal.TxEnabled = c.txEnabled;
    s.link.linkEstablished = c.linked;
    s.Type(QString::fromLatin1(c.typed));
    EXPECT_EQ(s.Run(c.passes), c.wire);
    EXPECT_EQ(s.edit.toPlainText(), QString::fromLatin1(c.pane));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PumpRules,
    ::testing::Values(
        PumpCase{"WordWithoutBlank", kModeAmtor, kTextEntryWord, true, true, "HELLO", 5, "",
                 "HELLO"},
        PumpCase{"WordUpToBlank", kModeAmtor, kTextEntryWord, true, true, "HELLO W", 10, "HELLO ",
                 "HELLO W"},
        PumpCase{"WordLineBreakReleasesAll", kModeAmtor, kTextEntryWord, true, true, "HELLO W\n",
                 10, "HELLO W\r\n", ""},
        PumpCase{"LineWaitsForEnter", kModeAmtor, kTextEntryLine, true, true, "CQ CQ", 6, "",
                 "CQ CQ"},
        PumpCase{"LineAfterEnter", kModeAmtor, kTextEntryLine, true, true, "CQ CQ\nDE", 8,
                 "CQ CQ\r\n", "DE"},
        PumpCase{"CharTxDisabled", kModeAmtor, kTextEntryChar, false, true, "abc", 5, "", "abc"},
        PumpCase{"MirvolUnlinkedChar", kModeMirvol, kTextEntryChar, true, false, "abc", 5, "",
                 "abc"},
        PumpCase{"MirvolUnlinkedLine", kModeMirvol, kTextEntryWord, true, false, "abc def\n", 5, "",
                 "abc def\n"},
        PumpCase{"MirvolLinkedLineInOnePiece", kModeMirvol, kTextEntryWord, true, true,
                 "HELLO WORLD\nNEXT", 1, "HELLO WORLD", "HELLO WORLD\nNEXT"},
        PumpCase{"MirvolLinkedLineThenEndOfLine", kModeMirvol, kTextEntryWord, true, true,
                 "HELLO WORLD\nNEXT", 2, "HELLO WORLD\r\n", "NEXT"},
        PumpCase{"AmtorUnlinked", kModeAmtor, kTextEntryChar, true, false, "abc\n", 5, "", "abc\n"},
        PumpCase{"PModeUnlinked", kModePMode, kTextEntryChar, true, false, "abc", 5, "", "abc"},
        PumpCase{"BaudotNeedsNoLink", kModeBaudot, kTextEntryChar, true, false, "ry", 2, "ry",
                 "ry"},
        PumpCase{"ThreeZ", kModeAmtor, kTextEntryChar, true, true, "zZz", 3,
                 "zZz" + kEndOfTransmission, "zZz"},
        PumpCase{"ZZAZ", kModeAmtor, kTextEntryChar, true, true, "zzaz", 4, "zzaz", "zzaz"},
        PumpCase{"BaudotWaitsOnce", kModeBaudot, kTextEntryWord, true, false, "HI", 4,
                 Bytes("\x80\x8E", 2), "HI"},
        PumpCase{"AsciiWaitsOnce", kModeAscii, kTextEntryLine, true, false, "HI", 4,
                 Bytes("\x80\x8E", 2), "HI"},
        PumpCase{"PrefixBytesGoAsLiterals", kModeMirvol, kTextEntryChar, true, true, "a\x80\x81", 3,
                 Bytes("a\x81\x80\x81\x81", 5), "a\x80\x81"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Pump, BaudotWaitMarksTheModemTransmittingAndIsNotRepeated) {
    PumpStation s;
    s.Setup(kModeBaudot, kTextEntryWord, false);
    s.Type("CQ");
    EXPECT_EQ(s.Run(1), Bytes("\x80\x8E", 2));
    EXPECT_TRUE(s.link.transmitting);
    s.Type(" ");
    EXPECT_EQ(s.Run(2), "");
    s.Type("D");
    EXPECT_EQ(s.Run(5), "CQ ");
}

TEST(Pump, EndOfLineTextFollowsTheLineAndIsCounted) {
    PumpStation s;
    s.Setup(kModeAmtor, kTextEntryLine);
    s.terminal.EndOfLineText = Bytes("\r\n<");
    s.echoAll = false;
    s.Type("RY\n");
    EXPECT_EQ(s.Run(3), "RY\r\n<");
    // '<' is not a Baudot character: the modem does not echo it.
    EXPECT_EQ(s.pump.InFlight().Count(), 4);
    EXPECT_EQ(s.edit.toPlainText(), "");
    EXPECT_EQ(s.pump.SentPosition(), 0);
}

TEST(Pump, FlowLimitsHoldUntilEchoesBringTheCountDown) {
    PumpStation s;
    s.Setup(kModeMirvol, kTextEntryChar);
    s.echoAll = false;
    s.Type("ab");
    s.pump.InFlight().Add(501);
    EXPECT_EQ(s.Run(3), "");
    s.pump.InFlight().Echo('x');
    EXPECT_EQ(s.pump.InFlight().Count(), 500);
    EXPECT_EQ(s.Run(1), "a");
    EXPECT_EQ(s.pump.InFlight().Count(), 501);

    // Three unechoed in AMTOR still let one more go; four do not.
    PumpStation a;
    a.Setup(kModeAmtor, kTextEntryChar);
    a.echoAll = false;
    a.Type("abcdef");
    EXPECT_EQ(a.Run(6), "abcd");
    a.pump.InFlight().Echo('a');
    EXPECT_EQ(a.Run(6), "e");
}

TEST(Pump, EchoesLowerTheCountOnlyWhileItIsPositive) {
    BytesInFlight count;
    count.Add(3);
    count.Echo(0x81);
    EXPECT_EQ(count.Count(), 1);
    count.Echo(0x80);
    EXPECT_EQ(count.Count(), -1);
    count.Echo('a');
    EXPECT_EQ(count.Count(), -1);
    count.Reset();
    count.Echo('a');
    EXPECT_EQ(count.Count(), 0);
}

TEST(Pump, CountingRulesPerMode) {
    EXPECT_EQ(CountedCharacters(kModeMirvol, Bytes("a~\x7f\r\n\x01", 6)), 4);
    EXPECT_EQ(CountedCharacters(kModeAscii, "<%"), 2);
    EXPECT_EQ(CountedCharacters(kModeAmtor, "<%*;AZaz09"), 6);
    EXPECT_EQ(CountedCharacters(kModeBaudot, Bytes("\x00\x05\x07\x06", 4)), 3);
    EXPECT_EQ(CountedCharacters(kModePsk31, "abc"), 0);
    EXPECT_EQ(CountedCharacters(kModeMirvolBroadcast, "abc"), 0);
    EXPECT_EQ(FlowLimit(kModeMirvol), 500);
    EXPECT_EQ(FlowLimit(kModeAscii), 3);
    EXPECT_EQ(FlowLimit(kModeAmtorBroadcast), -1);
}

TEST(Pump, QueueAndLineChecks) {
    PumpStation s;
    s.Setup(kModeMirvol, kTextEntryChar);
    s.Type("abcdef");

    s.modem.pending = 3;
    EXPECT_EQ(s.Run(1), "");
    EXPECT_EQ(s.events.passes, 1);
    EXPECT_TRUE(s.modem.chunks.empty());
    s.modem.pending = 2;
    EXPECT_EQ(s.Run(2), "ab");
    // The chunk is set once, when it changes.
    EXPECT_EQ(s.modem.chunks, std::vector<int>{10});

    s.modem.pending = 0;
    s.modem.cts = false;
    EXPECT_EQ(s.Run(1), "");
    // In escape mode only the XOFF hold counts, not CTS.
    s.modem.escapeMode = true;
    EXPECT_EQ(s.Run(1), "c");
    s.modem.held = true;
    EXPECT_EQ(s.Run(1), "");

    s.modem.held = false;
    s.terminal.OperatingMode = kModeAmtor;
    s.modem.pending = 2;
    EXPECT_EQ(s.Run(1), "");
    s.modem.pending = 1;
    EXPECT_EQ(s.Run(1), "d");
    EXPECT_EQ(s.modem.chunks, (std::vector<int>{10, 1}));
}

TEST(Pump, SentTextIsHighlightedAndTypingColourRestored) {
    PumpStation s;
    s.Setup(kModeAmtor, kTextEntryWord);
    s.Type("HELLO W");
    s.Run(10);
    const QColor red(255, 0, 0);
    for (int i = 0; i < 7; ++i) {
        QTextCursor cursor(s.edit.document());
        cursor.setPosition(i + 1);
        EXPECT_EQ(cursor.charFormat().foreground().color() == red, i < 6) << "character " << i;
    }
    EXPECT_EQ(s.edit.textCursor().position(), 7);
    EXPECT_EQ(s.edit.textColor(), QColor(0, 0, 255));
    // Released text cannot be brought back by undo.
    EXPECT_FALSE(s.edit.document()->isUndoAvailable());
}

TEST(Pump, BusyPassTurnsAwayASecondTxReady) {
    struct ReentrantEvents final : EventPump {
        TransmitPump* pump = nullptr;
        void ProcessPendingEvents() override {
            if (pump != nullptr) {
                pump->OnTxReady();
            }
        }
    };
    PumpStation s;
    ReentrantEvents events;
    TransmitPump pump{TransmitPump::Context{s.pane, s.modem, &s.engine, s.terminal, s.link,
                                            s.settings, s.clock, events,
                                            [](int, const QString&) {}}};
    events.pump = &pump;
    s.Setup(kModePsk31, kTextEntryChar, false);
    s.Type("ab");
    // The keying delay lets events run; the TxReady arriving then must not release "b".
    pump.OnTxReady();
    EXPECT_EQ(s.modem.wire, Bytes("\x80\x8F", 2) + "a");
    EXPECT_FALSE(pump.Busy());
}

TEST(Pump, Psk31KeysBeforeTextAndUnkeysWhenAllIsSent) {
    PumpStation s;
    s.Setup(kModePsk31, kTextEntryChar, false);
    s.Type("ab");
    EXPECT_EQ(s.Run(1), Bytes("\x80\x8F", 2) + "a");
    EXPECT_EQ(s.panes[2], "TX");
    EXPECT_GE(s.clock.Elapsed(), 50);
    EXPECT_EQ(s.engine.Calls(), std::vector<std::string>{"StartTX"});
    EXPECT_TRUE(s.pump.PskTransmitting());
    EXPECT_EQ(s.pump.InFlight().Count(), 0);

    s.engine.charsRemaining = 2;
    EXPECT_EQ(s.Run(2), "");
    s.engine.charsRemaining = 1;
    EXPECT_EQ(s.Run(1), "b");

    // The whole line is out but the pane holds it: clear it as the operator would.
    s.edit.clear();
    s.modem.pskQueue = 1;
    EXPECT_EQ(s.Run(1), "");
    s.modem.pskQueue = 0;
    const auto before = s.clock.Elapsed();
    EXPECT_EQ(s.Run(1), Bytes("\x80\x05", 2));
    EXPECT_GE(s.clock.Elapsed() - before, 30);
    EXPECT_EQ(s.panes[2], "RX");
    EXPECT_FALSE(s.pump.PskTransmitting());
    EXPECT_EQ(s.engine.Calls(), (std::vector<std::string>{"StartTX", "StopTX"}));
    EXPECT_EQ(s.Run(3), "");
}

TEST(Pump, Psk31KeysWhileAWordIsStillBeingTyped) {
    PumpStation s;
    s.Setup(kModePsk31, kTextEntryWord, false);
    s.Type("CQ");
    EXPECT_EQ(s.Run(2), Bytes("\x80\x8F", 2));
    EXPECT_TRUE(s.pump.PskTransmitting());
}

TEST(Pump, LinesSentInOtherModesDoNotClaimTheSoundCardKeyed) {
    PumpStation s;
    s.Setup(kModeAmtor, kTextEntryLine);
    s.Type("A\n");
    EXPECT_EQ(s.Run(2), "A\r\n");
    EXPECT_FALSE(s.pump.PskTransmitting());
    // An empty line in PSK31 keys the transmitter before its end-of-line text.
    s.terminal.OperatingMode = kModePsk31;
    s.Type("\n");
    EXPECT_EQ(s.Run(1), Bytes("\x80\x8F", 2) + "\r\n");
}

TEST(Pump, DrainWaitAfterAReply) {
    PumpStation s;
    s.Setup(kModeMirvol, kTextEntryChar);
    s.Type("a");
    s.pump.binary.awaitingReply = true;
    s.modem.pending = 1;
    EXPECT_EQ(s.Run(1), "");
    EXPECT_TRUE(s.pump.DrainWait());
    s.pump.binary.awaitingReply = false;
    EXPECT_EQ(s.Run(1), "");
    s.modem.pending = 0;
    EXPECT_EQ(s.Run(1), "");
    EXPECT_FALSE(s.pump.DrainWait());
    EXPECT_EQ(s.Run(1), "a");
}

TEST(Pump, BinaryDataStepGoesWhenTheQueueIsEmpty) {
    PumpStation s;
    s.terminal.OperatingMode = kModeMirvol;
    s.echoAll = false;
    s.Type("typed");
    s.terminal.TxEnabled = true;
    s.link.linkEstablished = true;
    int steps = 0;
    bool finished = false;
    s.pump.binary.sendingData = true;
    s.pump.binary.finished = [&] { return finished; };
    s.pump.binary.dataStep = [&] {
        ++steps;
        return Bytes("\x81\x80QZ", 4);
    };
    s.modem.pending = 1;
    EXPECT_EQ(s.Run(1), "");
    s.modem.pending = 0;
    EXPECT_EQ(s.Run(1), Bytes("\x81\x80QZ", 4));
    EXPECT_EQ(s.pump.InFlight().Count(), 4);
    finished = true;
    EXPECT_EQ(s.Run(2), "");
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(s.edit.toPlainText(), "typed");
}

TEST(Pump, TextFileCharactersUntilItsSize) {
    PumpStation s;
    s.terminal.OperatingMode = kModeAmtor;
    s.echoAll = false;
    const std::string file = "Z;";
    std::size_t next = 0;
    int finishedCalls = 0;
    s.pump.textFile.sending = true;
    s.pump.textFile.fileSize = static_cast<std::int64_t>(file.size());
    s.pump.textFile.nextCharacter = [&] { return static_cast<std::uint8_t>(file.at(next++)); };
    s.pump.textFile.finished = [&] { ++finishedCalls; };
    s.modem.pending = 1;
    EXPECT_EQ(s.Run(1), "");
    s.modem.pending = 0;
    EXPECT_EQ(s.Run(1), "Z");
    EXPECT_EQ(s.pump.textFile.sentCount, 1);
    EXPECT_EQ(finishedCalls, 0);
    EXPECT_EQ(s.Run(1), ";");
    EXPECT_EQ(finishedCalls, 1);
    EXPECT_FALSE(s.pump.textFile.sending);
    EXPECT_EQ(s.pump.textFile.sentCount, 0);
    EXPECT_EQ(s.pump.textFile.sentDisplayCount, 2);
    // ';' is no Baudot character: only the Z is waiting for its echo.
    EXPECT_EQ(s.pump.InFlight().Count(), 1);
    EXPECT_EQ(s.Run(2), "");
}

} // namespace
} // namespace tarvis::test
