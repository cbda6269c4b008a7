// libFuzzer target: any bytes from the modem, in plain or escape framing (the first byte picks),
// go through the receive framing into the ring and every status item through the status
// decoder, with real actions, timers and panels. Nothing may fault, every report ends (a
// payload that never comes is abandoned at shutdown) and the ring is left empty.
#include "config/ConfigFile.h"
#include "link/Framing.h"
#include "link/ModemLink.h"
#include "link/StatusDecoder.h"
#include "modes/ToolBars.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/RecordingSound.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace tarvis;
using namespace tarvis::test;

namespace {

struct Station {
    Station() {
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
        link = std::make_unique<ModemLink>(
            ModemLink::Context{clock, pump, nullptr, [] {}, [] { return 1; }},
            std::make_unique<FakeSerialPort>());
        DecoderContext c{clock,    pump,
                         sound,    *link,
                         status,   terminal,
                         settings, bars,
                         records,  [this](int pane, const QString& text) { panes[pane] = text; }};
        c.mnuFilesSendBinaryFile = new QAction(&window);
        c.mnuFilesSendtextfile = new QAction(&window);
        c.mnuCode = new QAction(&window);
        c.mnuConfigure = new QAction(&window);
        c.mnuSpecialTest = new QAction(&window);
        c.mainWindow = &window;
        c.HardwareResetPanel = new QLabel(QStringLiteral("Hardware Reset Occured"), &window);
        c.DisconnectPanel = new QLabel(QStringLiteral("Disconnect"), &window);
        c.FAXTransferPanel = new QLabel(&window);
        c.CommandTimer = new QTimer(&window);
        c.ResetTimer = new QTimer(&window);
        c.WaitTimer = new QTimer(&window);
        c.MonitorTimer = new QTimer(&window);
        c.CQTimer = new QTimer(&window);
        decoder = std::make_unique<StatusDecoder>(c);
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
};

Station& TheStation() {
    static int argc = 1;
    static char name[] = "receive_status_fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv); // QT_QPA_PLATFORM=offscreen: no screen needed
    static Station station;
    return station;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    Station& s = TheStation();
    ReceiveFramer framer;
    framer.SetEscapeMode((data[0] & 1) != 0);
    s.link->Flags().running = true;
    s.link->Ring().Reset();
    for (std::size_t i = 1; i < size; ++i) {
        framer.Feed(data[i], [&](std::uint32_t item) { s.link->Ring().Store(item); });
    }
    int dryWaits = 0;
    s.clock.onSleep = [&] {
        if (++dryWaits > 100) {
            s.link->Flags().running = false;
        }
    };
    std::uint32_t item = 0;
    while (s.link->Ring().Take(item)) {
        if (IsStatusItem(item)) {
            s.decoder->Decode(static_cast<std::uint8_t>(item));
        }
    }
    s.clock.onSleep = nullptr;
    if (s.link->Ring().Count() != 0 || dryWaits > 1000) {
        std::abort();
    }
    return 0;
}
