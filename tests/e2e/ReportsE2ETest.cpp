// What the modem reports, the operator sees: reports sent by the simulator reach the panes,
// buttons and menus through the port, the ring, dispatch and the decoder; two stations on one
// simulated channel hold a link.
#include "link/PosixSerialPort.h"
#include "modes/ToolBars.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "shell/Panels.h"
#include "shell/Splash.h"
#include "shell/Unit1.h"
#include "tests/e2e/SimProcess.h"
#include "tests/e2e/StationHome.h"
#include "tests/support/FakeSoundCardEngine.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/ScriptedDialogs.h"

#include "tests/support/QtPrinters.h"
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace tarvis;
using namespace tarvis::test;

namespace {

class Reports : public testing::Test {
protected:
    void SetUp() override {
        sim = std::make_unique<SimProcess>(a.Link(), a.home.path() + "/sim.log",
                                           a.home.path() + "/sim.sock", QStringList{});
        ASSERT_TRUE(sim->Ready());
        form = std::make_unique<TForm1>(a.MakeEnvironment());
        form->CreateStartWindows();
        ASSERT_TRUE(form->SplashFrm()->RunSequence());
    }
    void TearDown() override {
        if (form) {
            form->close();
        }
        form.reset();
        sim.reset();
    }
    QString Pane(int n) { return form->StatusPaneText(n); }

    StationHome a{"[system]\r\nComPort=1\r\n"};
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<TForm1> form;
};

TEST_F(Reports, ALinkReportShowsTheCallAndEnablesBinarySending) {
    EXPECT_FALSE(form->mnuFilesSendBinaryFile->isEnabled());
    ASSERT_EQ(sim->Control("status 20 4E 30 43 41 4C 4C 00").rfind("ok", 0), 0U);
    ASSERT_TRUE(WaitFor([&] { return Pane(1) == QStringLiteral("Linked to N0CALL"); }));
    EXPECT_TRUE(form->mnuFilesSendBinaryFile->isEnabled());
    EXPECT_TRUE(form->linkStatus.linkEstablished);
    // A call sign ended by 85 instead of 00.
    sim->Control("status 22 57 31 41 57 85");
    ASSERT_TRUE(WaitFor([&] { return Pane(1) == QStringLiteral("ARQ CCB from W1AW"); }));
    sim->Control("status 2C 00 41 00 42 00 00");
    ASSERT_TRUE(WaitFor([&] { return Pane(1) == QStringLiteral("SELFEC to AB"); }));
    sim->Control("status 7A 0E");
    sim->Control("status 7A 0F");
    ASSERT_TRUE(WaitFor([&] { return Pane(3) == QStringLiteral("IRS"); }));
    EXPECT_EQ(form->linkStatus.stationRole, 1);
    // An unknown report is ignored and what follows is handled.
    sim->Control("send 80 33 80 7A 80 01");
    ASSERT_TRUE(WaitFor([&] { return Pane(2) == QStringLiteral("TFC"); }));
    sim->Control("status 23 00");
    ASSERT_TRUE(WaitFor([&] { return !form->linkStatus.linkEstablished; }));
    EXPECT_EQ(Pane(1), form->Decoder().StandbyText());
    EXPECT_FALSE(form->mnuFilesSendBinaryFile->isEnabled());
}

TEST_F(Reports, EachReportRowReachesItsPane) {
    struct Row {
        const char* command;
        int pane;
        const char* text;
    } rows[] = {
        {"status 21 4B 31 00", 1, "FEC CCB from K1"},
        {"status 26 44 4C 31 00", 1, "CQ from DL1"},
        {"status 27 00", 1, "ARQ Link Request"},
        {"status 28 57 32 00", 1, "ARQ Call to W2"},
        {"status 73 66", 1, "Calling CQ"},
        {"status 73 8C", 3, "RPT"},
        {"status 73 A0", 3, "IDL"},
        {"status 7A 02", 2, "RQ"},
        {"status 7A 06", 2, "TX"},
        {"status 7A 07", 2, "RX"},
        {"status 7A 08", 4, "100"},
        {"status 7A 0A", 5, "HUFFMAN ON"},
        {"status 7A 12", 1, "FEC-TX"},
        {"status 7A 15", 1, "FREE SIG TX"},
        {"status 7A 0D", 1, "STBY"},
        {"status 7A 10", 1, "STBY-LISTEN"},
    };
    for (const Row& r : rows) {
        ASSERT_EQ(sim->Control(r.command).rfind("ok", 0), 0U) << r.command;
        EXPECT_TRUE(WaitFor([&] { return Pane(r.pane) == QLatin1String(r.text); }, 3000))
            << r.command << " gave " << Pane(r.pane).toStdString();
    }
    EXPECT_EQ(form->bars.butMVLCallCQ->text(), QStringLiteral("Answer CQ"));
}

TEST_F(Reports, TheModeALinkBeganInComesBack) {
    // A P-Mode link begun in AMTOR ends in AMTOR.
    form->mnuCodeAmtor->trigger();
    ASSERT_EQ(form->terminal.OperatingMode, kModeAmtor);
    sim->Control("status 2B 4B 31 00");
    ASSERT_TRUE(WaitFor([&] { return form->terminal.OperatingMode == kModePMode; }));
    EXPECT_EQ(Pane(0), QStringLiteral("P-Mode"));
    EXPECT_EQ(Pane(1), QStringLiteral("Linked to K1"));
    sim->Control("status 23 00");
    ASSERT_TRUE(WaitFor([&] { return form->terminal.OperatingMode == kModeAmtor; }));
    EXPECT_EQ(Pane(0), QStringLiteral("AMTOR"));
    // A MIRVOL broadcast begun from MIRVOL ends in MIRVOL.
    form->terminal.OperatingMode = kModeMirvolBroadcast;
    form->terminal.BaseMode = kModeMirvol;
    sim->Control("status 23 00");
    ASSERT_TRUE(WaitFor([&] { return form->terminal.OperatingMode == kModeMirvol; }));
}

TEST_F(Reports, APayloadInPiecesAndAHardwareResetTwice) {
    // The rest of the payload comes later, in a read of its own; the decoder waits for it.
    sim->Control("send 80 70 81 80 00 81 81 00 C8");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sim->Control("send 00 C9 00");
    ASSERT_TRUE(WaitFor([&] { return form->records.amplitude[3] == 0xC9; }));
    EXPECT_EQ(form->records.amplitude, (std::array<std::uint8_t, 4>{0x80, 0x81, 0xC8, 0xC9}));
    sim->Control("status 09");
    sim->Control("status 09");
    ASSERT_TRUE(WaitFor([&] { return form->HardwareResetPanel->isVisible(); }));
    EXPECT_TRUE(form->ResetTimer->isActive());
}

TEST(TwoStations, AMirvolLinkBetweenTwoTarvisStations) {
    StationHome a("[callsigns]\r\nMYCALL=AA1AA\r\n[system]\r\nComPort=1\r\n");
    StationHome b("[callsigns]\r\nMYCALL=BB2BB\r\n[system]\r\nComPort=1\r\n");
    SimProcess sim(a.Link(), a.home.path() + "/sim.log", a.home.path() + "/sim.sock",
                   {"--station", b.Link(), "--call-delay", "200"});
    ASSERT_TRUE(sim.Ready());
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(b.Link()).isSymLink(); }));
    TForm1 stationA(a.MakeEnvironment());
    stationA.CreateStartWindows();
    ASSERT_TRUE(stationA.SplashFrm()->RunSequence());
    TForm1 stationB(b.MakeEnvironment());
    stationB.CreateStartWindows();
    ASSERT_TRUE(stationB.SplashFrm()->RunSequence());

    stationA.SendCommand(TextCommand(kCmdMirvolCall, "BB2BB"));
    ASSERT_TRUE(WaitFor([&] {
        return stationA.StatusPaneText(1) == QStringLiteral("Linked to BB2BB") &&
               stationB.StatusPaneText(1) == QStringLiteral("Linked to AA1AA");
    })) << stationA.StatusPaneText(1).toStdString()
        << " / " << stationB.StatusPaneText(1).toStdString();
    EXPECT_TRUE(stationA.linkStatus.linkEstablished);
    EXPECT_TRUE(stationB.linkStatus.linkEstablished);
    EXPECT_TRUE(stationB.mnuFilesSendBinaryFile->isEnabled());

    stationA.SendCommand(Command(kCmdEndOfTransmission));
    ASSERT_TRUE(WaitFor([&] {
        return !stationA.linkStatus.linkEstablished && !stationB.linkStatus.linkEstablished;
    }));
    EXPECT_EQ(stationA.StatusPaneText(1), stationA.Decoder().StandbyText());
    EXPECT_EQ(stationB.StatusPaneText(1), stationB.Decoder().StandbyText());
    stationA.close();
    stationB.close();
}

} // namespace
