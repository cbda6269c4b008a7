// The status decoder over a receive ring the test fills, with real actions, timers and panels.
#include "link/StatusDecoder.h"
#include "config/ConfigFile.h"
#include "link/Framing.h"
#include "link/ModemLink.h"
#include "modes/ToolBars.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/RecordingSound.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <random>

using namespace tarvis;
using namespace tarvis::test;

namespace {

class Decoder : public testing::Test {
protected:
    void SetUp() override {
        ReadConfiguration(QStringLiteral("/nonexistent"), settings, ScreenContext{});
        window.resize(800, 600);
        QAction** all[] = {
            &bars.butMVLConnect,      &bars.butMVLDisconnect, &bars.butMVLFEC,
            &bars.butMVLPanic,        &bars.butMVLTXEnable,   &bars.butMVLMsg0,
            &bars.butMVLMsgPlus,      &bars.butMVLdeMY,       &bars.butMVLHisDeMY,
            &bars.butMVLCallCQ,       &bars.butMVLFoxes,      &bars.butAmtorConnect,
            &bars.butAmtorDisconnect, &bars.butAmtorFEC,      &bars.butAmtorPanic,
            &bars.butAmtorOver,       &bars.butAmtorCallCQ,   &bars.butAmtorFoxes,
            &bars.butAmtorForcedOver, &bars.butPModeConnect,  &bars.butPModeDisconnect,
            &bars.butPModeFEC,        &bars.butPModePanic,    &bars.butPModeOver,
            &bars.butPModeCallCQ,     &bars.butPModeFoxes,    &bars.butPModeForcedOver,
            &bars.butBaudotPanic,     &bars.butBaudotFoxes,   &bars.butAsciiPanic,
            &bars.butAsciiFoxes};
        for (QAction** a : all) {
            *a = new QAction(&window);
        }
        for (QAction** a : {&sendBinary, &sendText, &code, &configure, &specialTest}) {
            *a = new QAction(&window);
        }
        for (QTimer** t : {&commandTimer, &resetTimer, &waitTimer, &monitorTimer, &cqTimer}) {
            *t = new QTimer(&window);
        }
        commandTimer->setInterval(5000);
        resetTimer->setInterval(6000);
        resetPanel = new QLabel(QStringLiteral("Hardware Reset Occured"), &window);
        resetPanel->resize(200, 40);
        resetPanel->hide();
        disconnectPanel = new QLabel(QStringLiteral("Disconnect"), &window);
        disconnectPanel->resize(100, 40);
        disconnectPanel->hide();
        window.show();
        auto port = std::make_unique<FakeSerialPort>();
        link = std::make_unique<ModemLink>(
            ModemLink::Context{clock, pump, nullptr, [] {}, [] { return 1; }}, std::move(port));
        DecoderContext c{clock,    pump,
                         sound,    *link,
                         status,   terminal,
                         settings, bars,
                         records,  [this](int pane, const QString& text) { panes[pane] = text; }};
        c.mnuFilesSendBinaryFile = sendBinary;
        c.mnuFilesSendtextfile = sendText;
        c.mnuCode = code;
        c.mnuConfigure = configure;
        c.mnuSpecialTest = specialTest;
        c.mainWindow = &window;
        c.HardwareResetPanel = resetPanel;
        c.DisconnectPanel = disconnectPanel;
        c.CommandTimer = commandTimer;
        c.ResetTimer = resetTimer;
        c.WaitTimer = waitTimer;
        c.MonitorTimer = monitorTimer;
        c.CQTimer = cqTimer;
        c.resetBytesInFlight = [this] { ++bytesInFlightResets; };
        c.closeOpenFiles = [this] { ++filesClosed; };
        c.amplitudeUpdate = [this] { ++amplitudeUpdates; };
        decoder = std::make_unique<StatusDecoder>(c);
    }

    // Stores items as the receive thread would: bytes as text items, "S" + code as status.
    void Items(std::initializer_list<std::uint32_t> items) {
        for (std::uint32_t i : items) {
            link->Ring().Store(i);
        }
    }
    void Text(const char* text, bool terminate = true) {
        for (const char* p = text; *p; ++p) {
            link->Ring().Store(static_cast<std::uint8_t>(*p));
        }
        if (terminate) {
            link->Ring().Store(0);
        }
    }
    // Decodes every status item in the ring, as the dispatch thread hands them over.
    void DecodeAll() {
        std::uint32_t item = 0;
        while (link->Ring().Take(item)) {
            if (IsStatusItem(item)) {
                decoder->Decode(static_cast<std::uint8_t>(item));
            }
        }
    }

    QWidget window;
    FakeClock clock;
    CountingPump pump;
    RecordingSound sound;
    Settings settings;
    ModeToolBars bars;
    LinkStatus status;
    TerminalState terminal;
    StatusRecords records;
    std::unique_ptr<ModemLink> link;
    std::unique_ptr<StatusDecoder> decoder;
    QString panes[9];
    QAction* sendBinary = nullptr;
    QAction* sendText = nullptr;
    QAction* code = nullptr;
    QAction* configure = nullptr;
    QAction* specialTest = nullptr;
    QTimer* commandTimer = nullptr;
    QTimer* resetTimer = nullptr;
    QTimer* waitTimer = nullptr;
    QTimer* monitorTimer = nullptr;
    QTimer* cqTimer = nullptr;
    QLabel* resetPanel = nullptr;
    QLabel* disconnectPanel = nullptr;
    int bytesInFlightResets = 0;
    int filesClosed = 0;
    int amplitudeUpdates = 0;
};

TEST_F(Decoder, MirvolLinkShowsTheCallAndEnablesTheLinkControls) {
    sendBinary->setEnabled(false);
    monitorTimer->start(15000);
    Items({0x8020});
    Text("N0CALL");
    DecodeAll();
    EXPECT_EQ(panes[1], QStringLiteral("Linked to N0CALL"));
    EXPECT_TRUE(sendBinary->isEnabled());
    EXPECT_TRUE(sendText->isEnabled());
    EXPECT_FALSE(code->isEnabled());
    EXPECT_FALSE(specialTest->isEnabled());
    EXPECT_TRUE(status.linkEstablished);
    EXPECT_FALSE(monitorTimer->isActive());
    EXPECT_TRUE(bars.butMVLDisconnect->isEnabled());
    EXPECT_FALSE(bars.butMVLConnect->isEnabled());
    EXPECT_FALSE(bars.butMVLCallCQ->isEnabled());
    EXPECT_EQ(bars.butMVLCallCQ->text(), QStringLiteral("Call CQ"));
    EXPECT_EQ(sound.played, (std::vector<std::string>{"beep"}));
}

TEST_F(Decoder, CallSignsEndAt00OrAHighByteAndAreCutAt19) {
    Items({0x8028});
    Text("W1AW", false);
    Items({0x85, 'x'});
    DecodeAll();
    EXPECT_EQ(panes[1], QStringLiteral("ARQ Call to W1AW"));
    EXPECT_TRUE(monitorTimer->isActive());
    // The item after the ending byte is left for the display.
    Items({0x8022});
    Text("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    DecodeAll();
    EXPECT_EQ(panes[1], QStringLiteral("ARQ CCB from ABCDEFGHIJKLMNOPQRS"));
}

TEST_F(Decoder, PairedCallSignTakesEverySecondByte) {
    Items({0x802C, 0x00, 'A', 0x00, 'B', 0x00, 0x00, 0x8031});
    DecodeAll();
    EXPECT_EQ(panes[1], QStringLiteral("SELFEC to AB"));
    EXPECT_TRUE(link->Flags().echo);
}

TEST_F(Decoder, RoleReportsLeaveTheLastRole) {
    Items({0x807A, 0x0E, 0x807A, 0x0F});
    DecodeAll();
    EXPECT_EQ(panes[3], QStringLiteral("IRS"));
    EXPECT_EQ(status.stationRole, 1);
}

TEST_F(Decoder, LinkEndRestoresTheModeItBeganIn) {
    // A MIRVOL broadcast begun from MIRVOL.
    terminal.OperatingMode = kModeMirvolBroadcast;
    terminal.BaseMode = kModeMirvol;
    Items({0x8023, 0x00});
    DecodeAll();
    EXPECT_EQ(terminal.OperatingMode, kModeMirvol);
    // A P-Mode link begun in AMTOR.
    terminal.OperatingMode = kModeAmtor;
    Items({0x802B});
    Text("K1ABC");
    DecodeAll();
    EXPECT_EQ(terminal.OperatingMode, kModePMode);
    EXPECT_EQ(panes[0], QStringLiteral("P-Mode"));
    EXPECT_EQ(panes[1], QStringLiteral("Linked to K1ABC"));
    EXPECT_EQ(sound.played.back(), "tone 800 1000");
    EXPECT_FALSE(commandTimer->isActive());
    Items({0x8023, 0x00});
    DecodeAll();
    EXPECT_EQ(terminal.OperatingMode, kModeAmtor);
    EXPECT_EQ(panes[0], QStringLiteral("AMTOR"));
    EXPECT_EQ(panes[1], QStringLiteral("STBY"));
    EXPECT_FALSE(status.linkEstablished);
    EXPECT_GE(bytesInFlightResets, 1);
    EXPECT_FALSE(sendBinary->isEnabled());
    EXPECT_TRUE(code->isEnabled());
    EXPECT_FALSE(bars.butAmtorDisconnect->isEnabled());
    EXPECT_TRUE(bars.butAmtorConnect->isEnabled());
    EXPECT_EQ(sound.played.back(), "beep");
}

TEST_F(Decoder, LinkFailureShowsItsPanelAndClosesFiles) {
    terminal.ListenState = 2;
    Items({0x8020});
    Text("N0CALL");
    Items({0x8024, 0x00});
    panes[6] = QStringLiteral("capture.txt: 3");
    DecodeAll();
    EXPECT_EQ(panes[1], QStringLiteral("STBY-LISTEN"));
    EXPECT_EQ(panes[6], QString());
    EXPECT_EQ(filesClosed, 1);
    EXPECT_TRUE(disconnectPanel->isVisible());
    EXPECT_EQ(disconnectPanel->text(), QStringLiteral("Link Failed!"));
    EXPECT_EQ(disconnectPanel->pos(), QPoint(400 - 50, 300 - 20));
    EXPECT_TRUE(waitTimer->isActive());
    EXPECT_EQ(waitTimer->interval(), 1500);
    EXPECT_FALSE(status.linkEstablished);
}

TEST_F(Decoder, AFixedPayloadArrivingInPiecesIsWaitedFor) {
    Items({0x8070, 200, 0, 201, 0, 202});
    int sleeps = 0;
    clock.onSleep = [&] {
        if (++sleeps == 20) {
            Items({0, 203, 0, 'n'});
        }
    };
    DecodeAll();
    EXPECT_GE(sleeps, 20);
    EXPECT_EQ(records.amplitude, (std::array<std::uint8_t, 4>{200, 201, 202, 203}));
    EXPECT_EQ(amplitudeUpdates, 1);
}

TEST_F(Decoder, AReportWhosePayloadNeverComesIsAbandonedAtShutdown) {
    Items({0x8028});
    Text("ABC", false);
    int sleeps = 0;
    clock.onSleep = [&] {
        if (++sleeps == 50) {
            link->Flags().running = false;
        }
    };
    DecodeAll();
    EXPECT_EQ(panes[1], QString());
    EXPECT_FALSE(monitorTimer->isActive());
}

TEST_F(Decoder, UnknownCodesAreIgnoredAndTakeNoPayload) {
    Items({0x8033, 0x807A, 0x06});
    DecodeAll();
    EXPECT_EQ(panes[2], QStringLiteral("TX"));
    EXPECT_TRUE(status.transmitting);
}

TEST_F(Decoder, HardwareResetShowsItsPanelOnce) {
    Items({0x8009});
    DecodeAll();
    EXPECT_TRUE(resetPanel->isVisible());
    EXPECT_TRUE(resetTimer->isActive());
    resetTimer->stop();
    Items({0x8009});
    DecodeAll();
    EXPECT_FALSE(resetTimer->isActive()); // already showing: nothing more
}

TEST_F(Decoder, CqHeardOffersTheAnswer) {
    Items({0x8026});
    Text("DL1XYZ");
    DecodeAll();
    EXPECT_EQ(panes[1], QStringLiteral("CQ from DL1XYZ"));
    EXPECT_EQ(bars.butMVLCallCQ->text(), QStringLiteral("Answer CQ"));
    EXPECT_TRUE(status.answerCq);
    EXPECT_TRUE(cqTimer->isActive());
    EXPECT_EQ(cqTimer->interval(), 5000);
    EXPECT_TRUE(monitorTimer->isActive());
}

TEST_F(Decoder, TrafficAndLinkStateTables) {
    struct Row {
        std::uint32_t code;
        std::uint8_t byte;
        int pane;
        const char* text;
    } rows[] = {
        {0x8073, 0x66, 1, "Calling CQ"},
        {0x8073, 0x8A, 3, "TXT"},
        {0x8073, 0x8B, 3, "TXT"},
        {0x8073, 0x8C, 3, "RPT"},
        {0x8073, 0xA0, 3, "IDL"},
        {0x807A, 0x01, 2, "TFC"},
        {0x807A, 0x02, 2, "RQ"},
        {0x807A, 0x03, 2, "ERR"},
        {0x807A, 0x04, 2, "PHS"},
        {0x807A, 0x05, 2, "OVER"},
        {0x807A, 0x07, 2, "RX"},
        {0x807A, 0x08, 4, "100"},
        {0x807A, 0x09, 4, "200"},
        {0x807A, 0x0A, 5, "HUFFMAN ON"},
        {0x807A, 0x0B, 5, "HUFFMAN OFF"},
        {0x807A, 0x0D, 1, "STBY"},
        {0x807A, 0x0E, 3, "ISS"},
        {0x807A, 0x12, 1, "FEC-TX"},
        {0x807A, 0x13, 1, "FEC-RX"},
        {0x807A, 0x14, 1, "FEC-TX"},
        {0x807A, 0x15, 1, "FREE SIG TX"},
        {0x807A, 0x16, 1, "FREE SIG TIMEOUT"},
        {0x807A, 0x10, 1, "STBY-LISTEN"},
        {0x807A, 0x11, 1, "STBY"},
        {0x807A, 0x00, 2, ""},
    };
    for (const Row& r : rows) {
        panes[r.pane] = QStringLiteral("before");
        Items({r.code, r.byte});
        DecodeAll();
        EXPECT_EQ(panes[r.pane], QString::fromLatin1(r.text))
            << std::hex << r.code << " " << int(r.byte);
    }
    EXPECT_TRUE(status.callingCq == false); // 7A 10 brought the Call CQ buttons back
}

TEST_F(Decoder, TheAmtorBroadcastFoldsBackOnStandby) {
    terminal.OperatingMode = kModeAmtorBroadcast;
    Items({0x807A, 0x0C});
    DecodeAll();
    EXPECT_EQ(terminal.OperatingMode, kModeAmtor);
    EXPECT_FALSE(bars.butAmtorFoxes->isEnabled());
    EXPECT_FALSE(sendBinary->isEnabled());
    EXPECT_TRUE(bars.butMVLFEC->isEnabled());
}

TEST_F(Decoder, TheInlineDecoderDiffers) {
    // 31 does not start an echo in MIRVOL while no link is up.
    decoder->DecodeInline(0x31);
    EXPECT_FALSE(link->Flags().echo);
    link->Flags().echo = true;
    status.transmitting = true;
    decoder->DecodeInline(0x30);
    EXPECT_TRUE(link->Flags().echo); // 30 is kept while transmitting
    // 2B ends with a plain beep and does not start the watchdog.
    Text("K1ABC");
    decoder->DecodeInline(0x2B);
    EXPECT_EQ(sound.played.back(), "beep");
    EXPECT_FALSE(commandTimer->isActive());
    // 24 leaves pane 6.
    panes[6] = QStringLiteral("kept");
    Items({0x00});
    decoder->DecodeInline(0x24);
    EXPECT_EQ(panes[6], QStringLiteral("kept"));
}

} // namespace

namespace {

// Long random streams of status items, payloads and text through the framing and the
// decoder: nothing crashes, every wait ends, and a report whose payload never comes is
// abandoned at shutdown.
TEST_F(Decoder, RandomStreamsNeverHang) {
    std::mt19937 random(470);
    const std::uint8_t known[] = {0x09, 0x20, 0x21, 0x22, 0x23, 0x24, 0x26, 0x27, 0x28, 0x29,
                                  0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x30, 0x31, 0x70, 0x71, 0x72,
                                  0x73, 0x74, 0x75, 0x7A, 0x7C, 0x7D, 0x7E, 0x7F};
    for (int round = 0; round < 200; ++round) {
        ReceiveFramer framer;
        framer.SetEscapeMode(round % 2 == 1);
        link->Flags().running = true;
        link->Ring().Reset();
        // Bytes as the modem might send them: reports (mostly known codes), literals, text, noise.
        std::string stream;
        const int length = 20 + static_cast<int>(random() % 300);
        while (static_cast<int>(stream.size()) < length) {
            switch (random() % 4) {
            case 0:
                stream += '\x80';
                stream += static_cast<char>(random() % 3 ? known[random() % std::size(known)]
                                                         : random() % 256);
                break;
            case 1:
                stream += '\x81';
                stream += static_cast<char>(random() % 256);
                break;
            default:
                stream += static_cast<char>(random() % 256);
                break;
            }
        }
        for (char c : stream) {
            framer.Feed(static_cast<std::uint8_t>(c),
                        [&](std::uint32_t item) { link->Ring().Store(item); });
        }
        // Nothing more arrives: a payload still awaited is abandoned when the program shuts down.
        int dryWaits = 0;
        clock.onSleep = [&] {
            if (++dryWaits > 100) {
                link->Flags().running = false;
            }
        };
        const auto started = std::chrono::steady_clock::now();
        DecodeAll();
        EXPECT_EQ(link->Ring().Count(), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
        clock.onSleep = nullptr;
        // Whatever state it left, the panes hold only texts the decoder writes.
        for (const QString& pane : panes) {
            EXPECT_LE(pane.size(), 40);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
