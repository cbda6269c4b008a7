// The configuration pages and the print squelch dialog on a main window whose commands are
// recorded one string per SendCommand call: what opening fills in, the command strings of
// every close and of Apply in their order, the rule between re-running the mode's set-up and
// the direct refresh, Defaults, the live controls, and input that is not what it should be.
#include "config/Config1.h"
#include "config/ConfigFile.h"
#include "config/Unit3.h"
#include "modes/ModeSetup.h"
#include "tests/modes/ModeStation.h"
#include "tests/support/ClickOnPage.h"
#include "tuning/ToolWindows.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace tarvis;
using namespace tarvis::test;

namespace {

using Sequence = std::vector<std::string>;

const std::string kMyCall = "80 13" + TextParameter("MYCALL");
const Sequence kMirvolSetUp = {
    "80 41",       "80 46",       "80 4D",       "80 80",       "80 63 80 04", "80 DB",
    "80 65 80 01", "80 61 80 1E", "80 60 80 0A", "80 62 80 14", "80 68 80 01", kMyCall,
    "80 51",       "80 54",       "80 56",       "80 5A",       "80 59"};

Sequence operator+(Sequence a, const Sequence& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ConfigPages : public ModeStation {
protected:
    // A main window as the start-up makes it: its dialogs first, then the configuration.
    void Start(const QByteArray& ini = {}, const QString& hardware = QStringLiteral("8004")) {
        WriteFile(IniPath(), "[system]\r\nComPort=1\r\n" + ini);
        form = std::make_unique<TForm1>(MakeEnvironment());
        form->CreateStartWindows();
        form->LoadConfiguration();
        form->identity.hardwareVersion = hardware;
        form->Modes().sendCommand = [this](const Bytes& command) { sent.push_back(Hex(command)); };
    }
    // Opens the pages; `inside` works the dialog while it is shown and closes it.
    void Run(const std::function<void(TForm2&)>& inside) {
        dialogs.onModal = [inside](QDialog& dialog) {
            auto& pages = static_cast<TForm2&>(dialog);
            pages.show();
            inside(pages);
            return pages.result();
        };
        sent.clear();
        form->ConfigurationPages1->trigger();
    }
    // Brings the button's page to the front and clicks it as the operator would.
    void Click(QAbstractButton* button) { test::ClickOnPage(*form->Form2->ConfigFolder, button); }
    template <typename T> T* Find(const char* name) {
        T* found = form->Form2->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void Cancel(TForm2& pages) { Click(pages.Button1); }
};

TEST_F(ConfigPages, CancelInMirvolAppliesAndRunsTheSetUpAgain) {
    Start();
    form->ConfigChanged = true;
    Run([&](TForm2& pages) {
        EXPECT_EQ(pages.windowTitle(), QStringLiteral("Vantor Tarvis Configuration"));
        EXPECT_EQ(pages.ConfigFolder->currentWidget()->objectName(), QStringLiteral("MirvolSheet"));
        EXPECT_TRUE(sent.empty()); // nothing goes before the dialog closes in MIRVOL
        Cancel(pages);
    });
    EXPECT_EQ(sent,
              (Sequence{"80 67 80 00", "80 45", "80 58", "80 6C 80 01", "80 6C 80 28", "80 DB"} +
               kMirvolSetUp));
    // Cancel only clears the flag before the apply sets it again.
    EXPECT_TRUE(form->ConfigChanged);
    EXPECT_TRUE(form->terminal.TxEnabled);
}

TEST_F(ConfigPages, TheRuleBetweenTheSetUpAndTheDirectRefresh) {
    // Transmission disabled, no link: the direct refresh.
    Start("TXEnable=OFF\r\n");
    Run([&](TForm2& pages) { Cancel(pages); });
    const Sequence common = {"80 67 80 00", "80 45",       "80 58",
                             "80 6C 80 01", "80 6C 80 28", "80 DB"};
    EXPECT_EQ(sent, (common + Sequence{"80 DB", "80 6C 80 01"}));
    EXPECT_FALSE(form->terminal.TxEnabled);
    EXPECT_EQ(form->bars.butMVLTXEnable->text(), QStringLiteral("TX DIS"));

    // Linked with transmission disabled: the set-up, as for transmission enabled.
    form->linkStatus.linkEstablished = true;
    Run([&](TForm2& pages) { Cancel(pages); });
    EXPECT_EQ(sent, common + kMirvolSetUp);

    // While the modem transmits: always the direct refresh. (The set-up turned listen off.)
    form->settings.TXEnable = QStringLiteral("EN");
    form->linkStatus.transmitting = true;
    Run([&](TForm2& pages) { Cancel(pages); });
    EXPECT_EQ(sent, (Sequence{"80 67 80 00", "80 45", "80 48", "80 6C 80 01", "80 6C 80 28",
                              "80 DB", "80 DB", "80 6C 80 01"}));
    EXPECT_TRUE(form->terminal.TxEnabled);
}

TEST_F(ConfigPages, BaudotOpensWith84AndEndsWith85AroundTheApply) {
    Start("TXEnable=OFF\r\nPrintSquelchSetting=40\r\n[baudot]\r\nB_TXEnable=OFF\r\n");
    SetUpBaudot(form->Modes());
    Run([&](TForm2& pages) {
        EXPECT_EQ(sent, Sequence{"80 84"});
        EXPECT_EQ(pages.ConfigFolder->currentWidget()->objectName(), QStringLiteral("BaudotSheet"));
        Cancel(pages);
    });
    // Transmission disabled in Baudot: the direct refresh, one code-type command.
    EXPECT_EQ(sent,
              (Sequence{"80 84", "80 67 80 00", "80 45", "80 58", "80 6C 80 01", "80 6C 80 28",
                        "80 E8 80 28", "80 DB", "80 5B", "80 DB", "80 6C 80 01", "80 C0",
                        "80 E3 80 14", "80 ED 80 14", "80 D3", "80 5B", "80 85"}));
    EXPECT_FALSE(form->AmplitudeTuneFrm->PrintSquelch->isVisibleTo(form->AmplitudeTuneFrm));
    EXPECT_EQ(form->StatusPaneText(3), QStringLiteral("USOS"));
}

TEST_F(ConfigPages, PrintSquelchOnTheGeneralPageByMode) {
    Start("TXEnable=OFF\r\n[baudot]\r\nB_TXEnable=OFF\r\n");
    SetUpBaudot(form->Modes());
    Run([&](TForm2& pages) {
        pages.cfgPSLevelSpin->setValue(70);
        Cancel(pages);
    });
    // The print squelch dialog's own reaction to the new level, then the page's command.
    EXPECT_EQ(std::vector<std::string>(sent.begin() + 6, sent.begin() + 9),
              (Sequence{"80 E8", "80 46", "80 E8 80 46"}));
    EXPECT_TRUE(form->AmplitudeTuneFrm->PrintSquelch->isVisibleTo(form->AmplitudeTuneFrm));
    EXPECT_EQ(form->AmplitudeTuneFrm->PrintSquelch->x(), PrintSquelchMarkerLeft(70));

    // In MIRVOL no print squelch command is sent and the markers are hidden.
    SetUpMirvol(form->Modes());
    Run([&](TForm2& pages) { Cancel(pages); });
    for (const std::string& command : sent) {
        EXPECT_NE(command.rfind("80 E8", 0), 0u) << command;
    }
    EXPECT_FALSE(form->AmplitudeTuneFrm->PrintSquelch->isVisibleTo(form->AmplitudeTuneFrm));
}

TEST_F(ConfigPages, AsciiDirectRefreshWithReversedPolarity) {
    Start("TXEnable=OFF\r\n[ascii]\r\nS_TXEnable=OFF\r\nS_PTTON=7\r\nS_PTTOFF=300\r\n");
    SetUpAscii(form->Modes());
    Run([&](TForm2& pages) {
        Click(Find<QRadioButton>("AsciiPolarityReverse"));
        Click(pages.Button2); // Apply: the dialog stays
        EXPECT_TRUE(pages.isVisible());
        EXPECT_EQ(std::vector<std::string>(sent.end() - 5, sent.end()),
                  (Sequence{"80 DB", "80 6C 80 01", "80 E3 80 07", "80 ED 80 2C", "80 4B"}));
        Cancel(pages);
    });
    EXPECT_EQ(form->settings.S_Polarity, QStringLiteral("REV"));
    EXPECT_FALSE(form->terminal.NormFlag);
    EXPECT_EQ(form->StatusPaneText(5), QStringLiteral("REV"));
    EXPECT_EQ(sent.back(), "80 86");
}

TEST_F(ConfigPages, AmtorDirectRefreshFollowsTheMirvolTransmitEnable) {
    Start("TXEnable=OFF\r\n[amtor]\r\nA_EndOfLine=CR LF LTRS\r\nA_WRU=OFF\r\n");
    SetUpAmtor(form->Modes());
    form->terminal.EndOfLineText = "\r";
    Run([&](TForm2& pages) { Cancel(pages); });
    EXPECT_EQ(form->bars.butAmtorTXEnable->text(), QStringLiteral("TX DIS"));
    EXPECT_FALSE(form->terminal.TxEnabled);
    EXPECT_EQ(form->terminal.EndOfLineText, Bytes("\r\n<"));
    EXPECT_EQ(std::vector<std::string>(sent.end() - 5, sent.end()),
              (Sequence{"80 DB", "80 6C 80 01", "80 C2", "80 C4", "80 5B"}));
}

TEST_F(ConfigPages, TransmitGainIsSentOnlyOnTheHardwareThatTakesIt) {
    struct Case {
        const char* hardware;
        bool sendsTransmitGain;
    };
    for (const Case& c :
         {Case{"800A", true}, Case{"8004", true}, Case{"800B", true}, Case{"8002", false}}) {
        Start("TXEnable=OFF\r\n", QLatin1String(c.hardware));
        Run([&](TForm2& pages) {
            EXPECT_EQ(!pages.TXGainCombo->isHidden(), c.sendsTransmitGain) << c.hardware;
            Cancel(pages);
        });
        const bool sent28 = std::find(sent.begin(), sent.end(), "80 6C 80 28") != sent.end();
        EXPECT_EQ(sent28, c.sendsTransmitGain) << c.hardware;
    }
}

TEST_F(ConfigPages, AMirvol2000ModemHidesListenAndKeepsItOn) {
    Start();
    form->identity.mirvol2000 = true;
    form->terminal.ListenState = 1;
    Run([&](TForm2& pages) {
        EXPECT_TRUE(pages.ListenBox->isHidden());
        Cancel(pages);
    });
    EXPECT_EQ(sent[2], "80 58");
    EXPECT_EQ(form->settings.Listen, QStringLiteral("ON"));
}

TEST_F(ConfigPages, GainListsAndTheCodesTheyCannotShow) {
    // 8004 with a transmit code of 0: "-9dB" shown and the code 37 at once.
    Start("TXGain=nonsense\r\nRXGain=+6dB\r\n", QStringLiteral("8004"));
    form->settings.TXGain = 0;
    Run([&](TForm2& pages) {
        EXPECT_EQ(pages.TXGainCombo->currentText(), QStringLiteral("-9dB"));
        EXPECT_EQ(form->settings.TXGain, 37);
        EXPECT_EQ(pages.TXGainCombo->count(), 9);
        EXPECT_EQ(pages.RXGainCombo->count(), 9);
        EXPECT_EQ(pages.RXGainCombo->currentText(), QStringLiteral("+6dB"));
        Cancel(pages);
    });
    // A receive gain of the table beyond the list is shown and kept, not lost.
    form->settings.RXGain = 30;
    Run([&](TForm2& pages) {
        EXPECT_EQ(pages.RXGainCombo->currentText(), QStringLiteral("+24dB"));
        Cancel(pages);
    });
    EXPECT_EQ(form->settings.RXGain, 30);
    // Other hardware: +3 dB receive shows "+0dB" and becomes 1; three receive gains only.
    Start("RXGain=+3dB\r\n", QStringLiteral("8002"));
    Run([&](TForm2& pages) {
        EXPECT_EQ(pages.RXGainCombo->count(), 3);
        EXPECT_EQ(pages.RXGainCombo->currentText(), QStringLiteral("+0dB"));
        EXPECT_EQ(form->settings.RXGain, 1);
        pages.RXGainCombo->setCurrentText(QStringLiteral("+12dB"));
        Cancel(pages);
    });
    EXPECT_EQ(form->settings.RXGain, 3);
}

TEST_F(ConfigPages, OkWritesTheFileBeforeTheChangesApply) {
    Start();
    Run([&](TForm2& pages) {
        Click(Find<QRadioButton>("sysCWIDON"));
        Find<QLineEdit>("edNormalRetries")->setText(QStringLiteral("12abc"));
        Click(pages.Button3);
    });
    const QByteArray file = ReadAll(IniPath());
    EXPECT_TRUE(file.contains("CWID=OFF\r\n"));
    EXPECT_TRUE(file.contains("NormalRetry=30\r\n"));
    EXPECT_EQ(form->settings.CWID, QStringLiteral("ON"));
    EXPECT_EQ(form->settings.NormalRetry, 12);
    EXPECT_TRUE(form->ConfigChanged);
}

TEST_F(ConfigPages, DefaultsRestoreTheFactoryValuesCloseAndApply) {
    Start("PrintSquelchSetting=50\r\nFSKPol=REV\r\n[callsigns]\r\nMYCALL=AA1AA\r\n"
          "[ascii]\r\nS_SyncIdle=ON\r\n[baudot]\r\nB_Rate=75\r\n[fsk]\r\nAMTORMark=1000\r\n");
    EXPECT_EQ(form->settings.MYCALL, QStringLiteral("AA1AA"));
    EXPECT_EQ(form->settings.B_Rate, 75);
    EXPECT_EQ(form->settings.PrintSquelchSetting, 50);
    Run([&](TForm2& pages) {
        pages.edMyCall->setText(QStringLiteral("XX9XX"));
        Click(pages.butDefaults);
        EXPECT_FALSE(pages.isVisible());
    });
    const Settings& s = form->settings;
    EXPECT_EQ(s.PrintSquelchSetting, 68);
    EXPECT_EQ(s.S_SyncIdle, QStringLiteral("OFF"));
    EXPECT_EQ(s.B_Rate, 45);
    EXPECT_EQ(s.AMTORMark, 2125);
    EXPECT_EQ(s.AMTORCenter, 2210);
    // Kept: the polarity and the call sign typed (stored as it was typed).
    EXPECT_EQ(s.FSKPol, QStringLiteral("REV"));
    EXPECT_EQ(s.MYCALL, QStringLiteral("XX9XX"));
    EXPECT_TRUE(form->ConfigChanged);
    EXPECT_EQ(form->Form3->PSLevelSpin->value(), 68);
}

TEST_F(ConfigPages, TonesShowTheirCentreAndShiftAsTheyAreTyped) {
    Start();
    Run([&](TForm2& pages) {
        Find<QLineEdit>("BaudotMARK")->setText(QStringLiteral("1275"));
        Find<QLineEdit>("BaudotSPACE")->setText(QStringLiteral("1445"));
        EXPECT_EQ(Find<QLabel>("BaudotCenterLabel")->text(), QStringLiteral("1360"));
        EXPECT_EQ(Find<QLabel>("BaudotShiftLabel")->text(), QStringLiteral("170"));
        EXPECT_EQ(Find<QLabel>("PModeCenterLabel")->text(), QStringLiteral("2200"));
        // Space below mark: the shift stays positive.
        Find<QLineEdit>("AmtorSPACE")->setText(QStringLiteral("2000x"));
        EXPECT_EQ(Find<QLabel>("AmtorShiftLabel")->text(), QStringLiteral("125"));
        Cancel(pages);
    });
    EXPECT_EQ(form->settings.BAUDOTCenter, 1360);
    EXPECT_EQ(form->settings.AMTORSpace, 2000);
}

TEST_F(ConfigPages, ModulationShowsItsBlockSize) {
    Start("[fec]\r\nFECMod=8PSM\r\n");
    Run([&](TForm2& pages) {
        EXPECT_EQ(pages.FECBlockSizeLabel->text(), QStringLiteral("255"));
        EXPECT_EQ(pages.FECCodeEfficLabel->text(), QStringLiteral("60%"));
        Click(Find<QRadioButton>("butFECMod2DPSM"));
        EXPECT_EQ(pages.FECBlockSizeLabel->text(), QStringLiteral("51"));
        Cancel(pages);
    });
    EXPECT_EQ(form->settings.FECMod, QStringLiteral("2DPSM"));
    EXPECT_EQ(form->settings.FECBlockSize, 51);
}

TEST_F(ConfigPages, LockedDuringALinkAndWhileABroadcastRuns) {
    Start();
    for (const bool linked : {false, true}) {
        form->linkStatus.linkEstablished = linked;
        Run([&](TForm2& pages) {
            EXPECT_EQ(pages.butDefaults->isEnabled(), !linked);
            EXPECT_EQ(pages.BaudotRateCombo->isEnabled(), !linked);
            EXPECT_EQ(Find<QLineEdit>("edPModeMaxUp")->isEnabled(), !linked);
            EXPECT_EQ(Find<QRadioButton>("mirvolAFChannel2")->isEnabled(), !linked);
            EXPECT_EQ(pages.edMyCall->isEnabled(), !linked);
            EXPECT_TRUE(Find<QRadioButton>("sysCWIDON")->isEnabled());
            Cancel(pages);
        });
    }
    form->linkStatus.linkEstablished = false;
    form->terminal.OperatingMode = kModeMirvolBroadcast;
    Run([&](TForm2& pages) {
        EXPECT_FALSE(pages.butDefaults->isEnabled());
        EXPECT_EQ(pages.ConfigFolder->currentWidget()->objectName(),
                  QStringLiteral("GeneralSheet"));
        Cancel(pages);
    });
}

TEST_F(ConfigPages, PortsListedOnceAndAChangeTakesEffectAtTheNextStart) {
    Start();
    for (int opening = 0; opening < 2; ++opening) {
        Run([&](TForm2& pages) {
            // The port in use is listed although this program holds it.
            EXPECT_EQ(pages.PortBox->findText(QStringLiteral("COM1")), 0);
            EXPECT_EQ(pages.PortBox->currentText(), QStringLiteral("COM1"));
            QStringList items;
            for (int i = 0; i < pages.PortBox->count(); ++i) {
                items << pages.PortBox->itemText(i);
            }
            EXPECT_EQ(items.removeDuplicates(), 0);
            Cancel(pages);
        });
    }
    // Another port, chosen the way the operator chooses it, then OK.
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    std::filesystem::create_symlink(::ptsname(terminal),
                                    (home.path() + "/Config/COM7").toStdString());
    Run([&](TForm2& pages) {
        const int index = pages.PortBox->findText(QStringLiteral("COM7"));
        ASSERT_GE(index, 0);
        pages.PortBox->setCurrentIndex(index);
        emit pages.PortBox->activated(index);
        Click(pages.Button3);
    });
    EXPECT_TRUE(ReadAll(IniPath()).contains("ComPort=1\r\n"));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(
        dialogs.boxes[0].text,
        QStringLiteral("Changes in COM Port will not take effect until program is restarted."));
    EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("Information"));
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Information);
    EXPECT_EQ(form->PortName, QStringLiteral("COM7"));
    EXPECT_TRUE(form->SaveConfiguration());
    EXPECT_TRUE(ReadAll(IniPath()).contains("ComPort=7\r\n"));
    ::close(terminal);
}

TEST_F(ConfigPages, EditsStoreTheirLeadingNumber) {
    Start();
    Run([&](TForm2& pages) {
        Find<QLineEdit>("edRobustRetries")->setText(QStringLiteral("letters"));
        Find<QLineEdit>("edFailRetries")->setText(QStringLiteral(" 7"));
        Find<QLineEdit>("edChatCount")->setText(QStringLiteral("-3"));
        Find<QLineEdit>("edPModeMaxUp")->setText(QStringLiteral("99999999999999999999"));
        pages.PSK31Squelch->findChild<QLineEdit*>()->clear();
        Cancel(pages);
    });
    const Settings& s = form->settings;
    EXPECT_EQ(s.RobustRetry, 0);
    EXPECT_EQ(s.FailRetry, 0);
    EXPECT_EQ(s.ChatCount, 0);
    EXPECT_EQ(s.P_MaxUp, INT_MAX);
    EXPECT_EQ(s.PSK31_SQUELCH, 69); // an empty squelch keeps its value
}

TEST_F(ConfigPages, CallSignsAreUpperCaseCutToTheirRoomAndStoredAsTyped) {
    Start();
    Run([&](TForm2& pages) {
        pages.edMyCall476->setFocus();
        QTest::keyClicks(pages.edMyCall476, QStringLiteral("ab1cd"));
        EXPECT_EQ(form->settings.MYCALL476, QStringLiteral("SCALLAB1CD"));
        pages.edMyCall476->clear();
        QTest::keyClicks(pages.edMyCall476, QString(40, u'q'));
        EXPECT_EQ(pages.edMyCall476->text(), QString(kSelCallCapacity, u'Q'));
        EXPECT_EQ(form->settings.MYCALL476, QString(kSelCallCapacity, u'Q'));

        pages.edHisCallBox->lineEdit()->clear();
        QTest::keyClicks(pages.edHisCallBox->lineEdit(), QStringLiteral("k1abc"));
        Click(pages.Button4);
        EXPECT_EQ(form->settings.HISCALLLIST, QStringLiteral("HISCALL,K1ABC"));
        pages.edHisCallBox->setCurrentIndex(0);
        Click(pages.Button5);
        EXPECT_EQ(form->settings.HISCALLLIST, QStringLiteral("K1ABC"));
        Click(pages.Button7); // the 476 list's only entry goes, and its text with it
        EXPECT_EQ(form->settings.HISCALL476LIST, QString());
        EXPECT_EQ(pages.edHisCall476Box->currentText(), QString());
        Cancel(pages);
    });
}

TEST_F(ConfigPages, EveryControlHasANameAScreenReaderCanSpeak) {
    Start();
    const QList<QWidget*> widgets = form->Form2->findChildren<QWidget*>();
    int named = 0;
    for (QWidget* w : widgets) {
        const bool control =
            qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
            qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
            (qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parent()) &&
             !qobject_cast<QAbstractSpinBox*>(w->parent()));
        if (!control || w->objectName().startsWith(QLatin1String("qt_"))) {
            continue;
        }
        const auto* button = qobject_cast<QAbstractButton*>(w);
        const bool hasName =
            !w->accessibleName().isEmpty() || (button && !button->text().isEmpty());
        EXPECT_TRUE(hasName) << w->objectName().toStdString();
        ++named;
    }
    EXPECT_GT(named, 100);
}

TEST_F(ConfigPages, EscapeIsCancelAndTheCloseBoxLeavesTheFlag) {
    Start();
    form->ConfigChanged = false;
    Run([&](TForm2& pages) { QTest::keyClick(&pages, Qt::Key_Escape); });
    EXPECT_TRUE(form->ConfigChanged); // cleared by Cancel, set again by the apply
    ASSERT_FALSE(sent.empty());
    Run([&](TForm2& pages) { pages.close(); });
    EXPECT_FALSE(sent.empty()); // the close box applies too
}

TEST_F(ConfigPages, HereIsMessagesAreEditedInTheMemoAndSavedByTheApply) {
    Start();
    const QString msg = home.path() + "/Msg/";
    WriteFile(msg + "hereis3.txt", "QRV \xE9\r\n");
    Run([&](TForm2& pages) {
        // Message 0, created with its default text.
        EXPECT_EQ(pages.edHereIs->toPlainText(), QStringLiteral("Here is #0"));
        EXPECT_EQ(ReadAll(msg + "hereis0.txt"), QByteArray("Here is #0"));
        pages.UpDown1->setFocus();
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(pages.UpDown1, Qt::Key_Up);
        }
        EXPECT_EQ(pages.UpDown1->text(), QStringLiteral("3"));
        // An edit is not saved by choosing another message.
        pages.edHereIs->setFocus();
        QTest::keyClicks(pages.edHereIs, QStringLiteral("xyz"));
        pages.UpDown1->setValue(10);
        EXPECT_EQ(pages.UpDown1->text(), QStringLiteral("WRU"));
        EXPECT_EQ(pages.edHereIs->toPlainText(), QStringLiteral("WRU"));
        pages.UpDown1->stepUp(); // wraps round to message 0
        EXPECT_EQ(pages.UpDown1->text(), QStringLiteral("0"));
        pages.UpDown1->setValue(3);
        EXPECT_EQ(pages.edHereIs->toPlainText(), QStringLiteral("QRV \u00E9\n"));
        pages.edHereIs->moveCursor(QTextCursor::End);
        QTest::keyClicks(pages.edHereIs, QStringLiteral("73"));
        Cancel(pages);
    });
    // Every byte kept as it was, the edit after it.
    EXPECT_EQ(ReadAll(msg + "hereis3.txt"), QByteArray("QRV \xE9\n73"));
    EXPECT_EQ(ReadAll(msg + "wru.txt"), QByteArray("WRU"));
}

TEST_F(ConfigPages, AHereIsFileThatCannotBeReadOrWrittenIsReported) {
    Start();
    // A folder where the message file should be: neither read nor replaced.
    const QString msg = home.path() + "/Msg/";
    ASSERT_TRUE(QDir().mkpath(msg + "hereis0.txt"));
    Run([&](TForm2& pages) {
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_TRUE(pages.edHereIs->toPlainText().isEmpty());
        pages.edHereIs->setFocus();
        QTest::keyClicks(pages.edHereIs, QStringLiteral("new"));
        Cancel(pages);
    });
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    for (const AskedBox& box : dialogs.boxes) {
        EXPECT_TRUE(box.text.contains(QStringLiteral("hereis0.txt"))) << box.text.toStdString();
        EXPECT_EQ(box.icon, BoxIcon::Stop);
    }
    EXPECT_TRUE(QFileInfo(msg + "hereis0.txt").isDir());
    // The edit is kept for the next apply.
    EXPECT_TRUE(form->Form2->edHereIs->document()->isModified());
}

// --- the print squelch dialog ---

TEST_F(ConfigPages, PrintSquelchLevelAndSwitchGoToTheModemAtOnce) {
    Start("PrintSquelchSetting=57\r\n");
    TForm3& dialog = *form->Form3;
    TAmplitudeTuneFrm& tune = *form->AmplitudeTuneFrm;
    EXPECT_EQ(dialog.PSLevelSpin->value(), 57); // taken at start-up without sending
    EXPECT_TRUE(sent.empty());
    dialog.PSLevelSpin->setValue(58);
    EXPECT_EQ(sent, (Sequence{"80 E8", "80 3A"}));
    EXPECT_TRUE(tune.PrintSquelch->isVisibleTo(&tune));
    EXPECT_TRUE(tune.PrintSquelch2->isVisibleTo(&tune));
    EXPECT_EQ(tune.PrintSquelch->x(), 5);
    EXPECT_EQ(form->settings.PrintSquelchSetting, 58);
    sent.clear();
    dialog.show();
    Click(dialog.butPSOFF);
    EXPECT_EQ(sent, (Sequence{"80 E8", "80 00"}));
    EXPECT_FALSE(tune.PrintSquelch->isVisibleTo(&tune));
    EXPECT_EQ(PrintSquelchMarkerLeft(99), 116);
    EXPECT_EQ(PrintSquelchMarkerLeft(0), -152);
}

TEST_F(ConfigPages, PrintSquelchOpensOnlyOutsideMirvolAmtorAndPMode) {
    Start("PrintSquelchEnable=OFF\r\n");
    form->terminal.OperatingMode = kModeMirvol;
    EXPECT_FALSE(form->ShowPrintSquelch());
    EXPECT_TRUE(dialogs.modalDialogs.empty());
    form->terminal.OperatingMode = kModeBaudot;
    form->ConfigChanged = false;
    dialogs.onModal = [](QDialog& dialog) {
        auto& squelch = static_cast<TForm3&>(dialog);
        EXPECT_TRUE(squelch.butPSOFF->isChecked());
        squelch.show();
        QTest::mouseClick(squelch.Button1, Qt::LeftButton);
        return squelch.result();
    };
    EXPECT_TRUE(form->ShowPrintSquelch());
    EXPECT_EQ(dialogs.modalDialogs.back(), QStringLiteral("Print Squelch"));
    EXPECT_EQ(form->settings.PrintSquelchEnable, QStringLiteral("OFF"));
    EXPECT_TRUE(form->ConfigChanged);
    EXPECT_TRUE(form->Form2->findChild<QRadioButton*>(QStringLiteral("cfgbutPSOFF"))->isChecked());
}

} // namespace
