// On the air between two Tarvis stations on one simulated channel: a MIRVOL CQ call answered
// within its window and one left to pass, and every kind of broadcast from its tool bar, with
// the exact start commands, the typed text at the other station and both back on standby.
#include "modes/Broadcasts.h"
#include "tests/e2e/TwoStations.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>

using namespace tarvis;
using namespace tarvis::test;

namespace {

// A real click on the tool-bar button of an action.
void Click(QAction* button) {
    auto* bar = qobject_cast<QToolBar*>(button->parent());
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
    QTest::mouseClick(bar->widgetForAction(button), Qt::LeftButton);
}

class OnAir : public Contact {
protected:
    OnAir() { extraSimOptions = {"--call-timeout", "6000"}; }
    void SetUp() override {
        Contact::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        stationA->show();
        stationB->show();
    }
};

TEST_F(OnAir, MirvolCqAnsweredWithinItsWindowLinksTheStations) {
    QAction* cqA = stationA->bars.butMVLCallCQ;
    QAction* cqB = stationB->bars.butMVLCallCQ;
    Click(cqA);
    ASSERT_TRUE(WaitFor([&] { return stationA->StatusPaneText(1) == "Calling CQ"; }));
    ASSERT_TRUE(WaitFor([&] { return cqB->text() == QStringLiteral("Answer CQ"); }));
    EXPECT_EQ(stationB->StatusPaneText(1), QStringLiteral("CQ from AA1AA"));
    EXPECT_FALSE(cqA->isEnabled());
    EXPECT_FALSE(stationA->bars.butMVLConnect->isEnabled());

    Click(cqB);
    EXPECT_EQ(cqB->text(), QStringLiteral("Answering CQ"));
    ASSERT_TRUE(WaitFor([&] { return BothLinked(); }));
    EXPECT_EQ(stationA->StatusPaneText(1), QStringLiteral("Linked to BB2BB"));
    EXPECT_EQ(stationB->StatusPaneText(1), QStringLiteral("Linked to AA1AA"));
    EXPECT_EQ(cqB->text(), QStringLiteral("Call CQ"));
    EXPECT_GE(LogIndex(QStringLiteral("80 14")), 0);
    EXPECT_GE(LogIndex(QStringLiteral("80 15")), 0);

    // The canned texts go over the link like typed text.
    Click(stationA->bars.butMVLdeMY);
    Type(*stationA, QStringLiteral("\n"));
    ASSERT_TRUE(WaitFor([&] { return stationB->reRXData->toPlainText().contains("DE AA1AA"); }));
    Click(stationB->bars.butMVLFoxes);
    ASSERT_TRUE(WaitFor([&] {
        return stationA->reRXData->toPlainText().contains(
            "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG'S BACK 0123456789");
    }));
    Click(stationA->bars.butMVLDisconnect);
    ASSERT_TRUE(WaitFor([&] { return BothStandby(); }));
    EXPECT_TRUE(cqA->isEnabled());
}

TEST_F(OnAir, AMirvolCqLeftUnansweredPassesAtBothStations) {
    QAction* cqA = stationA->bars.butMVLCallCQ;
    QAction* cqB = stationB->bars.butMVLCallCQ;
    Click(cqA);
    ASSERT_TRUE(WaitFor([&] { return cqB->text() == QStringLiteral("Answer CQ"); }));
    // After 5 s B's button calls CQ again and its pane is back on standby.
    ASSERT_TRUE(WaitFor([&] { return cqB->text() == QStringLiteral("Call CQ"); }, 8000));
    EXPECT_EQ(stationB->StatusPaneText(1), stationB->Decoder().StandbyText());
    EXPECT_FALSE(stationB->linkStatus.answerCq);
    // A's CQ ends at the simulated modem: its button comes back.
    ASSERT_TRUE(WaitFor([&] { return cqA->isEnabled(); }, 8000));
    EXPECT_EQ(cqA->text(), QStringLiteral("Call CQ"));
    EXPECT_EQ(stationA->StatusPaneText(1), stationA->Decoder().StandbyText());
    EXPECT_FALSE(BothLinked());
}

struct BroadcastKind {
    const char* name;
    QAction* TForm1::*codeItem;
    QAction* ModeToolBars::*broadcast;
    QAction* ModeToolBars::*disconnect;
    QAction* ModeToolBars::*connect;
    // The operator's choices once the broadcast button has been pressed.
    std::function<void(TForm1&)> choose;
    // The start commands as the simulator logs them, in order.
    QStringList commands;
    const char* pane1;
    int baseMode;
};

void PrintTo(const BroadcastKind& k, std::ostream* os) {
    *os << k.name;
}

class Broadcasts : public OnAir, public testing::WithParamInterface<BroadcastKind> {};

TEST_P(Broadcasts, TypedTextReachesTheOtherStationAndTheEndBringsBothBack) {
    const BroadcastKind& k = GetParam();
    (stationA.get()->*k.codeItem)->trigger();
    (stationB.get()->*k.codeItem)->trigger();
    ASSERT_TRUE(WaitFor([&] { return stationA->terminal.OperatingMode == k.baseMode; }));
    const int logStart = static_cast<int>(sim->LogLines().size());

    if (k.baseMode == kModeMirvol) {
        a.dialogs.onModal = [&](QDialog& d) {
            auto& frm = static_cast<TMirvolFECFrm&>(d);
            d.show();
            k.choose(*stationA);
            frm.ModComboBox->setCurrentIndex(frm.ModComboBox->findText(QStringLiteral("2DPSM")));
            frm.ModComboBox->activated(frm.ModComboBox->currentIndex());
            EXPECT_EQ(frm.BlockSizeLabel->text(), QStringLiteral("51"));
            EXPECT_EQ(frm.BaseRateLabel->text(), QStringLiteral("63"));
            EXPECT_EQ(frm.ActualLabel->text(), QStringLiteral("38"));
            Shoot(QStringLiteral("mirvol-broadcast-dialog"));
            frm.OKBtn->click();
            return d.result();
        };
    }
    Click(stationA->bars.*k.broadcast);
    if (k.baseMode != kModeMirvol) {
        k.choose(*stationA);
    }
    ASSERT_TRUE(WaitFor([&] { return stationA->terminal.OperatingMode == k.baseMode + 5; }));
    EXPECT_TRUE(WaitFor([&] {
        return QString::fromLatin1(k.pane1).split('|').contains(stationA->StatusPaneText(1));
    })) << stationA->StatusPaneText(1).toStdString();
    EXPECT_FALSE((stationA->bars.*k.broadcast)->isEnabled());
    // The start commands, in order.
    int at = logStart;
    for (const QString& command : k.commands) {
        ASSERT_TRUE(WaitFor([&] {
            const QStringList lines = sim->LogLines();
            for (int i = at; i < lines.size(); ++i) {
                if (lines[i].endsWith(command)) {
                    at = i + 1;
                    return true;
                }
            }
            return false;
        })) << command.toStdString();
    }

    Type(*stationA, QStringLiteral("CQ ALL STATIONS\n"));
    ASSERT_TRUE(WaitFor([&] {
        return stationB->reRXData->toPlainText().contains(QStringLiteral("CQ ALL STATIONS"));
    })) << stationB->reRXData->toPlainText().toStdString();
    Shoot(QStringLiteral("broadcast-") + QLatin1String(k.name));

    // Disconn once the text has gone: 80 07 at once; both stations return to standby.
    ASSERT_TRUE(WaitFor([&] { return stationA->reTXData->toPlainText().isEmpty(); }));
    Click(stationA->bars.*k.disconnect);
    ASSERT_TRUE(WaitFor([&] {
        return stationA->terminal.OperatingMode == k.baseMode &&
               stationA->StatusPaneText(1) == stationA->Decoder().StandbyText() &&
               stationB->StatusPaneText(1) == stationB->Decoder().StandbyText();
    })) << stationA->StatusPaneText(1).toStdString()
        << " / " << stationB->StatusPaneText(1).toStdString();
    EXPECT_TRUE((stationA->bars.*k.broadcast)->isEnabled());
    EXPECT_TRUE((stationA->bars.*k.connect)->isEnabled());
    EXPECT_FALSE((stationA->bars.*k.disconnect)->isEnabled());
    EXPECT_EQ(stationB->terminal.OperatingMode, k.baseMode);
}

void ChooseAmtor(TForm1& station, QRadioButton* TFECModePanel::*kind) {
    (station.FECModePanel->*kind)->setChecked(true);
    QTest::mouseClick(station.FECModePanel->butFECOK, Qt::LeftButton);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, Broadcasts,
    testing::Values(BroadcastKind{"Mirvol2DPSM",
                                  &TForm1::mnuCodeMirvol,
                                  &ModeToolBars::butMVLFEC,
                                  &ModeToolBars::butMVLDisconnect,
                                  &ModeToolBars::butMVLConnect,
                                  [](TForm1&) {},
                                  {"80 64 55", "80 12 00"},
                                  "FEC-TX",
                                  kModeMirvol},
                    BroadcastKind{"AmtorModeB",
                                  &TForm1::mnuCodeAmtor,
                                  &ModeToolBars::butAmtorFEC,
                                  &ModeToolBars::butAmtorDisconnect,
                                  &ModeToolBars::butAmtorConnect,
                                  [](TForm1& s) { ChooseAmtor(s, &TFECModePanel::butModeA); },
                                  {"80 1D 00"},
                                  "FEC-TX",
                                  kModeAmtor},
                    BroadcastKind{"AmtorCfec",
                                  &TForm1::mnuCodeAmtor,
                                  &ModeToolBars::butAmtorFEC,
                                  &ModeToolBars::butAmtorDisconnect,
                                  &ModeToolBars::butAmtorConnect,
                                  [](TForm1& s) { ChooseAmtor(s, &TFECModePanel::butCFEC); },
                                  {"80 82"},
                                  "FEC-TX", // the modem's own report
                                  kModeAmtor},
                    BroadcastKind{"AmtorModeSToCQCQ",
                                  &TForm1::mnuCodeAmtor,
                                  &ModeToolBars::butAmtorFEC,
                                  &ModeToolBars::butAmtorDisconnect,
                                  &ModeToolBars::butAmtorConnect,
                                  [](TForm1& s) {
                                      ChooseAmtor(s, &TFECModePanel::butModeS);
                                      s.GroupCallPanel->edGroupCall->selectAll();
                                      QTest::keyClicks(s.GroupCallPanel->edGroupCall,
                                                       QStringLiteral("cqcq"));
                                      QTest::keyClick(s.GroupCallPanel->edGroupCall,
                                                      Qt::Key_Return);
                                  },
                                  {"80 18 \"CQCQ\""},
                                  // Ours, or the modem's report when it comes after it.
                                  "SELFEC-TX|FEC-TX",
                                  kModeAmtor},
                    BroadcastKind{"PModeUnproto200",
                                  &TForm1::mnuCodePMode,
                                  &ModeToolBars::butPModeFEC,
                                  &ModeToolBars::butPModeDisconnect,
                                  &ModeToolBars::butPModeConnect,
                                  [](TForm1& s) {
                                      s.FECRatePanel->butFECRate200->setChecked(true);
                                      QTest::mouseClick(s.FECRatePanel->Button7, Qt::LeftButton);
                                  },
                                  {"80 F6 01", "80 1C 00"},
                                  "UNPROTO",
                                  kModePMode}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
