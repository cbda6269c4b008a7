// The start-up exchange against an in-process modem.
#include "link/Handshake.h"
#include "link/ModemLink.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeModem.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/ScriptedDialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

using namespace tarvis;
using namespace tarvis::test;

namespace {

std::string Hex(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(bytes[i]));
        out += (i ? " " : "") + std::string(buf);
    }
    return out;
}

class Handshake : public testing::Test {
protected:
    void SetUp() override {
        QDir(home.path()).mkpath(QStringLiteral("Config"));
        for (const char* name : {"COM1", "COM3"}) {
            const std::string link = (home.path() + "/Config/" + name).toStdString();
            if (!std::filesystem::is_symlink(link)) {
                std::filesystem::create_symlink("/dev/null", link);
            }
        }
        auto p = std::make_unique<FakeSerialPort>();
        port = p.get();
        modem = std::make_unique<FakeModem>(*port);
        link = std::make_unique<ModemLink>(
            ModemLink::Context{clock, pump, nullptr, [] {}, [] { return 1; }}, std::move(p));
    }

    void TearDown() override {
        // The link's threads write to the port, whose listener is the modem: link first.
        link.reset();
        modem.reset();
    }

    HandshakeResult Run() {
        HandshakeContext context{*link,
                                 status,
                                 clock,
                                 pump,
                                 dialogs,
                                 sound,
                                 home.path(),
                                 [this](int& number) {
                                     ++portDialogs;
                                     if (portChoices.empty()) {
                                         return false;
                                     }
                                     number = portChoices.front();
                                     portChoices.erase(portChoices.begin());
                                     if (afterChoice) {
                                         afterChoice();
                                     }
                                     return true;
                                 },
                                 [this] { hidden = true; },
                                 [this](int code) { endedWith = code; },
                                 [this] {
                                     ++reloads;
                                     return loaderEnds;
                                 }};
        return OpenAndHandshake(context, portName, configChanged, identity);
    }

    QTemporaryDir home;
    FakeClock clock;
    CountingPump pump;
    ScriptedDialogs dialogs;
    RecordingSound sound;
    FakeSerialPort* port = nullptr;
    std::unique_ptr<FakeModem> modem;
    std::unique_ptr<ModemLink> link;
    LinkStatus status;
    QString portName = QStringLiteral("COM1");
    bool configChanged = false;
    ModemIdentity identity;
    std::vector<int> portChoices;
    std::function<void()> afterChoice;
    int portDialogs = 0;
    // The firmware loader offered for a damaged image: how often it ran, and whether it ended
    // the program.
    int reloads = 0;
    bool loaderEnds = false;
    bool hidden = false;
    int endedWith = -1;
};

TEST_F(Handshake, AGoodModemIsIdentifiedInOneExchange) {
    clock.realMicrosPerMs = 1000; // real time: the answer to the first 80 02 is in before the next
    modem->dsp[0] = 0x85;
    modem->dsp[1] = 0x03;
    modem->cpu[0] = 0x0C;
    modem->cpu[1] = 0x0A;
    modem->hardware[0] = 0x80;
    modem->hardware[1] = 0x0A;
    link->Flags().dispatchPaused = true;
    status.linkEstablished = true;
    ASSERT_EQ(Run(), HandshakeResult::Success);
    ASSERT_TRUE(port->WaitForWritten(18));
    EXPECT_EQ(Hex(port->Written()), "80 41 80 46 80 84 80 02 80 76 80 77 80 78 80 7B 80 A0");
    EXPECT_EQ(identity.dspVersion, QStringLiteral("5.3"));
    EXPECT_TRUE(identity.mirvol2000);
    EXPECT_EQ(identity.cpuVersion, QStringLiteral("12.10"));
    EXPECT_EQ(identity.bootVersion, QStringLiteral("1.0"));
    EXPECT_EQ(identity.productId, QStringLiteral("002F"));
    EXPECT_EQ(identity.hardwareVersion, QStringLiteral("800A"));
    EXPECT_FALSE(link->Flags().dispatchPaused);
    EXPECT_FALSE(status.linkEstablished);
    EXPECT_TRUE(status.normalOperation);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(endedWith, -1);
    // Opened, set to 9600 baud, RTS raised before DTR; the settings once more at the end.
    const auto calls = port->Calls();
    ASSERT_GE(calls.size(), 5U);
    EXPECT_EQ(calls[1], "configure 9600");
    EXPECT_EQ(calls[2], "RTS on");
    EXPECT_EQ(calls[3], "DTR on");
    EXPECT_EQ(calls.back(), "configure 9600");
}

TEST_F(Handshake, AnswersAsTextItemsCountTheSameAndStrayItemsAreSkipped) {
    modem->answersAsText = true;
    modem->dsp[0] = 0x01;
    modem->dsp[1] = 0x00;
    port->Feed("garbage before the exchange");
    ASSERT_EQ(Run(), HandshakeResult::Success);
    EXPECT_EQ(identity.dspVersion, QStringLiteral("1.0"));
    EXPECT_FALSE(identity.mirvol2000);
    EXPECT_EQ(identity.hardwareVersion, QStringLiteral("8004"));
}

TEST_F(Handshake, EachFirmwareStatusHasItsAnswer) {
    const QString support = QStringLiteral("\n\nContact Vantor Communications Corp.\nTelephone +1 "
                                           "555 0100\nwww.vantor.example/support");
    struct Case {
        std::uint8_t status;
        QString text; // empty: good firmware, no box
        BoxButtons buttons;
    } cases[] = {
        {0x0A, {}, BoxButtons::Ok},
        {0x03, {}, BoxButtons::Ok},
        {0x05, {}, BoxButtons::Ok},
        {0x01, "BOOT BLOCK failure!" + support, BoxButtons::Ok},
        {0x08, "DSP failure!" + support, BoxButtons::Ok},
        {0x0C, "Incorrect S28 for the BOOT BLOCK!" + support, BoxButtons::Ok},
        {0x02, "LOD memory error!\n\nReload LOD?", BoxButtons::OkCancel},
        {0x04, "S28 memory error!\n\nReload S28?", BoxButtons::OkCancel},
        {0x06, "LOD and S28 memory errors!\n\nReload firmware?", BoxButtons::OkCancel},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        dialogs.boxes.clear();
        sound.played.clear();
        endedWith = -1;
        hidden = false;
        modem->firmwareStatus = c.status;
        // The reload offer refused.
        dialogs.boxAnswers = {BoxAnswer::Cancel};
        const HandshakeResult result = Run();
        if (c.text.isEmpty()) {
            EXPECT_EQ(result, HandshakeResult::Success) << int(c.status);
            EXPECT_TRUE(dialogs.boxes.empty()) << int(c.status);
            continue;
        }
        EXPECT_EQ(result, HandshakeResult::Ended) << int(c.status);
        ASSERT_EQ(dialogs.boxes.size(), 1U) << int(c.status);
        EXPECT_EQ(dialogs.boxes[0].text, c.text);
        EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("ERROR"));
        EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
        EXPECT_EQ(dialogs.boxes[0].buttons, c.buttons);
        EXPECT_EQ(endedWith, 1);
        EXPECT_TRUE(hidden);
        const auto calls = port->Calls();
        ASSERT_GE(calls.size(), 2U);
        EXPECT_EQ(calls[calls.size() - 2], "RTS off");
        EXPECT_EQ(calls.back(), "DTR off");
        EXPECT_EQ(sound.played.size(), c.buttons == BoxButtons::Ok ? 1U : 0U);
    }
}

TEST_F(Handshake, AnAcceptedReloadRunsTheLoaderAndGoesOnOnlyWhenNothingWasSent) {
    for (const bool ends : {false, true}) {
        TearDown();
        SetUp();
        reloads = 0;
        loaderEnds = ends;
        endedWith = -1;
        modem->firmwareStatus = 0x06;
        dialogs.boxAnswers = {BoxAnswer::Ok};
        const HandshakeResult result = Run();
        EXPECT_EQ(reloads, 1);
        EXPECT_EQ(result, ends ? HandshakeResult::Ended : HandshakeResult::Success);
        // The loader ends the program itself; the handshake adds no end of its own.
        EXPECT_EQ(endedWith, -1);
        const auto heard = modem->Heard();
        EXPECT_EQ(std::count(heard.begin(), heard.end(), 0xA0), ends ? 0 : 1);
    }
}

TEST_F(Handshake, ASilentModemAsksForAnotherPortAfter25Seconds) {
    modem->firmwareStatus.reset();
    dialogs.boxAnswers = {BoxAnswer::Ok, BoxAnswer::No};
    EXPECT_EQ(Run(), HandshakeResult::Ended);
    EXPECT_GE(clock.Elapsed(), 25000);
    EXPECT_LT(clock.Elapsed(), 27000);
    ASSERT_EQ(dialogs.boxes.size(), 2U);
    EXPECT_EQ(dialogs.boxes[0].text,
              QStringLiteral("Error communicating with modem.\nPlease, check the cable and power "
                             "connections\nor reset the modem and try again."));
    EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("ERROR"));
    EXPECT_EQ(dialogs.boxes[1].text, QStringLiteral("Would you like to try another COM port?"));
    EXPECT_EQ(dialogs.boxes[1].buttons, BoxButtons::YesNo);
    EXPECT_EQ(endedWith, 1);
    EXPECT_FALSE(configChanged);
    EXPECT_FALSE(port->IsOpen());
    // Asked every 50 ms or so meanwhile.
    const auto heard = modem->Heard();
    EXPECT_GT(std::count(heard.begin(), heard.end(), 0x02), 300);
}

TEST_F(Handshake, AnotherPortChosenAfterSilenceIsTried) {
    modem->firmwareStatus.reset();
    dialogs.boxAnswers = {BoxAnswer::Ok, BoxAnswer::Yes};
    portChoices = {3};
    clock.onSleep = [this] {
        // The modem on the other port answers.
        if (portName == QStringLiteral("COM3")) {
            modem->SetFirmwareStatus(0x0A);
        }
    };
    EXPECT_EQ(Run(), HandshakeResult::Success);
    EXPECT_EQ(portName, QStringLiteral("COM3"));
    EXPECT_TRUE(configChanged);
    EXPECT_EQ(portDialogs, 1);
    const auto calls = port->Calls();
    EXPECT_NE(std::find(calls.begin(), calls.end(),
                        "open " + (home.path() + "/Config/COM3").toStdString()),
              calls.end());
}

TEST_F(Handshake, CancellingThePortChoiceAfterSilenceEnds) {
    modem->firmwareStatus.reset();
    dialogs.boxAnswers = {BoxAnswer::Ok, BoxAnswer::Yes};
    EXPECT_EQ(Run(), HandshakeResult::Ended);
    EXPECT_EQ(portDialogs, 1);
    EXPECT_EQ(endedWith, 1);
}

TEST_F(Handshake, APortThatCannotBeOpenedShowsTheDialogWithoutAMessage) {
    port->SetOpenable(false);
    EXPECT_EQ(Run(), HandshakeResult::Cancelled);
    EXPECT_EQ(portDialogs, 1);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_TRUE(hidden);
    EXPECT_EQ(endedWith, -1);

    // OK moves to the chosen port and goes on.
    TearDown();
    SetUp();
    port->SetOpenable(false);
    portChoices = {3};
    // The first open fails; once the dialog has answered, the port opens.
    afterChoice = [this] { port->SetOpenable(true); };
    int opens = 0;
    EXPECT_EQ(Run(), HandshakeResult::Success);
    for (const std::string& call : port->Calls()) {
        opens += call.rfind("open ", 0) == 0;
    }
    EXPECT_GE(opens, 2);
    EXPECT_EQ(portName, QStringLiteral("COM3"));
    EXPECT_FALSE(configChanged); // only a change after a silent modem counts
}

TEST_F(Handshake, EachUnansweredQueryHasItsNumber) {
    const std::pair<std::uint8_t, int> cases[] = {
        {0x76, 3}, {0x77, 4}, {0x78, 5}, {0x7B, 6}, {0xA0, 7}};
    for (const auto& [code, number] : cases) {
        TearDown();
        SetUp();
        dialogs.boxes.clear();
        endedWith = -1;
        modem->silentFor = {code};
        EXPECT_EQ(Run(), HandshakeResult::Ended);
        ASSERT_EQ(dialogs.boxes.size(), 1U);
        EXPECT_EQ(
            dialogs.boxes[0].text,
            QStringLiteral("(%1)QD470 not responding!\n\nReset modem, and check power and cables.")
                .arg(number));
        EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("ERROR"));
        EXPECT_EQ(endedWith, 1);
    }
}

TEST(VersionTexts, DigitsAndHex) {
    EXPECT_EQ(VersionText(0x85, 0x03), QStringLiteral("5.3"));
    EXPECT_EQ(VersionText(0x0C, 0x0A), QStringLiteral("12.10"));
    EXPECT_EQ(VersionText(0x01, 0x00), QStringLiteral("1.0"));
    EXPECT_EQ(VersionText(0x63, 0xE3), QStringLiteral("99.99"));
    EXPECT_EQ(HexWordText(0x00, 0x2F), QStringLiteral("002F"));
    EXPECT_EQ(HexWordText(0x80, 0x0b), QStringLiteral("800B"));
}

} // namespace
