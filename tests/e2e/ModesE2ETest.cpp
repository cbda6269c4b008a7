// Tarvis against the modem simulator: every mode's set-up from the Code menu, as the modem
// logs it and as it keeps the settings, with the configuration's defaults and with one that
// takes the other branches; the configured mode's set-up at the end of the start-up.
#include "link/PosixSerialPort.h"
#include "modes/TestTones.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "shell/Splash.h"
#include "shell/Unit1.h"
#include "tests/e2e/SimProcess.h"
#include "tests/support/FakeSoundCardEngine.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/ScriptedDialogs.h"

#include "tests/support/QtPrinters.h"
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace tarvis;
using namespace tarvis::test;

namespace {

class ModesOnSimulator : public testing::Test {
protected:
    void SetUp() override {
        QDir(home.path()).mkpath(QStringLiteral("Config"));
        QDir(home.path()).mkpath(QStringLiteral("Msg"));
    }
    void Write(const QString& relative, const QByteArray& bytes) {
        QFile f(home.path() + "/" + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // Starts the simulator and a station on it; the commands of the start-up exchange and the
    // initial settings are left behind in `seen`.
    void Start(const QStringList& options, const QByteArray& ini) {
        Write("Config/tarvis.ini", "[system]\r\nComPort=1\r\n" + ini);
        sim = std::make_unique<SimProcess>(home.path() + "/Config/COM1", home.path() + "/sim.log",
                                           home.path() + "/sim.sock", options);
        ASSERT_TRUE(sim->Ready());
        Environment env;
        env.clock = &SystemClock();
        env.pump = &QtEventPump();
        env.dialogs = &dialogs;
        env.sound = &sound;
        env.engine = &engine;
        env.makePort = [] { return std::make_unique<PosixSerialPort>(); };
        env.endProcess = [](int) {};
        env.workingDirectory = home.path();
        form = std::make_unique<TForm1>(std::move(env));
        form->CreateStartWindows();
        ASSERT_TRUE(form->SplashFrm()->RunSequence());
    }
    void TearDown() override {
        if (form) {
            form->close();
            form.reset();
        }
    }
    // The commands the modem logged after the first `from`, once `count` of them are there.
    QStringList After(int from, int count) {
        for (int i = 0; i < 500 && sim->Commands().size() < from + count; ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
        return sim->Commands().mid(from);
    }
    // Runs a Code menu item; the commands the modem logged for it.
    QStringList Choose(QAction* item, int expected) {
        const int from = static_cast<int>(sim->Commands().size());
        item->trigger();
        return After(from, expected);
    }

    QTemporaryDir home;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<TForm1> form;
    ScriptedDialogs dialogs;
    RecordingSound sound;
    FakeSoundCardEngine engine;
};

const QStringList kInitialSettings = {
    "80 41", "80 46",    "80 84", "80 02",    "80 76",    "80 77",    "80 78",    "80 7B",
    "80 A0", "80 67 00", "80 45", "80 E8 45", "80 63 04", "80 EE 07", "80 6C 01", "80 6C 28"};

const QStringList kMirvolDefaults = {
    "80 41",    "80 46",    "80 4D",    "80 80",    "80 63 04", "80 DB",
    "80 65 01", "80 61 1E", "80 60 0A", "80 62 14", "80 68 01", "80 13 \"MYCALL\"",
    "80 51",    "80 54",    "80 56",    "80 5A",    "80 59"};

TEST_F(ModesOnSimulator, EveryModeFromTheCodeMenuWithTheDefaults) {
    Start({"--hardware", "8004"}, {});
    // The start-up ends with the configured mode, MIRVOL.
    EXPECT_EQ(After(0, kInitialSettings.size() + kMirvolDefaults.size()),
              kInitialSettings + kMirvolDefaults);

    const QStringList amtor = {"80 41",
                               "80 46",
                               "80 84",
                               "80 81",
                               "80 EC 084D 08F7 (2125, 2295)",
                               "80 DB",
                               "80 6C 01",
                               "80 6C 28",
                               "80 48",
                               "80 59",
                               "80 5A",
                               "80 51",
                               "80 56",
                               "80 5D",
                               "80 EE 07",
                               "80 90 \"SCALL\"",
                               "80 91 \"SELCALL\"",
                               "80 92 \"CQCQ\"",
                               "80 5B",
                               "80 E0 32",
                               "80 E1 0A",
                               "80 E9 20",
                               "80 EB 01",
                               "80 C2",
                               "80 C4"};
    EXPECT_EQ(Choose(form->mnuCodeAmtor, amtor.size()), amtor);
    EXPECT_TRUE(form->AmtorToolBar->isVisible());
    EXPECT_FALSE(form->MVLToolBar->isVisible());
    EXPECT_EQ(form->StatusPaneText(0), QStringLiteral("AMTOR"));

    const QStringList pmode = {
        "80 41",    "80 46",           "80 84",    "80 83",    "80 EC 0834 08FC (2100, 2300)",
        "80 DB",    "80 6C 01",        "80 6C 28", "80 F0 02", "80 F1 1E",
        "80 F2 03", "80 F3 02",        "80 F4 06", "80 F5 50", "80 F7 02",
        "80 F8 1E", "80 C9",           "80 EB 02", "80 59",    "80 58",
        "80 5D",    "80 5A",           "80 51",    "80 56",    "80 EE 07",
        "80 48",    "80 13 \"MYCALL\""};
    EXPECT_EQ(Choose(form->mnuCodePMode, pmode.size()), pmode);
    EXPECT_TRUE(form->PModeToolBar->isVisible());

    const QStringList baudot = {"80 41",
                                "80 46",
                                "80 4D",
                                "80 84",
                                "80 EC 084D 08F7 (2125, 2295)",
                                "80 DB",
                                "80 6C 01",
                                "80 6C 28",
                                "80 E4 00",
                                "80 EB 00",
                                "80 C0",
                                "80 E3 14",
                                "80 ED 14",
                                "80 5D",
                                "80 5A",
                                "80 51",
                                "80 56",
                                "80 59",
                                "80 D3",
                                "80 D1",
                                "80 5B",
                                "80 13 \"MYCALL\"",
                                "80 5C",
                                "80 85"};
    EXPECT_EQ(Choose(form->mnuCodeBaudot, baudot.size()), baudot);
    EXPECT_TRUE(form->BaudotToolBar->isVisible());
    const std::string baudotState = sim->Control("settings");
    for (const char* value : {"mode=Baudot", "tones=2125,2295", "usos=on", "sync-idle=on",
                              "baudot-code=US", "mycall=\"MYCALL\""}) {
        EXPECT_NE(baudotState.find(value), std::string::npos) << value << " in " << baudotState;
    }

    const QStringList ascii = {
        "80 41",    "80 46",    "80 4D",    "80 84",    "80 EC 084D 08F7 (2125, 2295)",
        "80 DB",    "80 6C 01", "80 6C 28", "80 EB 00", "80 E3 14",
        "80 ED 14", "80 E5 05", "80 D1",    "80 5B",    "80 59",
        "80 5A",    "80 51",    "80 56",    "80 5D",    "80 13 \"MYCALL\"",
        "80 86"};
    EXPECT_EQ(Choose(form->mnuCodeAscii, ascii.size()), ascii);
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("110"));

    EXPECT_EQ(Choose(form->mnuCodeMirvol, kMirvolDefaults.size()), kMirvolDefaults);
    EXPECT_TRUE(form->MVLToolBar->isVisible());
    EXPECT_FALSE(form->AsciiToolBar->isVisible());
    EXPECT_EQ(sim->Control("settings").rfind("ok mode=MIRVOL", 0), 0U);
}

TEST_F(ModesOnSimulator, TheOtherBranchesStartingInBaudot) {
    Write("Msg/wru.txt", "AB");
    Start({"--hardware", "800A", "--mirvol2000"},
          "[system]\r\nCode=BAUDOT\r\nAFChannel=1\r\nFSKPol=REV\r\nTXEnable=OFF\r\nListen=ON\r\n"
          "[adaptive arq]\r\nAutoBias=ROBUST\r\n"
          "[amtor]\r\nA_Polarity=REV\r\nA_WRU=ON\r\nA_LetterCase=L\r\n"
          "[pmode]\r\nP_Huffman=OFF\r\n"
          "[baudot]\r\nB_CodeType=No2\r\nB_USOS=OFF\r\nB_SyncIdle=OFF\r\nB_Rate=300\r\n"
          "B_Polarity=REV\r\n"
          "[ascii]\r\nS_Rate=300\r\nS_SyncIdle=OFF\r\nS_Polarity=REV\r\n");
    // A MIRVOL 2000 modem takes no audio channel; 800A takes the transmit gain.
    const QStringList initial = {"80 41", "80 46",    "80 84",    "80 02",    "80 76",
                                 "80 77", "80 78",    "80 7B",    "80 A0",    "80 67 00",
                                 "80 45", "80 E8 45", "80 EE 07", "80 6C 01", "80 6C 28"};
    const QStringList baudot = {"80 41",
                                "80 46",
                                "80 4D",
                                "80 84",
                                "80 EC 084D 08F7 (2125, 2295)",
                                "80 CB",
                                "80 6C 01",
                                "80 6C 28",
                                "80 E4 00",
                                "80 EB 00",
                                "80 D0",
                                "80 E3 14",
                                "80 ED 14",
                                "80 5D",
                                "80 5A",
                                "80 51",
                                "80 56",
                                "80 59",
                                "80 C3",
                                "80 C1",
                                "80 4B",
                                "80 13 \"MYCALL\"",
                                "80 5C",
                                "80 85"};
    EXPECT_EQ(After(0, initial.size() + baudot.size()), initial + baudot);
    EXPECT_EQ(form->terminal.OperatingMode, kModeBaudot);
    EXPECT_TRUE(form->mnuCodeBaudot->isChecked());
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("300"));
    EXPECT_EQ(form->bars.butBaudotTXEnable->text(), QStringLiteral("TX DIS"));
    EXPECT_TRUE(form->BaudotToolBar->isVisible());

    // Listen is still on from the configuration: AMTOR before MIRVOL turns it off.
    const QStringList amtor = {"80 41",
                               "80 46",
                               "80 84",
                               "80 81",
                               "80 EC 084D 08F7 (2125, 2295)",
                               "80 CB",
                               "80 6C 01",
                               "80 6C 28",
                               "80 58",
                               "80 59",
                               "80 5A",
                               "80 51",
                               "80 56",
                               "80 5D",
                               "80 EE 07",
                               "80 90 \"SCALL\"",
                               "80 91 \"SELCALL\"",
                               "80 92 \"CQCQ\"",
                               "80 4B",
                               "80 E0 32",
                               "80 E1 0A",
                               "80 E9 20",
                               "80 EB 01",
                               "80 D2",
                               "80 94 \"AB\"",
                               "80 D4"};
    EXPECT_EQ(Choose(form->mnuCodeAmtor, amtor.size()), amtor);
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("STBY-LISTEN"));
    const std::string amtorState = sim->Control("settings");
    for (const char* value : {"mode=AMTOR", "answerback=on", "answerback-text=\"AB\"",
                              "letter-case=lower", "tx-polarity=REV", "listen=on"}) {
        EXPECT_NE(amtorState.find(value), std::string::npos) << value << " in " << amtorState;
    }

    const QStringList pmode = {
        "80 41",    "80 46",           "80 84",    "80 83",    "80 EC 0834 08FC (2100, 2300)",
        "80 CB",    "80 6C 01",        "80 6C 28", "80 F0 02", "80 F1 1E",
        "80 F2 03", "80 F3 02",        "80 F4 06", "80 F5 50", "80 F7 02",
        "80 F8 1E", "80 D9",           "80 EB 02", "80 59",    "80 58",
        "80 5D",    "80 5A",           "80 51",    "80 56",    "80 EE 07",
        "80 58",    "80 13 \"MYCALL\""};
    EXPECT_EQ(Choose(form->mnuCodePMode, pmode.size()), pmode);

    const QStringList ascii = {
        "80 41",    "80 46",    "80 4D",    "80 84",    "80 EC 084D 08F7 (2125, 2295)",
        "80 CB",    "80 6C 01", "80 6C 28", "80 EB 00", "80 E3 14",
        "80 ED 14", "80 E5 00", "80 C1",    "80 4B",    "80 59",
        "80 5A",    "80 51",    "80 56",    "80 5D",    "80 13 \"MYCALL\"",
        "80 86"};
    EXPECT_EQ(Choose(form->mnuCodeAscii, ascii.size()), ascii);
    EXPECT_EQ(form->settings.S_Rate, 45);
    EXPECT_EQ(form->settings.B_Rate, 300);

    const QStringList mirvol = {"80 41",
                                "80 46",
                                "80 4D",
                                "80 80",
                                "80 CB",
                                "80 65 00",
                                "80 61 1E",
                                "80 60 0A",
                                "80 62 14",
                                "80 68 01",
                                "80 13 \"MYCALL\"",
                                "80 51",
                                "80 54",
                                "80 56",
                                "80 5A",
                                "80 59"};
    EXPECT_EQ(Choose(form->mnuCodeMirvol, mirvol.size()), mirvol);
    EXPECT_FALSE(form->bars.butMVLMonitor->isVisible());
    EXPECT_EQ(form->bars.butMVLTXEnable->text(), QStringLiteral("TX DIS"));

    // The Tone Test box in MIRVOL 2000: "Eight Tone Test" sends 80 04; Cancel stops it.
    form->mnuSpecialTest->trigger();
    EXPECT_EQ(form->ToneTestBox->ToneBox->itemText(2), QStringLiteral("Eight Tone Test"));
    const int from = static_cast<int>(sim->Commands().size());
    form->ToneTestBox->ToneBox->setCurrentIndex(2);
    form->ToneTestBox->ToneBox->activated(2);
    form->ToneTestBox->butTestCancel->click();
    EXPECT_EQ(After(from, 2), (QStringList{"80 04", "80 05"}));
    EXPECT_FALSE(form->Link().Display()->IsSuspended());
}

} // namespace
