// Start-up and shutdown of the whole program against an in-process port.
#include "config/ConfigFile.h"
#include "shell/Comfrmunit.h"
#include "shell/Folders.h"
#include "shell/Splash.h"
#include "shell/Unit1.h"
#include "tests/shell/StationFixture.h"
#include "tuning/ToolWindows.h"

#include "tests/support/QtPrinters.h"
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

using namespace tarvis;
using namespace tarvis::test;

namespace {

// From the first 80 41 to the last identification query, the initial settings for the
// hardware 8004, which takes the transmit gain, then the set-up of the configured mode, MIRVOL.
const char kStartupBytes[] = "80 41 80 46 80 84 80 02 80 76 80 77 80 78 80 7B 80 A0 "
                             "80 67 80 00 80 45 80 E8 80 45 80 63 80 04 80 EE 80 07 80 6C 80 01 "
                             "80 6C 80 28 "
                             "80 41 80 46 80 4D 80 80 80 63 80 04 80 DB 80 65 80 01 80 61 80 1E "
                             "80 60 80 0A 80 62 80 14 80 68 80 01 "
                             "80 13 80 4D 80 59 80 43 80 41 80 4C 80 4C 80 00 "
                             "80 51 80 54 80 56 80 5A 80 59";

TEST_F(Station, StartsUpInOrderAndClosesWithTheResetLast) {
    {
        TForm1 form(MakeEnvironment());
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Vantor Tarvis 3.0.5"));
        // The folders are made beside the configuration.
        for (const char* folder : {"Out", "In", "Config", "Msg"}) {
            EXPECT_TRUE(QDir(home.path() + "/" + folder).exists()) << folder;
        }
        EXPECT_TRUE(dialogs.boxes.empty());

        form.CreateStartWindows();
        TSplashFrm& splash = *form.SplashFrm();
        ASSERT_TRUE(splash.RunSequence());
        EXPECT_EQ(splash.Memo->toPlainText(),
                  QStringLiteral("Please Wait...\n"
                                 "Reading Configuration..........OK\n"
                                 "Initializing Modem..........OK\n"
                                 "Opening Sound Card..........OK\n"
                                 "Setting Screen Parameters..........OK\n"
                                 "Finished..........OK"));
        EXPECT_TRUE(form.isVisible());
        EXPECT_FALSE(splash.isVisible());
        EXPECT_TRUE(form.TimeDisplayTimer->isActive());
        EXPECT_FALSE(form.Link().Display()->IsSuspended());
        EXPECT_TRUE(form.mnuCodePSK31->isEnabled());
        EXPECT_TRUE(form.mnuSoundCardTune->isEnabled());
        EXPECT_EQ(engine.Calls(),
                  (std::vector<std::string>{"StartSoundCard", "SetFFTMode 1 255 1"}));

        // The port: opened by its link, 9600 baud, RTS raised before DTR.
        const std::string device = (home.path() + "/Config/COM1").toStdString();
        EXPECT_EQ(port->Calls(), (std::vector<std::string>{"open " + device, "configure 9600",
                                                           "RTS on", "DTR on", "configure 9600"}));
        ASSERT_TRUE(port->WaitForWritten(std::string(kStartupBytes).size() / 3 + 1));
        EXPECT_EQ(Hex(port->Written()), kStartupBytes);
        EXPECT_EQ(form.identity.dspVersion, QStringLiteral("5.3"));
        EXPECT_EQ(form.identity.hardwareVersion, QStringLiteral("8004"));
        EXPECT_FALSE(form.Link().Framer().EscapeMode());

        // Bytes still waiting for the port when the window closes are dropped; the reset goes
        // last, alone.
        port->SetWriteLimit(0);
        form.SendByte('x');
        form.SendByte('y');
        port->ClearWritten();
        form.close();
        // The port takes bytes again only once the close has emptied the queue.
        port->SetWriteLimit(-1);
        ASSERT_TRUE(port->WaitForWritten(2));
        EXPECT_EQ(Hex(port->Written()), "80 09");
        const auto calls = port->Calls();
        ASSERT_GE(calls.size(), 6U);
        EXPECT_EQ(calls[5], "RTS off");
        EXPECT_EQ(calls[6], "DTR off");
        EXPECT_FALSE(form.Link().Flags().running);
        EXPECT_FALSE(form.TimeDisplayTimer->isActive());
    }
    // The file is always rewritten, every key with its value.
    const QByteArray ini = ReadAll(IniPath());
    EXPECT_TRUE(ini.startsWith("[callsigns]\r\nMYCALL=MYCALL\r\n"));
    EXPECT_TRUE(ini.contains("\r\nComPort=1\r\n"));
    EXPECT_TRUE(ini.contains("\r\nMainWidth=750\r\nMainHeight=390\r\n"));
    EXPECT_EQ(endedWith, -1);
}

TEST_F(Station, AWindowClosedWhileAModeIsSetUpSendsNothingAfterTheReset) {
    TForm1 form(MakeEnvironment());
    form.CreateStartWindows();
    ASSERT_TRUE(form.SplashFrm()->RunSequence());
    ASSERT_TRUE(port->WaitForWritten(std::string(kStartupBytes).size() / 3 + 1));
    // The desktop session ends (or the operator chooses Exit) while the set-up of a mode waits
    // between its commands: the rest of the set-up is not sent after the reset.
    port->SetWriteLimit(0);
    port->ClearWritten();
    QTimer::singleShot(0, &form, [&form] { form.close(); });
    form.mnuCodeAmtorClick();
    port->SetWriteLimit(-1);
    ASSERT_TRUE(port->WaitForWritten(2));
    QElapsedTimer waited;
    waited.start();
    while (form.Link().PendingTransmitCount() > 0 && waited.elapsed() < 10000) {
        QThread::msleep(1);
    }
    EXPECT_EQ(Hex(port->Written()), "80 09");
}

TEST_F(Station, ClosingRewritesTheFileEvenWhenNothingChanged) {
    {
        TForm1 form(MakeEnvironment());
        form.CreateStartWindows();
        TSplashFrm& splash = *form.SplashFrm();
        ASSERT_TRUE(splash.RunSequence());
        WriteFile(IniPath(), "[system]\r\nComPort=1\r\n; edited by hand meanwhile\r\n");
        EXPECT_FALSE(form.ConfigChanged);
        form.close();
    }
    const QByteArray ini = ReadAll(IniPath());
    EXPECT_FALSE(ini.contains("edited by hand"));
    EXPECT_TRUE(ini.contains("[screen]\r\n"));
}

TEST_F(Station, TheModeInForceIsTheModeAtTheNextStart) {
    {
        TForm1 form(MakeEnvironment());
        form.CreateStartWindows();
        ASSERT_TRUE(form.SplashFrm()->RunSequence());
        form.mnuCodeAmtor->trigger();
        EXPECT_TRUE(form.ConfigChanged);
        form.close();
    }
    EXPECT_TRUE(ReadAll(IniPath()).contains("\r\nCode=AMTOR\r\n"));
    TForm1 form(MakeEnvironment());
    form.LoadConfiguration();
    EXPECT_EQ(form.terminal.OperatingMode, 2);
}

TEST_F(Station, NoSoundCardDisablesPsk31AndGoesOn) {
    engine.startResult = 1;
    TForm1 form(MakeEnvironment());
    form.CreateStartWindows();
    TSplashFrm& splash = *form.SplashFrm();
    ASSERT_TRUE(splash.RunSequence());
    ASSERT_EQ(dialogs.boxes.size(), 1U);
    EXPECT_EQ(dialogs.boxes[0].text,
              QStringLiteral("Error Opening Sound Card\nSound Card Tuning and PSK31 is disabled"));
    EXPECT_EQ(dialogs.boxes[0].caption, QString());
    EXPECT_FALSE(form.mnuCodePSK31->isEnabled());
    EXPECT_FALSE(form.mnuSoundCardTune->isEnabled());
    EXPECT_EQ(engine.Calls(), (std::vector<std::string>{"StartSoundCard"}));
    EXPECT_FALSE(
        splash.Memo->toPlainText().contains(QStringLiteral("Opening Sound Card..........OK")));
    EXPECT_TRUE(splash.Memo->toPlainText().endsWith(QStringLiteral("Finished..........OK")));
    form.close();
}

TEST_F(Station, APortThatCannotBeOpenedAsksForAnotherAndCancelStopsTheStartUp) {
    openable = false;
    TForm1 form(MakeEnvironment());
    form.CreateStartWindows();
    TSplashFrm& splash = *form.SplashFrm();
    EXPECT_FALSE(splash.RunSequence());
    EXPECT_EQ(dialogs.modalDialogs, (std::vector<QString>{QStringLiteral("Serial Port Error")}));
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.Link().IoThreadsRunning());
    EXPECT_EQ(endedWith, -1);
}

TEST_F(Station, AMissingPortLinkOpensThePortDialog) {
    QFile::remove(home.path() + "/Config/COM1");
    WriteFile(IniPath(), "[system]\r\nComPort=97\r\n"); // no device at all
    TForm1 form(MakeEnvironment());
    form.CreateStartWindows();
    int shown = 0;
    dialogs.onModal = [&](QDialog& dialog) {
        ++shown;
        // The operator picks the port the simulator's link names.
        std::filesystem::create_symlink("/dev/null", (home.path() + "/Config/COM1").toStdString());
        static_cast<TComFrm&>(dialog).SelectedPort = 1;
        return int(QDialog::Accepted);
    };
    ASSERT_TRUE(form.SplashFrm()->RunSequence());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(form.PortName, QStringLiteral("COM1"));
    form.close();
}

TEST_F(Station, ReadsTheConfigurationIntoTheWindows) {
    WriteFile(IniPath(),
              "[system]\r\nComPort=1\r\nListen=OFF\r\nEchoEnable=ON\r\n"
              "[screen]\r\nMainWidth=800\r\nMainHeight=500\r\nMainLeft=11\r\nMainTop=22\r\n"
              "FreqTune=ON\r\nFreqTuneLeft=5\r\nFreqTuneTop=6\r\n");
    {
        TForm1 form(MakeEnvironment());
        form.CreateStartWindows();
        TSplashFrm& splash = *form.SplashFrm();
        ASSERT_TRUE(splash.RunSequence());
        EXPECT_EQ(form.size(), QSize(800, 500));
        EXPECT_EQ(form.terminal.ListenState, 1);
        EXPECT_TRUE(form.mnuViewEchoData->isChecked());
        EXPECT_TRUE(form.mnuViewFreqTune->isChecked());
        EXPECT_TRUE(form.FrequencyTuneFrm->isVisible());
        EXPECT_FALSE(form.AmplitudeTuneFrm->isVisible());
        form.FrequencyTuneFrm->hide();
        form.close();
    }
    const QByteArray ini = ReadAll(IniPath());
    EXPECT_TRUE(ini.contains("\r\nFreqTune=OFF\r\n"));
    EXPECT_TRUE(ini.contains("\r\nAmpTune=OFF\r\n"));
    EXPECT_TRUE(ini.contains("\r\nMainWidth=800\r\nMainHeight=500\r\n"));
    EXPECT_TRUE(ini.contains("\r\nListen=OFF\r\n"));
}

TEST_F(Station, AFailedSaveIsReportedAndLeavesTheFile) {
    TForm1 form(MakeEnvironment());
    form.LoadConfiguration();
    const QByteArray before = ReadAll(IniPath());
    // The Config folder becomes read-only: the new file cannot be made beside the old one.
    QFile::setPermissions(home.path() + "/Config", QFile::ReadOwner | QFile::ExeOwner);
    const bool writable = QFileInfo(home.path() + "/Config").isWritable(); // root ignores it
    form.ConfigChanged = true;
    if (!writable) {
        EXPECT_FALSE(form.SaveConfiguration());
        EXPECT_TRUE(form.ConfigChanged);
        ASSERT_EQ(dialogs.boxes.size(), 1U);
        EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("ERROR"));
        EXPECT_EQ(ReadAll(IniPath()), before);
    }
    QFile::setPermissions(home.path() + "/Config",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A folder in the place of the file defeats root too.
    QFile::remove(IniPath());
    QDir().mkpath(IniPath() + "/blocked");
    dialogs.boxes.clear();
    EXPECT_FALSE(form.SaveConfiguration());
    ASSERT_EQ(dialogs.boxes.size(), 1U);
    EXPECT_TRUE(dialogs.boxes[0].text.contains(QStringLiteral("tarvis.ini")));
    EXPECT_TRUE(QFileInfo(IniPath()).isDir());
    form.close();
}

TEST(Folders, OnlyMissingFoldersAreMadeAndFailuresAreNamed) {
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("Msg"));
    QDir(home.path()).mkpath(QStringLiteral("In"));
    QDir(home.path()).mkpath(QStringLiteral("Config"));
    const Folders folders = ComputeFolders(home.path());
    EXPECT_EQ(folders.home, home.path() + "/");
    EXPECT_EQ(folders.upload, home.path() + "/Out/");
    EXPECT_TRUE(CreateMissingFolders(folders).isEmpty());
    EXPECT_TRUE(QDir(folders.upload).exists());

    QTemporaryDir blocked;
    // Files in the way of the folders.
    for (const char* name : {"Out", "Msg"}) {
        QFile f(blocked.path() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(
        CreateMissingFolders(ComputeFolders(blocked.path())),
        (QStringList{"Error Creating Upload Directory!", "Error Creating Message Directory!"}));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
