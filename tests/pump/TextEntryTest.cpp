#include "platform/Sound.h"
#include "tests/pump/PumpStation.h"
#include "tests/support/RecordingSound.h"

#include <QTest>
#include <gtest/gtest.h>

namespace tarvis::test {
namespace {

// A transmit pane with "ABCDEFG" typed and three characters released by the pump in CHAR mode.
struct GuardedPane : PumpStation {
    explicit GuardedPane(int released = 3) {
        Setup(kModeAmtor, kTextEntryChar);
        Type("ABCDEFG");
        Run(released);
        terminal.TxEnabled = false;
    }
    void PlaceCaret(int position, int anchor = -1) {
        QTextCursor cursor = edit.textCursor();
        cursor.setPosition(anchor < 0 ? position : anchor);
        if (anchor >= 0) {
            cursor.setPosition(position, QTextCursor::KeepAnchor);
        }
        edit.setTextCursor(cursor);
    }
    RecordingSound sound;
    bool sendingBinary = false;
    TransmitKeyGuard* guard = new TransmitKeyGuard(
        TransmitKeyGuard::Context{edit, pump, settings, sound, [this] { return sendingBinary; }});
};

struct GuardCase {
    const char* name;
    int caret;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool beeps;
    // The pane's text and caret after the key.
    const char* text;
    int caretAfter;
};

class EditingGuard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(EditingGuard, KeyAtTheSentBoundary) {
    const GuardCase& c = GetParam();
    GuardedPane p;
    ASSERT_EQ(p.pump.SentPosition(), 3);
    p.PlaceCaret(c.caret);
    QTest::keyClick(&p.edit, c.key, c.modifiers);
    EXPECT_EQ(p.edit.toPlainText(), QString::fromLatin1(c.text));
    EXPECT_EQ(p.edit.textCursor().position(), c.caretAfter);
    EXPECT_EQ(p.sound.played,
              c.beeps ? std::vector<std::string>{"exclamation"} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditingGuard,
    ::testing::Values(
        GuardCase{"BackspaceAfterReleased", 3, Qt::Key_Backspace, {}, true, "ABCDEFG", 3},
        GuardCase{"BackspaceAfterUnreleased", 4, Qt::Key_Backspace, {}, false, "ABCEFG", 3},
        GuardCase{"LeftAtBoundary", 3, Qt::Key_Left, {}, true, "ABCDEFG", 3},
        GuardCase{"LeftPastBoundary", 4, Qt::Key_Left, {}, false, "ABCDEFG", 3},
        GuardCase{"HomeAtBoundary", 3, Qt::Key_Home, {}, true, "ABCDEFG", 3},
        GuardCase{"HomeOneAfterBoundary", 4, Qt::Key_Home, {}, true, "ABCDEFG", 4},
        GuardCase{"HomeTwoAfterBoundary", 5, Qt::Key_Home, {}, false, "ABCDEFG", 0},
        GuardCase{"PageUpAtBoundary", 4, Qt::Key_PageUp, {}, true, "ABCDEFG", 4},
        GuardCase{"UpOnFirstLineBeeps", 6, Qt::Key_Up, {}, true, "ABCDEFG", 6},
        GuardCase{"DownOnLastCountedLine", 5, Qt::Key_Down, {}, false, "ABCDEFG", 5},
        GuardCase{"EndAllowed", 3, Qt::Key_End, {}, false, "ABCDEFG", 7},
        GuardCase{"RightAllowed", 2, Qt::Key_Right, {}, false, "ABCDEFG", 3},
        GuardCase{"TypingAtBoundary", 3, Qt::Key_X, {}, false, "ABCxDEFG", 4},
        GuardCase{"TypingInsideReleased", 1, Qt::Key_X, {}, true, "ABCDEFG", 1},
        GuardCase{"DeleteInsideReleased", 2, Qt::Key_Delete, {}, true, "ABCDEFG", 2},
        GuardCase{"DeleteAtBoundary", 3, Qt::Key_Delete, {}, false, "ABCEFG", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditingGuardRules, SelectionReachingIntoReleasedTextIsNotEdited) {
    GuardedPane p;
    p.PlaceCaret(5, 1);
    QTest::keyClick(&p.edit, Qt::Key_Backspace);
    EXPECT_EQ(p.edit.toPlainText(), "ABCDEFG");
    p.PlaceCaret(5, 3);
    QTest::keyClick(&p.edit, Qt::Key_Backspace);
    EXPECT_EQ(p.edit.toPlainText(), "ABCFG");
}

TEST(EditingGuardRules, EveryKeyWhileABinaryFileIsSent) {
    GuardedPane p;
    p.sendingBinary = true;
    p.PlaceCaret(3);
    QTest::keyClick(&p.edit, Qt::Key_Backspace);
    EXPECT_EQ(p.edit.toPlainText(), "ABDEFG");
    EXPECT_TRUE(p.sound.played.empty());
}

TEST(EditingGuardRules, DownBelowTheCountedLines) {
    const CaretPlace lastLine{10, 10, 1, 2};
    const CaretPlace trailingEmptyLine{10, 10, 2, 2};
    EXPECT_EQ(GuardKey(Qt::Key_Down, false, lastLine, 0), KeyVerdict::Allow);
    EXPECT_EQ(GuardKey(Qt::Key_Down, false, trailingEmptyLine, 0), KeyVerdict::AllowWithBeep);
    GuardedPane p(0);
    p.Type("\n");
    EXPECT_EQ(CaretPlaceOf(p.edit).countedLines, 1);
    EXPECT_EQ(CaretPlaceOf(p.edit).line, 1);
}

TEST(EditingGuardRules, TypedTextTakesTheTypingColour) {
    GuardedPane p;
    p.PlaceCaret(7);
    p.edit.setTextColor(QColor(0, 255, 0));
    QTest::keyClick(&p.edit, Qt::Key_X);
    QTextCursor cursor(p.edit.document());
    cursor.setPosition(8);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(0, 0, 255));
}

TEST(EditingGuardRules, UndoOnlyBeforeAnythingIsReleased) {
    GuardedPane released;
    QTest::keyClick(&released.edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(released.edit.toPlainText(), "ABCDEFG");
    EXPECT_EQ(released.sound.played, std::vector<std::string>{"exclamation"});

    GuardedPane fresh(0);
    QTest::keyClick(&fresh.edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(fresh.edit.toPlainText(), "");
}

struct Panes : PumpStation {
    QTextEdit receive;
    int receiveResets = 0;
    ClearContext Context() {
        return ClearContext{receive,  edit, pump,     modem,
                            settings, link, terminal, [this] { ++receiveResets; }};
    }
};

TEST(ClearPanes, ClearTxStartsTheNextLineFromItsFirstCharacter) {
    Panes p;
    p.Setup(kModeAmtor, kTextEntryChar);
    p.receive.setPlainText("heard");
    p.Type("ABCDE");
    p.Run(3);
    ClearTX(p.Context());
    EXPECT_EQ(p.edit.toPlainText(), "");
    EXPECT_EQ(p.receive.toPlainText(), "heard");
    // Typed before the next TxReady: nothing of it may be skipped.
    p.Type("NEW TEXT");
    EXPECT_EQ(p.Run(3), "NEW");
    EXPECT_EQ(p.modem.wire, "NEW");
}

TEST(ClearPanes, SyncIdleSendsTheEndOfLineWhileTransmitting) {
    struct Case {
        const char* baudot;
        const char* ascii;
        bool transmitting;
        bool sends;
    };
    for (const Case& c : {Case{"ON", "OFF", true, true}, Case{"OFF", "on", true, true},
                          Case{"ON", "ON", false, false}, Case{"OFF", "OFF", true, false}}) {
        for (int which = 0; which < 3; ++which) {
            Panes p;
            p.settings.B_SyncIdle = c.baudot;
            p.settings.S_SyncIdle = c.ascii;
            p.link.transmitting = c.transmitting;
            p.terminal.EndOfLineText = Bytes("\r\r\n");
            p.receive.setPlainText("rx");
            p.edit.setPlainText("tx");
            if (which == 0) {
                ClearAll(p.Context());
            } else if (which == 1) {
                ClearTX(p.Context());
            } else {
                ClearRX(p.Context());
            }
            const bool sends = c.sends && which != 2;
            EXPECT_EQ(p.modem.wire, sends ? "\r\r\n" : "") << c.baudot << c.ascii << which;
            EXPECT_EQ(p.receive.toPlainText().isEmpty(), which != 1);
            EXPECT_EQ(p.receiveResets, which != 1 ? 1 : 0);
            EXPECT_EQ(p.edit.toPlainText().isEmpty(), which != 2);
        }
    }
}

TEST(EchoSwitch, OnExactlyBecomesOff) {
    Settings settings;
    settings.EchoEnable = "ON";
    EXPECT_FALSE(ToggleEchoEnable(settings));
    EXPECT_EQ(settings.EchoEnable, "OFF");
    EXPECT_TRUE(ToggleEchoEnable(settings));
    EXPECT_EQ(settings.EchoEnable, "ON");
    settings.EchoEnable = "on";
    EXPECT_TRUE(ToggleEchoEnable(settings));
    EXPECT_EQ(settings.EchoEnable, "ON");
}

} // namespace
} // namespace tarvis::test
