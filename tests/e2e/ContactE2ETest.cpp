// Whole contacts between two Tarvis stations on one simulated channel: one station calls the
// other through the call dialog, text typed at one end reaches the other and comes back to its
// sender as echo, and the link is ended from the tool bar.
#include "config/Jw_utils.h"
#include "link/PosixSerialPort.h"
#include "modes/CallPanel.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "shell/Panels.h"
#include "shell/Splash.h"
#include "shell/Unit1.h"
#include "tests/e2e/TwoStations.h"
#include "tests/support/FakeSoundCardEngine.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/ScriptedDialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace tarvis;
using namespace tarvis::test;

namespace {

// The colour the pane shows at the first character of `text`; invalid when it is not there.
QColor ColourOf(const QTextEdit& pane, const QString& text) {
    const int at = static_cast<int>(pane.toPlainText().indexOf(text));
    if (at < 0) {
        return {};
    }
    QTextCursor cursor(pane.document());
    cursor.setPosition(at + 1);
    return cursor.charFormat().foreground().color();
}

TEST_F(Contact, MirvolCallTextEchoAndDisconnect) {
    CallFromA(stationA->bars.butMVLConnect);
    EXPECT_EQ(stationA->StatusPaneText(1), QStringLiteral("Calling BB2BB"));
    ASSERT_TRUE(WaitFor([&] { return BothLinked(); }));
    EXPECT_EQ(stationA->StatusPaneText(1), QStringLiteral("Linked to BB2BB"));
    EXPECT_EQ(stationB->StatusPaneText(1), QStringLiteral("Linked to AA1AA"));
    EXPECT_TRUE(stationA->bars.butMVLDisconnect->isEnabled());

    // WORD mode: the line goes whole once finished; B receives it, A sees it echoed.
    Type(*stationA, QStringLiteral("HELLO FROM A\n"));
    ASSERT_TRUE(WaitFor([&] {
        return stationB->reRXData->toPlainText().contains(QStringLiteral("HELLO FROM A")) &&
               stationA->reRXData->toPlainText().contains(QStringLiteral("HELLO FROM A"));
    })) << stationB->reRXData->toPlainText().toStdString();
    EXPECT_EQ(ColourOf(*stationA->reRXData, QStringLiteral("HELLO FROM A")),
              ColorFromName(stationA->settings.EchoTextColor));
    EXPECT_EQ(ColourOf(*stationB->reRXData, QStringLiteral("HELLO FROM A")),
              ColorFromName(stationB->settings.ReceiveTextColor));
    EXPECT_TRUE(stationA->reTXData->toPlainText().isEmpty());

    // B answers over the same link.
    Type(*stationB, QStringLiteral("GOOD DAY B\n"));
    ASSERT_TRUE(WaitFor(
        [&] { return stationA->reRXData->toPlainText().contains(QStringLiteral("GOOD DAY B")); }));
    Shoot(QStringLiteral("mirvol-contact"));

    // Nothing waiting: Disconn sends 80 07 at once.
    stationA->bars.butMVLDisconnect->trigger();
    EXPECT_TRUE(stationA->DisconnectPanel->isVisible());
    ASSERT_TRUE(WaitFor([&] { return BothStandby(); }));
    EXPECT_GE(LogIndex(QStringLiteral("80 07")), 0);
    EXPECT_FALSE(stationA->bars.butMVLDisconnect->isEnabled());
}

TEST_F(Contact, MirvolDisconnectRequestLeavesAfterTheTypedText) {
    CallFromA(stationA->bars.butMVLConnect);
    ASSERT_TRUE(WaitFor([&] { return BothLinked(); }));
    // Typed and not yet released (no blank after the last word), then Disconn at once.
    Type(*stationA, QStringLiteral("73 GOOD BYE"));
    stationA->bars.butMVLDisconnect->trigger();
    EXPECT_EQ(stationA->reTXData->toPlainText().left(18), QStringLiteral("73 GOOD BYE\nZZZZ\n\n"));
    ASSERT_TRUE(WaitFor([&] { return BothStandby(); }));
    // The end of the link can be handled before the display has written the last text (it
    // writes arrived text within a frame).
    EXPECT_TRUE(WaitFor(
        [&] { return stationB->reRXData->toPlainText().contains(QStringLiteral("73 GOOD BYE")); }));
    const int text = LogIndex(QStringLiteral("GOOD BYE"));
    const int end = LogIndex(QStringLiteral("80 07"));
    ASSERT_GE(text, 0);
    EXPECT_GT(end, text);
    EXPECT_FALSE(stationA->reTXData->toPlainText().contains(QStringLiteral("GOOD BYE")));
}

// The ARQ contact of AMTOR and P-Mode: A calls, sends, hands the link over with OVER, takes
// it back with Forced OVER while B is sending, and disconnects.
struct ArqContact {
    void (TForm1::*mode)();
    QAction* ModeToolBars::*connect;
    QAction* ModeToolBars::*over;
    QAction* ModeToolBars::*forcedOver;
    QAction* ModeToolBars::*disconnect;
    // What A does in the call dialog before Call.
    std::function<void(TCallPanel&)> choose;
    // The call command as the simulator logs it.
    const char* callCommand;
};

class ArqContacts : public Contact {
protected:
    void Run(const ArqContact& c) {
        (stationA.get()->*c.mode)();
        (stationB.get()->*c.mode)();
        ModeToolBars& barsA = stationA->bars;
        a.dialogs.onModal = [&](QDialog& d) {
            auto& panel = static_cast<TCallPanel&>(d);
            c.choose(panel);
            panel.butCall->click();
            return d.result();
        };
        (barsA.*c.connect)->trigger();
        ASSERT_TRUE(WaitFor([&] { return BothLinked(); }))
            << stationA->StatusPaneText(1).toStdString();
        EXPECT_GE(LogIndex(QLatin1String(c.callCommand)), 0);
        ASSERT_TRUE(WaitFor([&] { return stationA->linkStatus.stationRole == 2; }));

        Type(*stationA, QStringLiteral("FIRST FROM A\n"));
        ASSERT_TRUE(WaitFor([&] {
            return stationB->reRXData->toPlainText().contains(QStringLiteral("FIRST FROM A"));
        })) << stationB->reRXData->toPlainText().toStdString();

        // OVER: the changeover request goes after the text; B becomes the sending side.
        (barsA.*c.over)->trigger();
        ASSERT_TRUE(WaitFor([&] {
            return stationA->linkStatus.stationRole == 1 && stationB->linkStatus.stationRole == 2;
        }));
        Type(*stationB, QStringLiteral("REPLY FROM B\n"));
        ASSERT_TRUE(WaitFor([&] {
            return stationA->reRXData->toPlainText().contains(QStringLiteral("REPLY FROM B"));
        })) << stationA->reRXData->toPlainText().toStdString();
        Shoot(QString::fromLatin1(testing::UnitTest::GetInstance()->current_test_info()->name()));

        // Forced OVER from the receiving side takes the link back at once.
        ASSERT_TRUE((barsA.*c.forcedOver)->isEnabled());
        (barsA.*c.forcedOver)->trigger();
        EXPECT_EQ(stationA->OverBox->text(), QStringLiteral(" Forced OVER "));
        ASSERT_TRUE(WaitFor([&] {
            return stationA->linkStatus.stationRole == 2 && stationB->linkStatus.stationRole == 1;
        }));
        EXPECT_GE(LogIndex(QStringLiteral("80 87")), 0);

        (barsA.*c.disconnect)->trigger();
        ASSERT_TRUE(WaitFor([&] { return BothStandby(); }));
    }
};

TEST_F(ArqContacts, Amtor476) {
    Run({&TForm1::mnuCodeAmtorClick, &ModeToolBars::butAmtorConnect, &ModeToolBars::butAmtorOver,
         &ModeToolBars::butAmtorForcedOver, &ModeToolBars::butAmtorDisconnect,
         [](TCallPanel& p) { EXPECT_EQ(p.CallBox->currentText(), QStringLiteral("BBBB")); },
         "80 16"});
}

TEST_F(ArqContacts, Amtor625) {
    Run({&TForm1::mnuCodeAmtorClick, &ModeToolBars::butAmtorConnect, &ModeToolBars::butAmtorOver,
         &ModeToolBars::butAmtorForcedOver, &ModeToolBars::butAmtorDisconnect,
         [](TCallPanel& p) { p.CallBox->setEditText(QStringLiteral("BBBBBBB")); }, "80 17"});
}

TEST_F(ArqContacts, PModeShortPath) {
    Run({&TForm1::mnuCodePModeClick, &ModeToolBars::butPModeConnect, &ModeToolBars::butPModeOver,
         &ModeToolBars::butPModeForcedOver, &ModeToolBars::butPModeDisconnect,
         [](TCallPanel& p) { EXPECT_TRUE(p.butShortPath->isChecked()); }, "80 19"});
}

TEST_F(ArqContacts, PModeLongPath) {
    Run({&TForm1::mnuCodePModeClick, &ModeToolBars::butPModeConnect, &ModeToolBars::butPModeOver,
         &ModeToolBars::butPModeForcedOver, &ModeToolBars::butPModeDisconnect,
         [](TCallPanel& p) { p.butLongPath->click(); }, "80 1A"});
}

// RTTY has no link: what one station types goes straight to the air and the other prints it.
class RttyExchange : public Contact {
protected:
    void Run(void (TForm1::*mode)()) {
        (stationA.get()->*mode)();
        (stationB.get()->*mode)();
        // The disconnect request typed after the call ends A's transmission once the call
        // has gone.
        Type(*stationA, QStringLiteral("CQ CQ DE AA1AA"));
        stationA->butDisconnectClick();
        ASSERT_TRUE(WaitFor([&] {
            return stationB->reRXData->toPlainText().contains(QStringLiteral("CQ CQ DE AA1AA"));
        })) << stationB->reRXData->toPlainText().toStdString();
        ASSERT_TRUE(WaitFor([&] { return LogIndex(QStringLiteral("80 07")) >= 0; }));
        EXPECT_GT(LogIndex(QStringLiteral("80 07")), LogIndex(QStringLiteral("DE AA1AA")));
        // What follows the third Z (the fourth and the line ends) goes too; B answers once
        // all of it has been echoed.
        ASSERT_TRUE(WaitFor([&] {
            return stationA->reTXData->document()->isEmpty() &&
                   stationA->Pump().InFlight().Count() == 0 && !stationA->Link().Flags().echo;
        }));
        Type(*stationB, QStringLiteral("AA1AA DE BB2BB\n"));
        ASSERT_TRUE(WaitFor([&] {
            return stationA->reRXData->toPlainText().contains(QStringLiteral("AA1AA DE BB2BB"));
        })) << stationA->reRXData->toPlainText().toStdString();
    }
};

TEST_F(RttyExchange, Baudot) {
    Run(&TForm1::mnuCodeBaudotClick);
}
TEST_F(RttyExchange, Ascii) {
    Run(&TForm1::mnuCodeAsciiClick);
}

} // namespace
