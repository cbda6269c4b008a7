// The link controls of the mode tool bars against a started station on the in-process port:
// the call dialog per mode and the exact bytes each operation puts on the port.
#include "modes/CallPanel.h"
#include "modes/LinkOperations.h"
#include "shell/Panels.h"
#include "shell/Splash.h"
#include "shell/Unit1.h"
#include "tests/links/StartedStation.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <chrono>
#include <thread>

using namespace tarvis;
using namespace tarvis::test;

namespace {

QStringList Items(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) {
        items << box.itemText(i);
    }
    return items;
}

class Links : public StartedStation {
protected:
    // Opens the call dialog with Connect; `inside` acts on it while it is shown.
    void Connect(const std::function<void(TCallPanel&)>& inside) {
        dialogs.onModal = [&](QDialog& d) {
            inside(static_cast<TCallPanel&>(d));
            return d.result();
        };
        form->bars.butMVLConnect->trigger();
    }
};

struct DialogCase {
    const char* name;
    void (TForm1::*mode)();
    int height;
    int bevel;
    bool radios;
    const char* longCaption;
    const char* shortCaption;
    bool shortChecked;
    QStringList list;
};

class CallDialog : public Links, public testing::WithParamInterface<DialogCase> {};

TEST_P(CallDialog, IsPreparedForTheMode) {
    const DialogCase& c = GetParam();
    Start("[callsigns]\r\nHISCALLLIST=W1AW,\"K1 ABC\",DL0XX\r\nHISCALL476LIST=QQQQ,PPPP\r\n");
    Mode(c.mode);
    form->move(120, 90);
    bool shown = false;
    Connect([&](TCallPanel& p) {
        shown = true;
        EXPECT_EQ(p.windowTitle(), QStringLiteral("Select call"));
        EXPECT_EQ(p.height(), c.height);
        EXPECT_EQ(p.CallBevel->height(), c.bevel);
        EXPECT_EQ(p.butLongPath->isVisibleTo(&p), c.radios);
        EXPECT_EQ(p.butShortPath->isVisibleTo(&p), c.radios);
        EXPECT_FALSE(p.Panel1->isVisibleTo(&p));
        if (c.radios) {
            EXPECT_EQ(p.butLongPath->text(), QLatin1String(c.longCaption));
            EXPECT_EQ(p.butShortPath->text(), QLatin1String(c.shortCaption));
            EXPECT_EQ(p.butShortPath->isChecked(), c.shortChecked);
            EXPECT_EQ(p.butLongPath->isChecked(), !c.shortChecked);
        }
        EXPECT_EQ(Items(*p.CallBox), c.list);
        EXPECT_EQ(p.CallBox->currentText(), c.list.first());
        EXPECT_EQ(p.pos(), QPoint(170, 140));
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(dialogs.modalDialogs, std::vector<QString>{QStringLiteral("Select call")});
    EXPECT_TRUE(form->terminal.CallIndexValid);
    EXPECT_EQ(Wire(), ""); // opening the dialog sends nothing
}

const QStringList kSorted = {QStringLiteral("DL0XX"), QStringLiteral("K1 ABC"),
                             QStringLiteral("W1AW")};

INSTANTIATE_TEST_SUITE_P(Modes, CallDialog,
                         testing::Values(DialogCase{"Mirvol", &TForm1::mnuCodeMirvolClick, 135, 97,
                                                    true, "Adaptive", "Manual", false, kSorted},
                                         DialogCase{"PMode", &TForm1::mnuCodePModeClick, 135, 97,
                                                    true, "Long path", "Short path", true, kSorted},
                                         DialogCase{
                                             "Amtor",
                                             &TForm1::mnuCodeAmtorClick,
                                             120,
                                             83,
                                             false,
                                             "",
                                             "",
                                             false,
                                             {QStringLiteral("PPPP"), QStringLiteral("QQQQ")}},
                                         DialogCase{"Baudot", &TForm1::mnuCodeBaudotClick, 120, 83,
                                                    false, "", "", false, kSorted}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Links, MirvolManualCallSendsTheChosenWaveformBeforeTheCall) {
    Start("[callsigns]\r\nMYCALL=AA1AA\r\nHISCALLLIST=BB2BB\r\n");
    Connect([&](TCallPanel& p) {
        EXPECT_EQ(p.WaveFormatList->currentText(), QStringLiteral("BPSM"));
        p.butShortPath->click(); // "Manual"
        EXPECT_EQ(p.height(), 340);
        EXPECT_TRUE(p.Panel1->isVisibleTo(&p));
        p.WaveFormatList->setCurrentIndex(p.WaveFormatList->findText(QStringLiteral("8PSM")));
        p.butCall->click();
    });
    EXPECT_EQ(Wire(), "80 44 80 64 80 E1 80 10" + TextParameter("BB2BB"));
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("Calling BB2BB"));
    EXPECT_EQ(form->settings.HISCALL, QStringLiteral("BB2BB"));
    EXPECT_EQ(form->bars.butMVLHisDeMY->toolTip(), QStringLiteral("BB2BB de AA1AA"));
    for (QAction* panic :
         {form->bars.butMVLPanic, form->bars.butAmtorPanic, form->bars.butPModePanic}) {
        EXPECT_TRUE(panic->isEnabled());
    }
    EXPECT_EQ(form->terminal.BaseMode, kModeMirvol);

    // The call type stays manual: the next opening shows the waveform panel, and back to
    // adaptive sends 80 54. The other connect bias calls with 80 11.
    form->settings.ConnectBias = QStringLiteral("NORMAL");
    Connect([&](TCallPanel& p) {
        EXPECT_EQ(p.height(), 340);
        EXPECT_TRUE(p.butShortPath->isChecked());
        p.butLongPath->click();
        EXPECT_EQ(p.height(), 135);
        EXPECT_FALSE(p.Panel1->isVisibleTo(&p));
        p.butCall->click();
    });
    EXPECT_EQ(Wire(), "80 54 80 11" + TextParameter("BB2BB"));
}

TEST(Waveforms, EachEntryHasItsModulationCode) {
    const std::uint8_t codes[] = {0x99, 0x9D, 0xE1, 0xE5, 0xE9, 0xED};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(WaveformCode(i), codes[i]) << i;
    }
    EXPECT_EQ(WaveformCode(-1), 0x99);
    EXPECT_EQ(WaveformCode(6), 0x99);
}

TEST_F(Links, PanicWorksBeforeTheStartWindowsExist) {
    TForm1 bare(MakeEnvironment());
    bare.reTXData->setPlainText(QStringLiteral("TEXT"));
    bare.PanicReset();
    bare.butConnectClick();
    EXPECT_TRUE(bare.reTXData->toPlainText().isEmpty());
    EXPECT_TRUE(dialogs.modalDialogs.empty());
}

TEST_F(Links, AManualCallWithNoWaveformPickedGoesAsBpsm) {
    Start();
    Connect([&](TCallPanel& p) {
        p.butShortPath->click();
        p.butCall->click();
    });
    EXPECT_EQ(Wire(), "80 44 80 64 80 99 80 10" + TextParameter("HISCALL"));
}

TEST_F(Links, CancelSendsAdaptiveAndCallsNobody) {
    Start();
    const QString standby = form->StatusPaneText(1);
    Connect([&](TCallPanel& p) { p.CancelBtn->click(); });
    EXPECT_EQ(Wire(), "80 54");
    EXPECT_EQ(form->StatusPaneText(1), standby);
}

TEST_F(Links, AmtorCallsBySelcallLengthAndStoresOnlyShortTypedCalls) {
    Start("[callsigns]\r\nMYCALL476=MINE\r\nMYCALL625=MINEABC\r\n");
    Mode(&TForm1::mnuCodeAmtorClick);
    Connect([&](TCallPanel& p) {
        p.CallBox->lineEdit()->clear();
        QTest::keyClicks(p.CallBox->lineEdit(), QStringLiteral("abcdefg"));
        EXPECT_EQ(p.CallBox->currentText(), QStringLiteral("ABCDEFG"));
        EXPECT_TRUE(p.CallTyped);
        p.butCall->click();
    });
    EXPECT_EQ(Wire(), "80 17" + TextParameter("ABCDEFG"));
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("Calling ABCDEFG"));
    EXPECT_EQ(form->settings.HISCALL625, QStringLiteral("ABCDEFG"));
    EXPECT_EQ(form->settings.HISCALL476LIST, QStringLiteral("SCALL"));
    EXPECT_EQ(form->bars.butAmtorHISdeMY->toolTip(), QStringLiteral("ABCDEFG de MINEABC"));
    EXPECT_TRUE(form->ConfigChanged);

    // A four-letter call replaces the factory placeholder in the stored list.
    Connect([&](TCallPanel& p) {
        p.CallBox->lineEdit()->clear();
        QTest::keyClicks(p.CallBox->lineEdit(), QStringLiteral("wxyz"));
        p.butCall->click();
    });
    EXPECT_EQ(Wire(), "80 16" + TextParameter("WXYZ"));
    EXPECT_EQ(form->settings.HISCALL476, QStringLiteral("WXYZ"));
    EXPECT_EQ(form->settings.HISCALL476LIST, QStringLiteral("WXYZ"));
    EXPECT_EQ(form->bars.butAmtorHISdeMY->toolTip(), QStringLiteral("WXYZ de MINE"));

    // Once a real call is stored, a new one joins it.
    Connect([&](TCallPanel& p) {
        EXPECT_EQ(p.CallBox->currentText(), QStringLiteral("WXYZ"));
        p.CallBox->lineEdit()->clear();
        QTest::keyClicks(p.CallBox->lineEdit(), QStringLiteral("ABCD"));
        p.butCall->click();
    });
    EXPECT_EQ(form->settings.HISCALL476LIST, QStringLiteral("ABCD,WXYZ"));
}

TEST_F(Links, TheLastCalledEntryIsOfferedAgainUntilTheNextModeSetUp) {
    Start("[callsigns]\r\nHISCALLLIST=AAA,BBB,CCC\r\n");
    Mode(&TForm1::mnuCodePModeClick);
    Connect([&](TCallPanel& p) {
        p.CallBox->setCurrentIndex(2);
        p.butLongPath->click();
        p.butCall->click();
    });
    EXPECT_EQ(Wire(), "80 1A" + TextParameter("CCC"));
    Connect([&](TCallPanel& p) {
        EXPECT_EQ(p.CallBox->currentText(), QStringLiteral("CCC"));
        EXPECT_TRUE(p.butShortPath->isChecked());
        p.butCall->click();
    });
    EXPECT_EQ(Wire(), "80 19" + TextParameter("CCC"));
    Mode(&TForm1::mnuCodePModeClick);
    Connect([&](TCallPanel& p) { EXPECT_EQ(p.CallBox->currentText(), QStringLiteral("AAA")); });
}

TEST_F(Links, AnRttyCallIsTextInThePaneNotACommand) {
    Start("[callsigns]\r\nMYCALL=AA1AA\r\nHISCALLLIST=W1AW\r\n[baudot]\r\nB_TXEnable=OFF\r\n");
    Mode(&TForm1::mnuCodeBaudotClick);
    Connect([&](TCallPanel& p) { p.butCall->click(); });
    EXPECT_EQ(form->reTXData->toPlainText(), QStringLiteral("W1AW DE AA1AA "));
    EXPECT_EQ(Wire(), ""); // transmit disabled: the pump holds the text
    EXPECT_EQ(form->bars.butBaudotHISdeMY->toolTip(), QStringLiteral("W1AW de AA1AA"));
    EXPECT_FALSE(form->bars.butMVLPanic->isEnabled());
    EXPECT_EQ(form->terminal.BaseMode, kModeBaudot);
}

TEST_F(Links, DisconnectSendsAtOnceOnlyWithAnEmptyPane) {
    Start();
    form->resize(800, 600);
    form->linkStatus.linkEstablished = true;
    form->terminal.TxEnabled = false; // the pump keeps what is typed
    Type(QStringLiteral("HELLO"));
    form->butDisconnectClick();
    EXPECT_EQ(form->reTXData->toPlainText(), QStringLiteral("HELLO\nZZZZ\n\n"));
    EXPECT_EQ(Wire(), "");

    form->reTXData->clear();
    form->butDisconnectClick();
    EXPECT_EQ(Wire(), "80 07");
    EXPECT_TRUE(form->DisconnectPanel->isVisible());
    EXPECT_EQ(form->DisconnectPanel->text(), QStringLiteral("Disconnect"));
    EXPECT_EQ(form->DisconnectPanel->pos(), QPoint(400 - form->DisconnectPanel->width() / 2,
                                                   300 - form->DisconnectPanel->height() / 2));
    EXPECT_EQ(form->WaitTimer->interval(), 1000);
    EXPECT_TRUE(form->WaitTimer->isActive());
}

TEST_F(Links, DisconnectOutsideALink) {
    Start();
    form->terminal.TxEnabled = false;
    // A MIRVOL broadcast keeps the panel longer.
    form->terminal.OperatingMode = kModeMirvolBroadcast;
    form->butDisconnectClick();
    EXPECT_EQ(Wire(), "80 07");
    EXPECT_EQ(form->WaitTimer->interval(), 3500);
    // Unlinked MIRVOL does nothing, typed or not.
    form->WaitTimer->stop();
    form->terminal.OperatingMode = kModeMirvol;
    form->butDisconnectClick();
    Type(QStringLiteral("X"));
    form->butDisconnectClick();
    EXPECT_EQ(form->reTXData->toPlainText(), QStringLiteral("X"));
    // RTTY: an empty pane does nothing, text gets the request on a new line at the caret.
    form->terminal.OperatingMode = kModeBaudot;
    form->reTXData->clear();
    form->butDisconnectClick();
    Type(QStringLiteral("73\n"));
    form->butDisconnectClick();
    EXPECT_EQ(form->reTXData->toPlainText(), QStringLiteral("73\nZZZZ\n\n"));
    EXPECT_EQ(Wire(), "");
    EXPECT_FALSE(form->WaitTimer->isActive());
}

TEST_F(Links, PanicDropsTheQueueAndTheTextThenSendsThePanicBytes) {
    Start();
    form->terminal.OperatingMode = kModeAmtorBroadcast;
    form->terminal.ListenState = 1;
    form->bars.butAmtorDisconnect->setEnabled(true);
    form->bars.butAmtorPanic->setEnabled(true);
    form->bars.butAmtorConnect->setEnabled(false);
    form->terminal.TxEnabled = false;
    Type(QStringLiteral("UNSENT TEXT"));
    form->Pump().InFlight().Add(3);
    form->SetStatusPane(5, QStringLiteral("x"));
    port->SetWriteLimit(0);
    form->SendText("queued");
    form->reTXData->setReadOnly(true);

    form->butPanicClick();
    EXPECT_EQ(form->StatusPaneText(5), QString());
    port->SetWriteLimit(-1);
    EXPECT_EQ(Wire(), "81 06");
    EXPECT_TRUE(form->reTXData->toPlainText().isEmpty());
    EXPECT_FALSE(form->reTXData->isReadOnly());
    EXPECT_EQ(form->Pump().InFlight().Count(), 0);
    EXPECT_EQ(form->Pump().SentPosition(), 0);
    EXPECT_EQ(form->terminal.OperatingMode, kModeAmtor);
    EXPECT_FALSE(form->bars.butAmtorDisconnect->isEnabled());
    EXPECT_FALSE(form->bars.butAmtorPanic->isEnabled());
    EXPECT_TRUE(form->bars.butAmtorConnect->isEnabled());
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("STBY"));
    EXPECT_EQ(form->StatusPaneText(2), QString());
    EXPECT_TRUE(form->mnuFilesSendtextfile->isEnabled());
    EXPECT_FALSE(form->mnuFilesSendBinaryFile->isEnabled()); // only in MIRVOL
    EXPECT_FALSE(form->mnuFilesStopSaveSend->isEnabled());
    EXPECT_TRUE(form->PanicPanel->isVisible());
    EXPECT_EQ(form->PanicPanel->text(), QStringLiteral("    PANIC!    "));
    EXPECT_EQ(form->WaitTimer->interval(), 1300);
}

TEST_F(Links, ForcedOverGoesAheadOfTheQueueOnlyFromTheReceivingSide) {
    Start();
    Mode(&TForm1::mnuCodePModeClick);
    form->linkStatus.stationRole = 2;
    form->butForcedOverClick();
    EXPECT_EQ(Wire(), "");
    EXPECT_FALSE(form->OverBox->isVisible());

    form->linkStatus.stationRole = 1;
    port->SetWriteLimit(0);
    form->SendText("AB");
    form->butForcedOverClick();
    port->SetWriteLimit(-1);
    EXPECT_EQ(Wire(), "80 87 41 42");
    EXPECT_TRUE(form->OverBox->isVisible());
    EXPECT_EQ(form->OverBox->text(), QStringLiteral(" Forced OVER "));

    // Outside AMTOR and P-Mode nothing at all.
    form->OverBox->hide();
    Mode(&TForm1::mnuCodeMirvolClick);
    form->butForcedOverClick();
    EXPECT_EQ(Wire(), "");
    EXPECT_FALSE(form->OverBox->isVisible());
}

TEST_F(Links, OverAddsTheChangeoverLineAfterThePane) {
    Start();
    Mode(&TForm1::mnuCodeAmtorClick);
    form->terminal.TxEnabled = false;
    Type(QStringLiteral("BTU"));
    form->reTXData->moveCursor(QTextCursor::Start);
    form->butOverClick();
    EXPECT_EQ(form->reTXData->toPlainText(), QStringLiteral("BTU\n+?\n"));
    EXPECT_FALSE(form->OverBox->isVisible());
    EXPECT_EQ(Wire(), "");
}

TEST_F(Links, MonitorTogglesListenOrSyncIdle) {
    Start();
    Mode(&TForm1::mnuCodeAmtorClick);
    form->ConfigChanged = false;
    const int listen = form->terminal.ListenState;
    form->bars.butAmtorMonitor->trigger();
    form->bars.butAmtorMonitor->trigger();
    EXPECT_EQ(Wire(), listen == 2 ? "80 48 80 58" : "80 58 80 48");
    EXPECT_EQ(form->terminal.ListenState, listen);
    EXPECT_EQ(form->StatusPaneText(1),
              listen == 2 ? QStringLiteral("STBY-LISTEN") : QStringLiteral("STBY"));
    EXPECT_FALSE(form->ConfigChanged);

    Mode(&TForm1::mnuCodeBaudotClick);
    form->ConfigChanged = false;
    form->settings.B_SyncIdle = QStringLiteral("on");
    form->bars.butBaudotMonitor->trigger();
    EXPECT_EQ(Wire(), "80 C1");
    EXPECT_EQ(form->settings.B_SyncIdle, QStringLiteral("OFF"));
    EXPECT_EQ(form->bars.butBaudotMonitor->text(), QStringLiteral("OFF"));
    EXPECT_EQ(form->StatusPaneText(4), QString());
    EXPECT_TRUE(form->ConfigChanged);
    form->bars.butBaudotMonitor->trigger();
    EXPECT_EQ(Wire(), "80 D1");
    EXPECT_EQ(form->StatusPaneText(4), QStringLiteral("SYNC"));

    // A CQ heard puts its text in pane 1; the monitor timer brings standby back.
    form->SetStatusPane(1, QStringLiteral("CQ from X"));
    form->MonitorTimer->start();
    form->MonitorTimer->setInterval(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->MonitorTimer->isActive(); }, 1000));
    EXPECT_EQ(form->StatusPaneText(1), StandbyText(form->terminal));
}

TEST_F(Links, TxEnableSwitchesAllSixButtonsAndSyncIdleInRtty) {
    Start("[baudot]\r\nB_SyncIdle=ON\r\nB_TXEnable=ON\r\n");
    Mode(&TForm1::mnuCodeBaudotClick);
    ASSERT_TRUE(form->terminal.TxEnabled);
    form->bars.butBaudotTXEnable->trigger();
    EXPECT_EQ(Wire(), "80 C1");
    EXPECT_FALSE(form->terminal.TxEnabled);
    for (QAction* b : ButtonsOf(form->bars, ToolFunction::TxEnable)) {
        EXPECT_EQ(b->text(), QStringLiteral("TX DIS"));
    }
    form->bars.butBaudotTXEnable->trigger();
    EXPECT_EQ(Wire(), "80 D1");
    for (QAction* b : ButtonsOf(form->bars, ToolFunction::TxEnable)) {
        EXPECT_EQ(b->text(), QStringLiteral("TX EN "));
    }
    EXPECT_EQ(form->settings.B_TXEnable, QStringLiteral("ON"));
    // In MIRVOL nothing is sent.
    Mode(&TForm1::mnuCodeMirvolClick);
    form->bars.butMVLTXEnable->trigger();
    EXPECT_EQ(Wire(), "");
}

TEST_F(Links, NormRevTwiceFromStartWhateverTheStoredPolarity) {
    Start("[amtor]\r\nA_Polarity=REV\r\n");
    Mode(&TForm1::mnuCodeAmtorClick);
    form->settings.RXPolaritySameAsTX = true;
    form->bars.butAmtorNormRev->trigger();
    EXPECT_EQ(form->StatusPaneText(5), QStringLiteral("REV"));
    EXPECT_EQ(Wire(), "80 4B 80 5C");
    EXPECT_EQ(form->settings.A_Polarity, QStringLiteral("REV"));
    EXPECT_EQ(form->bars.butAmtorNormRev->text(), QStringLiteral("Reverse"));
    form->settings.RXPolaritySameAsTX = false;
    form->bars.butAmtorNormRev->trigger();
    EXPECT_EQ(form->StatusPaneText(5), QStringLiteral("NORM"));
    EXPECT_EQ(Wire(), "80 5B 80 4C");
    EXPECT_EQ(form->settings.A_Polarity, QStringLiteral("NORM"));
    EXPECT_EQ(form->bars.butAmtorNormRev->text(), QStringLiteral("Normal "));
}

TEST_F(Links, RttyRateStepsRoundItsList) {
    const std::pair<int, int> steps[] = {{45, 50},   {50, 57},  {57, 75}, {75, 100},
                                         {100, 110}, {110, 45}, {300, 45}};
    for (const auto& [from, to] : steps) {
        EXPECT_EQ(NextRttyRate(from), to) << from;
    }
    Start("[baudot]\r\nB_Rate=110\r\n[ascii]\r\nS_Rate=75\r\n");
    Mode(&TForm1::mnuCodeBaudotClick);
    form->ConfigChanged = false;
    form->bars.butBaudotRttyRate->trigger();
    EXPECT_EQ(Wire(), "80 E4 80 00");
    EXPECT_EQ(form->settings.B_Rate, 45);
    EXPECT_EQ(form->bars.butBaudotRttyRate->text(), QStringLiteral("45"));
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("45"));
    EXPECT_TRUE(form->ConfigChanged);
    Mode(&TForm1::mnuCodeAsciiClick);
    form->bars.butAsciiRttyRate->trigger();
    EXPECT_EQ(Wire(), "80 E5 80 04");
    EXPECT_EQ(form->settings.S_Rate, 100);
}

} // namespace
