// Tarvis against the modem simulator on a pseudo-terminal: finding the modem, identifying it,
// the initial settings, and closing.
#include "link/PosixSerialPort.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "shell/Comfrmunit.h"
#include "shell/Splash.h"
#include "shell/Unit1.h"
#include "tests/e2e/SimProcess.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeSoundCardEngine.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/ScriptedDialogs.h"

#include "tests/support/QtPrinters.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tarvis;
using namespace tarvis::test;

namespace {

class StationOnSimulator : public testing::Test {
protected:
    void SetUp() override {
        QDir(home.path()).mkpath(QStringLiteral("Config"));
        WriteIni("[system]\r\nComPort=1\r\n");
    }
    void WriteIni(const QByteArray& bytes) {
        QFile f(home.path() + "/Config/tarvis.ini");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray Ini() {
        QFile f(home.path() + "/Config/tarvis.ini");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void StartSim(const QStringList& options, const char* port = "COM1") {
        sim =
            std::make_unique<SimProcess>(home.path() + "/Config/" + port, home.path() + "/sim.log",
                                         home.path() + "/sim.sock", options);
        ASSERT_TRUE(sim->Ready());
    }
    Environment MakeEnvironment(Clock& clock) {
        Environment env;
        env.clock = &clock;
        env.pump = &QtEventPump();
        env.dialogs = &dialogs;
        env.sound = &sound;
        env.engine = &engine;
        env.makePort = [] { return std::make_unique<PosixSerialPort>(); };
        env.endProcess = [this](int code) { endedWith = code; };
        env.workingDirectory = home.path();
        return env;
    }
    // Starts a station; true when the start-up went through.
    bool Start(TForm1& form) {
        form.CreateStartWindows();
        return form.SplashFrm()->RunSequence();
    }

    QTemporaryDir home;
    std::unique_ptr<SimProcess> sim;
    ScriptedDialogs dialogs;
    RecordingSound sound;
    FakeSoundCardEngine engine;
    int endedWith = -1;
};

const QStringList kStartupCommands = {
    "80 41", "80 46", "80 84", "80 02", "80 76", "80 77", "80 78", "80 7B", "80 A0",
};

TEST_F(StationOnSimulator, FindsIdentifiesAndSetsUpTheModemThenResetsItLast) {
    StartSim({"--dsp-version", "4.2", "--hardware", "8004"});
    {
        TForm1 form(MakeEnvironment(SystemClock()));
        ASSERT_TRUE(Start(form));
        EXPECT_TRUE(dialogs.boxes.empty());
        EXPECT_EQ(form.identity.dspVersion, QStringLiteral("4.2"));
        EXPECT_EQ(form.identity.cpuVersion, QStringLiteral("4.1"));
        EXPECT_EQ(form.identity.bootVersion, QStringLiteral("1.0"));
        EXPECT_EQ(form.identity.productId, QStringLiteral("002F"));
        EXPECT_EQ(form.identity.hardwareVersion, QStringLiteral("8004"));
        EXPECT_FALSE(form.identity.mirvol2000);
        EXPECT_FALSE(form.Link().Framer().EscapeMode());
        ASSERT_TRUE(sim->WaitForLog(QStringLiteral("80 59")));
        form.close();
    }
    ASSERT_TRUE(sim->WaitForLog(QStringLiteral("80 09")));
    QStringList expected = kStartupCommands;
    expected << "80 67 00"
             << "80 45"
             << "80 E8 45"
             << "80 63 04"
             << "80 EE 07"
             << "80 6C 01"
             << "80 6C 28";
    // Then the set-up of the configured mode, MIRVOL, and at the close the reset.
    expected << "80 41"
             << "80 46"
             << "80 4D"
             << "80 80"
             << "80 63 04"
             << "80 DB"
             << "80 65 01"
             << "80 61 1E"
             << "80 60 0A"
             << "80 62 14"
             << "80 68 01"
             << "80 13 \"MYCALL\""
             << "80 51"
             << "80 54"
             << "80 56"
             << "80 5A"
             << "80 59"
             << "80 09";
    EXPECT_EQ(sim->Commands(), expected);
    EXPECT_TRUE(Ini().startsWith("[callsigns]\r\n"));
    EXPECT_TRUE(Ini().contains("\r\nTXGain=+0dB\r\n"));
    EXPECT_EQ(endedWith, -1);
}

TEST_F(StationOnSimulator, IdentificationTextsAndEscapeMode) {
    struct Case {
        QStringList options;
        QString dsp;
        QString cpu;
        QString product;
        bool mirvol2000;
        bool escape;
    } cases[] = {
        {{"--dsp-version", "5.3", "--mirvol2000", "--hardware", "800A"},
         "5.3",
         "4.1",
         "002F",
         true,
         true},
        {{"--cpu-version", "12.10", "--hardware", "800B", "--answers", "text"},
         "4.2",
         "12.10",
         "002F",
         false,
         true},
        {{"--product-id", "00AB", "--hardware", "8004", "--answers", "mixed"},
         "4.2",
         "4.1",
         "00AB",
         false,
         false},
        {{"--hardware", "800C"}, "4.2", "4.1", "002F", false, false},
    };
    for (const Case& c : cases) {
        StartSim(c.options);
        TForm1 form(MakeEnvironment(SystemClock()));
        ASSERT_TRUE(Start(form)) << c.options.join(' ').toStdString();
        EXPECT_EQ(form.identity.dspVersion, c.dsp);
        EXPECT_EQ(form.identity.cpuVersion, c.cpu);
        EXPECT_EQ(form.identity.productId, c.product);
        EXPECT_EQ(form.identity.mirvol2000, c.mirvol2000);
        EXPECT_EQ(form.Link().Framer().EscapeMode(), c.escape) << c.options.join(' ').toStdString();
        ASSERT_TRUE(sim->WaitForLog(QStringLiteral("80 6C 01")));
        // A MIRVOL 2000 modem takes no audio channel.
        EXPECT_EQ(sim->Commands().contains(QStringLiteral("80 63 04")), !c.mirvol2000);
        form.close();
        sim.reset();
    }
}

TEST_F(StationOnSimulator, EachFirmwareStatusHasItsMessage) {
    const std::pair<const char*, QString> cases[] = {
        {"01", "BOOT BLOCK failure!"},
        {"08", "DSP failure!"},
        {"0C", "Incorrect S28 for the BOOT BLOCK!"},
        {"02", "LOD memory error!\n\nReload LOD?"},
        {"04", "S28 memory error!\n\nReload S28?"},
        {"06", "LOD and S28 memory errors!\n\nReload firmware?"},
        {"05", QString()},
    };
    for (const auto& [status, message] : cases) {
        StartSim({"--firmware-status", status});
        dialogs.boxes.clear();
        // A reload offered is refused (accepting it runs the firmware loader).
        dialogs.boxAnswers = {BoxAnswer::Cancel};
        endedWith = -1;
        TForm1 form(MakeEnvironment(SystemClock()));
        const bool started = Start(form);
        if (message.isEmpty()) {
            EXPECT_TRUE(started) << status;
            EXPECT_TRUE(dialogs.boxes.empty());
        } else {
            EXPECT_FALSE(started) << status;
            ASSERT_EQ(dialogs.boxes.size(), 1U) << status;
            EXPECT_TRUE(dialogs.boxes[0].text.startsWith(message)) << status;
            EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("ERROR"));
            EXPECT_EQ(endedWith, 1);
            // Nothing is asked of the modem after a damaged firmware status.
            EXPECT_FALSE(sim->Commands().contains(QStringLiteral("80 76")));
        }
        sim.reset();
    }
}

TEST_F(StationOnSimulator, ASilentModemGetsTheErrorAndThePortQuestionAfter25Seconds) {
    StartSim({"--firmware-status", "none"});
    FakeClock clock;
    clock.realMicrosPerMs = 50;
    dialogs.boxAnswers = {BoxAnswer::Ok, BoxAnswer::No};
    TForm1 form(MakeEnvironment(clock));
    EXPECT_FALSE(Start(form));
    ASSERT_EQ(dialogs.boxes.size(), 2U);
    EXPECT_TRUE(
        dialogs.boxes[0].text.startsWith(QStringLiteral("Error communicating with modem.")));
    EXPECT_EQ(dialogs.boxes[1].text, QStringLiteral("Would you like to try another COM port?"));
    EXPECT_GE(clock.Elapsed(), 25000);
    EXPECT_EQ(endedWith, 1);
    // It was asked again and again meanwhile.
    EXPECT_GT(sim->Commands().count(QStringLiteral("80 02")), 100);
}

TEST_F(StationOnSimulator, AnIdentificationLeftUnansweredEndsWithItsNumber) {
    StartSim({});
    FakeClock clock;
    clock.realMicrosPerMs = 200;
    bool silenced = false;
    // The modem stops answering once it has told its firmware status.
    clock.onSleep = [&] {
        if (!silenced && sim->LogLines().join('\n').contains(QStringLiteral("sent 80 02 80 0A"))) {
            silenced = true;
            sim->Control("silent on");
        }
    };
    TForm1 form(MakeEnvironment(clock));
    EXPECT_FALSE(Start(form));
    ASSERT_TRUE(silenced);
    ASSERT_EQ(dialogs.boxes.size(), 1U);
    EXPECT_TRUE(dialogs.boxes[0].text.contains(
        QStringLiteral("QD470 not responding!\n\nReset modem, and check power and cables.")));
    EXPECT_EQ(endedWith, 1);
}

TEST_F(StationOnSimulator, AMissingPortLinkOpensThePortDialog) {
    // COM96 has no link in the Config folder, and its fallback device does not exist.
    StartSim({}, "COM3");
    WriteIni("[system]\r\nComPort=96\r\n");
    int shown = 0;
    dialogs.onModal = [&](QDialog& dialog) {
        ++shown;
        // The list offers the simulator's port; the operator takes it.
        auto& ports = static_cast<TComFrm&>(dialog);
        EXPECT_NE(ports.PortBox->findText(QStringLiteral("COM3")), -1);
        ports.PortBox->setCurrentIndex(ports.PortBox->findText(QStringLiteral("COM3")));
        return shown == 1 ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    {
        TForm1 form(MakeEnvironment(SystemClock()));
        ASSERT_TRUE(Start(form));
        EXPECT_EQ(shown, 1);
        EXPECT_EQ(dialogs.modalDialogs,
                  (std::vector<QString>{QStringLiteral("Serial Port Error")}));
        EXPECT_TRUE(dialogs.boxes.empty());
        EXPECT_EQ(form.PortName, QStringLiteral("COM3"));
        form.close();
    }
    // The port that worked is kept.
    EXPECT_TRUE(Ini().contains("\r\nComPort=3\r\n"));
}

TEST_F(StationOnSimulator, GarbageFromTheModemDoesNotStopTheStartUp) {
    StartSim({});
    sim->Control("send 80 80 81 00 41 42 80");
    sim->Control("text noise before the exchange");
    TForm1 form(MakeEnvironment(SystemClock()));
    ASSERT_TRUE(Start(form));
    EXPECT_EQ(form.identity.hardwareVersion, QStringLiteral("8004"));
    form.close();
}

} // namespace
