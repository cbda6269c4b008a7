#pragma once
// The transmit pump over a real transmit pane and a modem side that records every byte handed
// to it, in order, as they would reach the port.
#include "config/Settings.h"
#include "link/LinkStatus.h"
#include "link/TransmitPump.h"
#include "modes/TerminalState.h"
#include "terminal/TextEntry.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeSoundCardEngine.h"

#include <QTextEdit>
#include <map>
#include <vector>

namespace tarvis::test {

class RecordingModem final : public PumpModem {
public:
    void SendText(const Bytes& text) override { wire += text; }
    void SendCommand(const Bytes& command) override {
        wire += command;
        ++commands;
    }
    int PendingTransmitCount() override { return pending; }
    void SetWriteChunk(int count) override { chunks.push_back(count); }
    int PskQueueLength() override { return pskQueue; }
    bool EscapeMode() override { return escapeMode; }
    bool OutputHeld() override { return held; }
    bool Cts() override { return cts; }

    Bytes wire;
    int commands = 0;
    int pending = 0;
    int pskQueue = 0;
    bool escapeMode = false;
    bool held = false;
    bool cts = true;
    std::vector<int> chunks;
};

struct PumpStation {
    PumpStation() {
        settings.HighLightTextColor = QStringLiteral("Red");
        settings.TransmitTextColor = QStringLiteral("Blue");
        settings.PSK31_PTTON = 5;
        settings.PSK31_PTTOFF = 3;
        clock.realMicrosPerMs = 0;
    }

    void Setup(int mode, int entry, bool linked = true) {
        terminal.OperatingMode = mode;
        terminal.TextEntryMode = entry;
        terminal.TxEnabled = true;
        link.linkEstablished = linked;
    }
    void Type(const QString& text) {
        edit.moveCursor(QTextCursor::End);
        edit.insertPlainText(text);
    }
    // Runs the pump `passes` times and returns what reached the modem meanwhile. Unless told
    // otherwise the modem echoes everything at once, so the flow limits stay out of the way.
    Bytes Run(int passes) {
        modem.wire.clear();
        for (int i = 0; i < passes; ++i) {
            pump.OnTxReady();
            if (echoAll) {
                pump.InFlight().Reset();
            }
        }
        return modem.wire;
    }
    bool echoAll = true;

    QTextEdit edit;
    TextEditTransmitPane pane{edit};
    RecordingModem modem;
    FakeSoundCardEngine engine;
    TerminalState terminal;
    LinkStatus link;
    Settings settings;
    FakeClock clock;
    CountingPump events;
    std::map<int, QString> panes;
    TransmitPump pump{
        TransmitPump::Context{pane, modem, &engine, terminal, link, settings, clock, events,
                              [this](int index, const QString& text) { panes[index] = text; }}};
};

} // namespace tarvis::test
