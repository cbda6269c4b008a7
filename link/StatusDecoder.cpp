#include "link/StatusDecoder.h"
#include "config/Settings.h"
#include "link/ModemLink.h"
#include "modes/ToolBars.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Sound.h"

#include <QAction>
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace tarvis {

namespace {

// A call sign longer than this is cut.
constexpr int kCallSignMax = 19;
constexpr int kMonitorMs = 15000;
constexpr int kCqAnswerMs = 5000;
constexpr int kLinkFailedPanelMs = 1500;

void On(QAction* a) {
    if (a != nullptr) {
        a->setEnabled(true);
    }
}
void Off(QAction* a) {
    if (a != nullptr) {
        a->setEnabled(false);
    }
}
void Stop(QTimer* t) {
    if (t != nullptr) {
        t->stop();
    }
}
void Call(const std::function<void()>& f) {
    if (f) {
        f();
    }
}
void Start(QTimer* t, int ms) {
    if (t != nullptr) {
        t->start(ms);
    }
}

// The P-Mode link's end of line knows only "CR" and "CR LF".
void PModeEndOfLine(const QString& setting, Bytes& text) {
    if (setting.compare(QLatin1String("CR"), Qt::CaseInsensitive) == 0 ||
        setting.compare(QLatin1String("CR LF"), Qt::CaseInsensitive) == 0) {
        EndOfLineFromSetting(setting, text);
    }
}

} // namespace

QString StatusDecoder::StandbyText() const {
    return c_.terminal.ListenState == 2 ? QStringLiteral("STBY-LISTEN") : QStringLiteral("STBY");
}

void StatusDecoder::Decode(std::uint8_t code) {
    Run(code, Form::Normal);
}

void StatusDecoder::DecodeInline(std::uint8_t code) {
    Run(code, Form::Inline);
}

bool StatusDecoder::WaitForItems(int count) {
    while (c_.link.Ring().Count() < count) {
        if (form_ == Form::Normal) {
            DisplayThread* display = c_.link.Display();
            if (!c_.link.Flags().running ||
                (display != nullptr && (display->IsSuspended() || display->IsTerminated()))) {
                return false;
            }
        } else {
            // The binary receiver keeps the port's error state clear while it reads.
            c_.link.Port().TakeLineErrors();
        }
        c_.pump.ProcessPendingEvents();
        c_.clock.Sleep(1);
    }
    return true;
}

bool StatusDecoder::TakeFixed(int count, std::uint8_t* bytes) {
    if (!WaitForItems(count)) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        std::uint32_t item = 0;
        c_.link.Ring().Take(item);
        if (bytes != nullptr) {
            bytes[i] = static_cast<std::uint8_t>(item & 0xFF);
        }
    }
    return true;
}

bool StatusDecoder::TakeIgnored(int count) {
    return TakeFixed(count, nullptr);
}

bool StatusDecoder::TakeCallSign(QString& text) {
    text.clear();
    for (;;) {
        std::uint8_t b = 0;
        if (!TakeFixed(1, &b)) {
            return false;
        }
        if (b == 0x00 || b >= 0x80) {
            return true;
        }
        if (text.size() < kCallSignMax) {
            text += QLatin1Char(static_cast<char>(b));
        }
    }
}

bool StatusDecoder::TakePairedCallSign(QString& text) {
    text.clear();
    for (;;) {
        if (!WaitForItems(2)) {
            return false;
        }
        std::uint32_t first = 0;
        std::uint32_t second = 0;
        c_.link.Ring().TakeTwo(first, second);
        const auto b = static_cast<std::uint8_t>(second & 0xFF);
        if (b == 0x00) {
            return true;
        }
        if (text.size() < kCallSignMax) {
            text += QLatin1Char(static_cast<char>(b));
        }
    }
}

void StatusDecoder::CentreAndShow(QWidget* panel) {
    if (panel == nullptr || c_.mainWindow == nullptr) {
        return;
    }
    panel->move(c_.mainWindow->width() / 2 - panel->width() / 2,
                c_.mainWindow->height() / 2 - panel->height() / 2);
    panel->show();
    panel->raise();
}

void StatusDecoder::StartMonitor() {
    Start(c_.MonitorTimer, kMonitorMs);
}

void StatusDecoder::MirvolLinked() {
    ModeToolBars& b = c_.bars;
    On(b.butMVLDisconnect);
    Off(b.butMVLConnect);
    On(b.butMVLPanic);
    On(b.butMVLFoxes);
    Off(b.butMVLFEC);
    Off(b.butMVLCallCQ);
    if (b.butMVLCallCQ != nullptr) {
        b.butMVLCallCQ->setText(QStringLiteral("Call CQ"));
    }
}

namespace {
// An AMTOR or P-Mode link is up: its tool bar's link controls on, calling and broadcasting off.
void ArqLinked(QAction* disconnect, QAction* connect, QAction* panic, QAction* foxes, QAction* fec,
               QAction* over, QAction* forcedOver) {
    for (QAction* a : {disconnect, panic, foxes, over, forcedOver}) {
        On(a);
    }
    Off(connect);
    Off(fec);
}
} // namespace

void StatusDecoder::AmtorLinked() {
    ModeToolBars& b = c_.bars;
    ArqLinked(b.butAmtorDisconnect, b.butAmtorConnect, b.butAmtorPanic, b.butAmtorFoxes,
              b.butAmtorFEC, b.butAmtorOver, b.butAmtorForcedOver);
}

void StatusDecoder::PModeLinked() {
    ModeToolBars& b = c_.bars;
    ArqLinked(b.butPModeDisconnect, b.butPModeConnect, b.butPModePanic, b.butPModeFoxes,
              b.butPModeFEC, b.butPModeOver, b.butPModeForcedOver);
}

void StatusDecoder::LinkControlsIdle() {
    ModeToolBars& b = c_.bars;
    Off(b.butAmtorForcedOver);
    Off(b.butPModeForcedOver);
    StandbyButtons();
    for (QAction* a : {b.butMVLPanic, b.butAmtorPanic, b.butPModePanic}) {
        Off(a);
    }
}

void StatusDecoder::StandbyButtons() {
    ModeToolBars& b = c_.bars;
    for (QAction* a : {b.butMVLDisconnect, b.butAmtorDisconnect, b.butPModeDisconnect}) {
        Off(a);
    }
    for (QAction* a : {b.butMVLConnect, b.butAmtorConnect, b.butPModeConnect}) {
        On(a);
    }
}

void StatusDecoder::CallCqButtonsBack() {
    if (!c_.status.callingCq) {
        return;
    }
    c_.status.callingCq = false;
    for (QAction* a : {c_.bars.butMVLCallCQ, c_.bars.butPModeCallCQ, c_.bars.butAmtorCallCQ}) {
        On(a);
    }
}

void StatusDecoder::OverButtonsOff() {
    Off(c_.bars.butPModeOver);
    Off(c_.bars.butAmtorOver);
    if (c_.terminal.OperatingMode == kModeMirvol) {
        On(c_.bars.butMVLCallCQ);
        c_.status.callingCq = false;
    }
}

void StatusDecoder::FecButtonsOn() {
    for (QAction* a : {c_.bars.butAmtorFEC, c_.bars.butPModeFEC, c_.bars.butMVLFEC}) {
        On(a);
    }
}

void StatusDecoder::FoldAmtorBroadcast(bool alsoBinaryMenu, bool clearPane2) {
    if (c_.terminal.OperatingMode != kModeAmtorBroadcast) {
        return;
    }
    c_.terminal.OperatingMode = kModeAmtor;
    Off(c_.bars.butAmtorFoxes);
    Off(c_.bars.butAmtorCallCQ);
    Off(c_.mnuFilesSendtextfile);
    if (alsoBinaryMenu) {
        Off(c_.mnuFilesSendBinaryFile);
    }
    if (clearPane2) {
        c_.setPane(2, QString());
    }
}

void StatusDecoder::LinkEnded() {
    Call(c_.stopTextFileSending);
    Stop(c_.MonitorTimer);
    if (!TakeIgnored(1)) {
        return;
    }
    Stop(c_.CommandTimer);
    Call(c_.resetBytesInFlight);
    c_.setPane(1, StandbyText());
    for (int pane = 2; pane <= 5; ++pane) {
        c_.setPane(pane, QString());
    }
    LinkControlsIdle();
    Off(c_.mnuFilesSendBinaryFile);
    On(c_.mnuCode);
    On(c_.mnuConfigure);
    if (form_ == Form::Inline) {
        ModeToolBars& b = c_.bars;
        for (QAction* a : {b.butMVLTXEnable, b.butMVLMsg0, b.butMVLMsgPlus, b.butMVLdeMY,
                           b.butMVLHisDeMY, b.butMVLCallCQ}) {
            On(a);
        }
    }
    c_.records.amplitude = {};
    c_.records.modulation = {};
    c_.records.statistics = {};
    On(c_.mnuSpecialTest);
    c_.terminal.OperatingMode = c_.terminal.BaseMode;
    if (c_.terminal.OperatingMode == kModeAmtor) {
        c_.setPane(0, QStringLiteral("AMTOR"));
    } else if (c_.terminal.OperatingMode == kModePMode) {
        c_.setPane(0, QStringLiteral("P-Mode"));
    }
    Off(c_.mnuFilesSendtextfile);
    const int mode = c_.terminal.OperatingMode;
    if (mode == kModeBaudot || mode == kModeAscii) {
        On(c_.bars.butBaudotFoxes);
        On(c_.bars.butAsciiFoxes);
    } else {
        FecButtonsOn();
        Off(c_.bars.butAmtorFoxes);
        Off(c_.bars.butPModeFoxes);
        Off(c_.bars.butMVLFoxes);
        if (form_ == Form::Inline) {
            Off(c_.bars.butAsciiFoxes);
        }
    }
    OverButtonsOff();
    c_.status.linkEstablished = false;
    if (mode >= kModeMirvolBroadcast && mode <= kModePModeUnproto) {
        c_.terminal.OperatingMode = mode - 5;
    }
    c_.sound.Beep();
    if (form_ == Form::Inline && c_.FAXTransferPanel != nullptr) {
        c_.FAXTransferPanel->hide();
    }
}

void StatusDecoder::LinkFailed() {
    Call(c_.stopTextFileSending);
    Stop(c_.MonitorTimer);
    if (!TakeIgnored(1)) {
        return;
    }
    Stop(c_.CommandTimer);
    Call(c_.resetBytesInFlight);
    c_.setPane(1, StandbyText());
    c_.terminal.OperatingMode = c_.terminal.BaseMode;
    On(c_.mnuSpecialTest);
    LinkControlsIdle();
    const int lastPane = form_ == Form::Inline ? 5 : 6;
    for (int pane = 2; pane <= lastPane; ++pane) {
        c_.setPane(pane, QString());
    }
    Off(c_.mnuFilesSendtextfile);
    On(c_.mnuCode);
    On(c_.mnuConfigure);
    int mode = c_.terminal.OperatingMode;
    if (mode != kModeBaudot && mode != kModeAscii) {
        FecButtonsOn();
    }
    OverButtonsOff();
    CallCqButtonsBack();
    Off(c_.mnuFilesSendBinaryFile);
    c_.records.amplitude = {};
    c_.status.linkEstablished = false;
    if (mode >= kModeMirvolBroadcast && mode <= kModePModeUnproto) {
        mode -= 5;
        c_.terminal.OperatingMode = mode;
        Off(c_.mnuFilesSendtextfile);
    } else if (mode == kModeBaudot || mode == kModeAscii) {
        On(c_.bars.butBaudotFoxes);
        On(c_.bars.butAsciiFoxes);
    }
    if (mode == kModeAmtor) {
        c_.setPane(0, QStringLiteral("AMTOR"));
        Off(c_.mnuFilesSendtextfile);
    } else if (mode == kModePMode) {
        c_.setPane(0, QStringLiteral("P-Mode"));
    }
    Call(c_.closeOpenFiles);
    c_.sound.Beep();
    if (auto* panel = qobject_cast<QLabel*>(c_.DisconnectPanel)) {
        panel->setText(QStringLiteral("Link Failed!"));
    }
    Start(c_.WaitTimer, kLinkFailedPanelMs);
    CentreAndShow(c_.DisconnectPanel);
}

void StatusDecoder::CqTraffic(std::uint8_t state) {
    switch (state) {
    case 0x00:
        for (QAction* a : {c_.bars.butMVLCallCQ, c_.bars.butPModeCallCQ, c_.bars.butAmtorCallCQ}) {
            if (a != nullptr) {
                a->setText(QStringLiteral("Call CQ"));
            }
        }
        break;
    case 0x66:
        c_.setPane(1, QStringLiteral("Calling CQ"));
        c_.status.callingCq = true;
        break;
    case 0x8A:
    case 0x8B:
        c_.setPane(3, QStringLiteral("TXT"));
        break;
    case 0x8C:
        c_.setPane(3, QStringLiteral("RPT"));
        break;
    case 0xA0:
        c_.setPane(3, QStringLiteral("IDL"));
        break;
    default:
        break;
    }
}

void StatusDecoder::BackToStandbyCommon() {
    for (int pane = 2; pane <= 5; ++pane) {
        c_.setPane(pane, QString());
    }
    c_.sound.Beep();
}

void StatusDecoder::LinkState(std::uint8_t state) {
    const int mode = c_.terminal.OperatingMode;
    switch (state) {
    case 0x00:
        c_.setPane(2, QString());
        break;
    case 0x01:
        c_.setPane(2, QStringLiteral("TFC"));
        break;
    case 0x02:
        c_.setPane(2, QStringLiteral("RQ"));
        break;
    case 0x03:
        c_.setPane(2, QStringLiteral("ERR"));
        break;
    case 0x04:
        c_.setPane(2, QStringLiteral("PHS"));
        break;
    case 0x05:
        c_.setPane(2, QStringLiteral("OVER"));
        break;
    case 0x06:
        c_.setPane(2, QStringLiteral("TX"));
        Off(c_.mnuCode);
        if (mode == kModeBaudot) {
            On(c_.bars.butBaudotPanic);
        } else if (mode == kModeAscii) {
            On(c_.bars.butAsciiPanic);
        }
        c_.status.transmitting = true;
        break;
    case 0x07:
        c_.setPane(2, QStringLiteral("RX"));
        On(c_.mnuCode);
        On(c_.mnuConfigure);
        if (mode == kModeBaudot) {
            Off(c_.bars.butBaudotPanic);
        } else if (mode == kModeAscii) {
            Off(c_.bars.butAsciiPanic);
        }
        c_.status.transmitting = false;
        break;
    case 0x08:
        c_.setPane(4, QStringLiteral("100"));
        break;
    case 0x09:
        c_.setPane(4, QStringLiteral("200"));
        break;
    case 0x0A:
        c_.setPane(5, QStringLiteral("HUFFMAN ON"));
        break;
    case 0x0B:
        c_.setPane(5, QStringLiteral("HUFFMAN OFF"));
        break;
    case 0x0C:
        c_.setPane(1, StandbyText());
        StandbyButtons();
        FoldAmtorBroadcast(true, true);
        CallCqButtonsBack();
        FecButtonsOn();
        BackToStandbyCommon();
        break;
    case 0x0D:
        c_.setPane(1, QStringLiteral("STBY"));
        c_.sound.Beep();
        break;
    case 0x0E:
        c_.setPane(3, QStringLiteral("ISS"));
        for (QAction* a : {c_.bars.butBaudotFoxes, c_.bars.butAsciiFoxes, c_.bars.butAmtorFoxes,
                           c_.bars.butPModeFoxes}) {
            On(a);
        }
        c_.status.stationRole = 2;
        break;
    case 0x0F:
        c_.setPane(3, QStringLiteral("IRS"));
        c_.status.stationRole = 1;
        break;
    case 0x10:
        c_.setPane(1, QStringLiteral("STBY-LISTEN"));
        StandbyButtons();
        FoldAmtorBroadcast(false, true);
        FecButtonsOn();
        CallCqButtonsBack();
        BackToStandbyCommon();
        break;
    case 0x11:
        c_.setPane(1, QStringLiteral("STBY"));
        c_.setPane(2, QString());
        StandbyButtons();
        FoldAmtorBroadcast(false, false);
        FecButtonsOn();
        BackToStandbyCommon();
        break;
    case 0x12:
    case 0x14:
        c_.setPane(1, QStringLiteral("FEC-TX"));
        break;
    case 0x13:
        c_.setPane(1, QStringLiteral("FEC-RX"));
        break;
    case 0x15:
        c_.setPane(1, QStringLiteral("FREE SIG TX"));
        break;
    case 0x16:
        c_.setPane(1, QStringLiteral("FREE SIG TIMEOUT"));
        break;
    default:
        break;
    }
}

void StatusDecoder::Run(std::uint8_t code, Form form) {
    form_ = form;
    const bool inline_ = form == Form::Inline;
    QString call;
    std::uint8_t bytes[14] = {};
    // Reports with a payload stop the payload watchdog once it is complete; false: abandoned.
    auto fixed = [&](int count) {
        const bool complete = TakeFixed(count, bytes);
        if (complete) {
            Stop(c_.CommandTimer);
        }
        return complete;
    };
    auto callSign = [&] {
        const bool complete = TakeCallSign(call);
        if (complete) {
            Stop(c_.CommandTimer);
        }
        return complete;
    };
    auto pairedCallSign = [&] {
        const bool complete = TakePairedCallSign(call);
        if (complete) {
            Stop(c_.CommandTimer);
        }
        return complete;
    };
    switch (code) {
    case 0x09:
        if (c_.HardwareResetPanel != nullptr && !c_.HardwareResetPanel->isVisible()) {
            CentreAndShow(c_.HardwareResetPanel);
            c_.HardwareResetPanel->repaint();
            Start(c_.ResetTimer, c_.ResetTimer != nullptr ? c_.ResetTimer->interval() : 6000);
        }
        break;
    case 0x20:
        Stop(c_.MonitorTimer);
        if (!callSign()) {
            return;
        }
        c_.terminal.BaseMode = c_.terminal.OperatingMode;
        Off(c_.mnuSpecialTest);
        c_.setPane(1, QStringLiteral("Linked to ") + call);
        MirvolLinked();
        if (inline_) {
            ModeToolBars& b = c_.bars;
            On(b.butAmtorDisconnect);
            On(b.butPModeDisconnect);
            Off(b.butAmtorConnect);
            Off(b.butPModeConnect);
            On(b.butAmtorPanic);
            On(b.butPModePanic);
            On(b.butAsciiFoxes);
            On(b.butAmtorFoxes);
            On(b.butPModeFoxes);
            Off(b.butAmtorFEC);
            Off(b.butPModeFEC);
            Off(b.butPModeOver);
            Off(b.butAmtorOver);
            for (QAction* a : {b.butPModeCallCQ, b.butAmtorCallCQ}) {
                Off(a);
                if (a != nullptr) {
                    a->setText(QStringLiteral("Call CQ"));
                }
            }
        }
        On(c_.mnuFilesSendBinaryFile);
        On(c_.mnuFilesSendtextfile);
        Off(c_.mnuCode);
        c_.status.linkEstablished = true;
        c_.sound.Beep();
        break;
    case 0x21:
        if (!callSign()) {
            return;
        }
        Off(c_.mnuSpecialTest);
        c_.setPane(1, QStringLiteral("FEC CCB from ") + call);
        StartMonitor();
        break;
    case 0x22:
        if (!callSign()) {
            return;
        }
        c_.setPane(1, QStringLiteral("ARQ CCB from ") + call);
        StartMonitor();
        break;
    case 0x23:
        LinkEnded();
        break;
    case 0x24:
        LinkFailed();
        break;
    case 0x26:
        if (!callSign()) {
            return;
        }
        c_.setPane(1, QStringLiteral("CQ from ") + call);
        if (c_.setCallCqCaption) {
            c_.setCallCqCaption(QStringLiteral("Answer CQ"));
        } else if (c_.bars.butMVLCallCQ != nullptr) {
            c_.bars.butMVLCallCQ->setText(QStringLiteral("Answer CQ"));
        }
        c_.status.answerCq = true;
        Start(c_.CQTimer, kCqAnswerMs);
        StartMonitor();
        break;
    case 0x27:
        if (!fixed(1)) {
            return;
        }
        c_.setPane(1, QStringLiteral("ARQ Link Request"));
        StartMonitor();
        break;
    case 0x28:
        if (!callSign()) {
            return;
        }
        c_.setPane(1, QStringLiteral("ARQ Call to ") + call);
        StartMonitor();
        break;
    case 0x29:
        Stop(c_.MonitorTimer);
        if (!fixed(1)) {
            return;
        }
        c_.terminal.BaseMode = c_.terminal.OperatingMode;
        c_.terminal.OperatingMode = kModeAmtor;
        EndOfLineFromSetting(c_.settings.A_EndOfLine, c_.terminal.EndOfLineText);
        Off(c_.mnuSpecialTest);
        c_.setPane(0, QStringLiteral("AMTOR"));
        c_.setPane(1, QStringLiteral("476 Link"));
        AmtorLinked();
        On(c_.mnuFilesSendtextfile);
        Off(c_.mnuCode);
        On(c_.mnuConfigure);
        PModeLinked();
        c_.status.linkEstablished = true;
        c_.sound.Beep();
        break;
    case 0x2A:
        if (inline_) {
            Stop(c_.MonitorTimer);
        } else {
            Start(c_.CommandTimer, c_.CommandTimer != nullptr ? c_.CommandTimer->interval() : 5000);
        }
        if (!callSign()) {
            return;
        }
        c_.setPane(1, QStringLiteral("625 link to ") + call);
        AmtorLinked();
        if (inline_) {
            On(c_.bars.butPModeForcedOver);
        }
        On(c_.mnuFilesSendtextfile);
        Off(c_.mnuCode);
        c_.status.linkEstablished = true;
        c_.sound.Beep();
        break;
    case 0x2B:
        if (inline_) {
            Stop(c_.MonitorTimer);
        } else {
            Start(c_.CommandTimer, c_.CommandTimer != nullptr ? c_.CommandTimer->interval() : 5000);
        }
        if (!callSign()) {
            return;
        }
        c_.terminal.BaseMode = c_.terminal.OperatingMode;
        c_.terminal.OperatingMode = kModePMode;
        PModeEndOfLine(c_.settings.P_EndOfLine, c_.terminal.EndOfLineText);
        Off(c_.mnuSpecialTest);
        c_.setPane(0, QStringLiteral("P-Mode"));
        c_.setPane(1, QStringLiteral("Linked to ") + call);
        PModeLinked();
        AmtorLinked();
        On(c_.mnuFilesSendtextfile);
        Off(c_.mnuCode);
        c_.status.linkEstablished = true;
        if (inline_) {
            c_.sound.Beep();
        } else {
            c_.sound.Tone(800, 1000);
        }
        break;
    case 0x2C:
        if (!pairedCallSign()) {
            return;
        }
        c_.setPane(1, QStringLiteral("SELFEC to ") + call);
        StartMonitor();
        break;
    case 0x2D:
    case 0x2E:
        if (!pairedCallSign()) {
            return;
        }
        break;
    case 0x30:
        if (!inline_ || !c_.status.transmitting) {
            c_.link.Flags().echo = false;
        }
        break;
    case 0x31:
        if (!inline_ || c_.terminal.OperatingMode != kModeMirvol || c_.status.linkEstablished) {
            c_.link.Flags().echo = true;
        }
        break;
    case 0x70:
        if (!fixed(8)) {
            return;
        }
        c_.records.amplitude = {bytes[0], bytes[2], bytes[4], bytes[6]};
        Call(c_.amplitudeUpdate);
        break;
    case 0x72:
        if (!fixed(14)) {
            return;
        }
        std::copy(bytes, bytes + 14, c_.records.statistics.begin());
        Call(c_.statisticsUpdate);
        break;
    case 0x73:
        if (!fixed(1)) {
            return;
        }
        c_.records.cqTraffic = bytes[0];
        CqTraffic(bytes[0]);
        break;
    case 0x75:
        if (!fixed(4)) {
            return;
        }
        std::copy(bytes, bytes + 4, c_.records.modulation.begin());
        Call(c_.modulationUpdate);
        if (c_.statisticsSaving && c_.statisticsSaving() && c_.statisticsLineWriter) {
            c_.statisticsLineWriter();
        }
        break;
    case 0x7A:
        if (!fixed(1)) {
            return;
        }
        c_.records.linkState = bytes[0];
        LinkState(bytes[0]);
        break;
    case 0x7E:
        if (!fixed(1)) {
            return;
        }
        c_.records.tuningOffset = bytes[0];
        Call(c_.tuningOffsetUpdate);
        break;
    case 0x71:
    case 0x74:
    case 0x7D:
        fixed(1);
        break;
    case 0x7C:
    case 0x7F:
        fixed(2);
        break;
    default:
        // Not a report the program knows: ignored, and it takes no payload.
        break;
    }
}

} // namespace tarvis
