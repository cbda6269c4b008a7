// The broadcast buttons on a started station: the dialog and panels, the exact command bytes
// of each kind of broadcast and the controls it leaves.
#include "modes/Broadcasts.h"
#include "tests/links/StartedStation.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tarvis;
using namespace tarvis::test;

namespace {

class Broadcast : public StartedStation {
protected:
    void SetUp() override {
        StartedStation::SetUp();
        Start("[callsigns]\r\nMYCALL=AA1AA\r\nGROUPCALL=ABCD\r\n");
        form->show();
    }
    // Broadcast in MIRVOL with the operator's choice made inside the shown dialog.
    void MirvolBroadcast(const std::function<int(TMirvolFECFrm&)>& inside) {
        dialogs.onModal = [&](QDialog& d) {
            d.show();
            const int result = inside(static_cast<TMirvolFECFrm&>(d));
            d.hide();
            return result;
        };
        form->bars.butMVLFEC->trigger();
    }
    QString Pane1() const { return form->StatusPaneText(1); }
};

TEST_F(Broadcast, MirvolWithTwoDpsm) {
    QStringList shown;
    MirvolBroadcast([&](TMirvolFECFrm& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Mirvol Broadcast Modulation"));
        EXPECT_EQ(f.pos(), form->pos() + QPoint(50, 50));
        // The configured modulation is offered first, with its figures.
        EXPECT_EQ(f.ModComboBox->currentText(), QStringLiteral("BPSM"));
        EXPECT_EQ(f.BlockSizeLabel->text(), QStringLiteral("85"));
        f.ModComboBox->setCurrentIndex(f.ModComboBox->findText(QStringLiteral("2DPSM")));
        f.ModComboBox->activated(f.ModComboBox->currentIndex());
        shown = {f.CodeEffLabel->text(), f.BlockSizeLabel->text(), f.BaseRateLabel->text(),
                 f.ActualLabel->text()};
        return QDialog::Accepted;
    });
    EXPECT_EQ(shown, (QStringList{"60%", "51", "63", "38"}));
    EXPECT_EQ(Wire(), "80 64 80 55 80 12 80 00");
    EXPECT_EQ(form->settings.FECMod, QStringLiteral("2DPSM"));
    EXPECT_TRUE(form->ConfigChanged);
    EXPECT_EQ(form->terminal.OperatingMode, kModeMirvolBroadcast);
    EXPECT_EQ(form->terminal.BaseMode, kModeMirvol);
    EXPECT_EQ(Pane1(), QStringLiteral("FEC-TX"));
    const ModeToolBars& b = form->bars;
    for (QAction* off :
         {b.butMVLConnect, b.butAmtorConnect, b.butPModeConnect, b.butMVLFEC, b.butAmtorFEC,
          b.butPModeFEC, form->mnuFilesSendBinaryFile, form->mnuSpecialTest}) {
        EXPECT_FALSE(off->isEnabled()) << off->text().toStdString();
    }
    for (QAction* on :
         {b.butMVLDisconnect, b.butAmtorDisconnect, b.butPModeDisconnect, b.butMVLPanic,
          b.butMVLFoxes, b.butAmtorFoxes, b.butPModeFoxes, form->mnuFilesSendtextfile}) {
        EXPECT_TRUE(on->isEnabled()) << on->text().toStdString();
    }
}

TEST_F(Broadcast, MirvolTypedModulationNotInTheTableIsInvalidAndGoesAsBpsm) {
    MirvolBroadcast([&](TMirvolFECFrm& f) {
        f.ModComboBox->setFocus();
        f.ModComboBox->lineEdit()->selectAll();
        QTest::keyClicks(f.ModComboBox, QStringLiteral("16PSM"));
        EXPECT_TRUE(dialogs.boxes.empty()); // not judged while it is being typed
        QTest::keyClick(f.ModComboBox, Qt::Key_Return);
        return QDialog::Accepted;
    });
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("Invalid Entry"));
    EXPECT_EQ(Wire(), "80 64 80 99 80 12 80 00");
    EXPECT_EQ(form->settings.FECMod, QStringLiteral("16PSM"));
}

TEST_F(Broadcast, CancelledMirvolDialogSendsNothing) {
    form->terminal.BaseMode = kModeAmtor;
    MirvolBroadcast([](TMirvolFECFrm&) { return QDialog::Rejected; });
    EXPECT_EQ(Wire(), "");
    EXPECT_EQ(form->terminal.OperatingMode, kModeMirvol);
    EXPECT_EQ(form->terminal.BaseMode, kModeMirvol);
    EXPECT_TRUE(form->bars.butMVLFEC->isEnabled());
}

TEST_F(Broadcast, AmtorModeBAndCfec) {
    struct Case {
        QRadioButton* TFECModePanel::*kind;
        const char* wire;
        const char* pane1;
    };
    const Case cases[] = {{&TFECModePanel::butModeA, "80 1D 80 00", "FEC-TX"},
                          {&TFECModePanel::butCFEC, "80 82", "left alone"}};
    for (const Case& c : cases) {
        Mode(&TForm1::mnuCodeAmtorClick);
        form->bars.butAmtorFEC->setEnabled(true); // as the end of the broadcast before leaves it
        form->SetStatusPane(1, QStringLiteral("left alone"));
        form->bars.butAmtorFEC->trigger();
        TFECModePanel& panel = *form->FECModePanel;
        ASSERT_TRUE(panel.isVisible());
        (panel.*c.kind)->setChecked(true);
        QTest::mouseClick(panel.butFECOK, Qt::LeftButton);
        EXPECT_FALSE(panel.isVisible());
        EXPECT_EQ(Wire(), c.wire);
        EXPECT_EQ(Pane1(), QLatin1String(c.pane1));
        EXPECT_EQ(form->terminal.OperatingMode, kModeAmtorBroadcast);
        const ModeToolBars& b = form->bars;
        EXPECT_FALSE(b.butAmtorConnect->isEnabled());
        EXPECT_FALSE(b.butAmtorFEC->isEnabled());
        for (QAction* on : {b.butAmtorDisconnect, b.butAmtorPanic, b.butAmtorFoxes,
                            b.butAmtorCallCQ, form->mnuFilesSendtextfile, form->mnuSpecialTest}) {
            EXPECT_TRUE(on->isEnabled()) << on->text().toStdString();
        }
    }
}

TEST_F(Broadcast, AmtorModeSToAGroupCall) {
    Mode(&TForm1::mnuCodeAmtorClick);
    form->bars.butAmtorFEC->trigger();
    form->FECModePanel->butModeS->setChecked(true);
    form->FECModePanel->butFECOK->click();
    TGroupCallPanel& panel = *form->GroupCallPanel;
    ASSERT_TRUE(panel.isVisible());
    EXPECT_FALSE(form->FECModePanel->isVisible());
    EXPECT_EQ(panel.edGroupCall->text(), QStringLiteral("ABCD"));
    EXPECT_EQ(Wire(), "");
    form->ConfigChanged = false;
    panel.edGroupCall->selectAll();
    QTest::keyClicks(panel.edGroupCall, QStringLiteral("cqcqx")); // upper case, four at most
    EXPECT_EQ(panel.edGroupCall->text(), QStringLiteral("CQCQ"));
    QTest::keyClick(panel.edGroupCall, Qt::Key_Return);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(Wire(), "80 18 80 43 80 51 80 43 80 51 80 00");
    EXPECT_EQ(Pane1(), QStringLiteral("SELFEC-TX"));
    EXPECT_EQ(form->settings.GROUPCALL, QStringLiteral("CQCQ"));
    EXPECT_FALSE(form->ConfigChanged);
    EXPECT_EQ(form->terminal.OperatingMode, kModeAmtorBroadcast);
    EXPECT_FALSE(form->mnuSpecialTest->isEnabled());
}

TEST_F(Broadcast, CancelledPanelsSendNothing) {
    Mode(&TForm1::mnuCodeAmtorClick);
    form->bars.butAmtorFEC->trigger();
    QTest::keyClick(form->FECModePanel->butModeA, Qt::Key_Escape);
    EXPECT_FALSE(form->FECModePanel->isVisible());
    Mode(&TForm1::mnuCodePModeClick);
    form->bars.butPModeFEC->trigger();
    form->FECRatePanel->Button8->click();
    EXPECT_FALSE(form->FECRatePanel->isVisible());
    EXPECT_EQ(Wire(), "");
    EXPECT_EQ(form->terminal.OperatingMode, kModePMode);
}

TEST_F(Broadcast, PModeUnprotoAtTwoHundred) {
    Mode(&TForm1::mnuCodePModeClick);
    form->bars.butPModeFEC->trigger();
    TFECRatePanel& panel = *form->FECRatePanel;
    ASSERT_TRUE(panel.isVisible());
    EXPECT_TRUE(panel.butFECRate100->isChecked());
    EXPECT_TRUE(form->bars.butPModeCallCQ->isEnabled());
    // On the button's indicator: a wide radio button takes clicks only on its label.
    QTest::mouseClick(panel.butFECRate200, Qt::LeftButton, {},
                      QPoint(4, panel.butFECRate200->height() / 2));
    QTest::mouseClick(panel.Button7, Qt::LeftButton);
    EXPECT_EQ(Wire(), "80 F6 80 01 80 1C 80 00");
    EXPECT_EQ(Pane1(), QStringLiteral("UNPROTO"));
    EXPECT_EQ(form->terminal.OperatingMode, kModePModeUnproto);
    EXPECT_FALSE(form->bars.butPModeConnect->isEnabled());
    EXPECT_TRUE(form->bars.butPModeDisconnect->isEnabled());
    EXPECT_TRUE(form->bars.butPModePanic->isEnabled());
}

TEST_F(Broadcast, TheBaudotLtrsButtonForcesTheShiftInEveryState) {
    Mode(&TForm1::mnuCodeBaudotClick);
    for (bool transmitting : {false, true}) {
        form->linkStatus.transmitting = transmitting;
        form->bars.butBaudotFEC->trigger();
        EXPECT_EQ(Wire(), "80 89");
        EXPECT_EQ(form->terminal.OperatingMode, kModeBaudot);
    }
}

} // namespace
