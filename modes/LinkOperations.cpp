#include "modes/LinkOperations.h"
#include "config/Jw_utils.h"
#include "link/ModemLink.h"
#include "link/TransmitPump.h"
#include "modes/CallPanel.h"
#include "modes/ModeSetup.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"

#include <QAction>
#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

namespace tarvis {

namespace {

constexpr int kDisconnectPanelMs = 1000;
constexpr int kBroadcastDisconnectPanelMs = 3500;
constexpr int kPanicPanelMs = 1300;
constexpr int kOverBoxMs = 1000;
constexpr int kCallDialogOffset = 50;

bool Is(const QString& setting, const char* text) {
    return setting.compare(QLatin1String(text), Qt::CaseInsensitive) == 0;
}

void Send(ModeWindow& w, std::uint8_t code) {
    w.sendCommand(Command(code));
}

void SetEnabled(QAction* button, bool enabled) {
    if (button != nullptr) {
        button->setEnabled(enabled);
    }
}

void SetCaption(QAction* button, const QString& caption) {
    if (button != nullptr) {
        button->setText(caption);
    }
}

void SetPicture(const ModeToolBars& bars, QAction* button, int image) {
    if (button != nullptr && image < bars.ImageList.size()) {
        button->setIcon(bars.ImageList[image]);
    }
}

void StartWait(LinkWindow& l, int milliseconds) {
    if (l.WaitTimer != nullptr) {
        l.WaitTimer->start(milliseconds);
    }
}

void ShowPanel(LinkWindow& l, QLabel* panel, const QString& caption, int milliseconds) {
    if (panel != nullptr) {
        panel->setText(caption);
        if (l.showCentred) {
            l.showCentred(*panel);
        }
    }
    StartWait(l, milliseconds);
}

void SetTypingColour(ModeWindow& w) {
    if (w.reTXData != nullptr) {
        w.reTXData->setTextColor(ColorFromName(w.settings.TransmitTextColor));
    }
}

bool PaneEmpty(const ModeWindow& w) {
    return w.reTXData == nullptr || w.reTXData->document()->isEmpty();
}

// The disconnect request goes on the air after everything typed before it: "ZZZZ" on a line
// of its own at the caret. A caret inside text already released would split that text, so
// the request then goes at the end.
void InsertDisconnectText(LinkWindow& l) {
    QTextEdit& pane = *l.modes.reTXData;
    QTextCursor cursor = pane.textCursor();
    if (cursor.blockNumber() == 0 && cursor.positionInBlock() < l.pump.SentPosition()) {
        cursor.movePosition(QTextCursor::End);
        pane.setTextCursor(cursor);
    }
    pane.insertPlainText(cursor.positionInBlock() != 0 ? QStringLiteral("\nZZZZ\n\n")
                                                       : QStringLiteral("ZZZZ\n\n"));
}

void DisconnectNow(LinkWindow& l, int panelMs) {
    Send(l.modes, kCmdEndOfTransmission);
    l.modes.pump.ProcessPendingEvents();
    ShowPanel(l, l.DisconnectPanel, QStringLiteral("Disconnect"), panelMs);
}

QAction* PolarityButton(const ModeToolBars& b, int mode) {
    switch (mode) {
    case kModeAmtor:
        return b.butAmtorNormRev;
    case kModeBaudot:
        return b.butBaudotNormRev;
    case kModeAscii:
        return b.butAsciiNormRev;
    default:
        return nullptr;
    }
}

QString* PolaritySetting(Settings& s, int mode) {
    switch (mode) {
    case kModeAmtor:
        return &s.A_Polarity;
    case kModeBaudot:
        return &s.B_Polarity;
    case kModeAscii:
        return &s.S_Polarity;
    default:
        return nullptr;
    }
}

void ToggleSyncIdle(ModeWindow& w, QString& setting, QAction* monitor) {
    if (Is(setting, "ON")) {
        setting = QStringLiteral("OFF");
        Send(w, kCmdSyncIdleOff);
        SetCaption(monitor, QStringLiteral("OFF"));
        w.setStatusPane(4, QString());
    } else {
        setting = QStringLiteral("ON");
        Send(w, kCmdSyncIdleOn);
        SetCaption(monitor, QStringLiteral("ON"));
        w.setStatusPane(4, QStringLiteral("SYNC"));
    }
    w.configChanged = true;
}

bool SyncIdleOn(const ModeWindow& w) {
    const int mode = w.terminal.OperatingMode;
    return (mode == kModeBaudot && Is(w.settings.B_SyncIdle, "ON")) ||
           (mode == kModeAscii && Is(w.settings.S_SyncIdle, "ON"));
}

} // namespace

QString StandbyText(const TerminalState& terminal) {
    return terminal.ListenState == 2 ? QStringLiteral("STBY-LISTEN") : QStringLiteral("STBY");
}

void butConnectClick(LinkWindow& l) {
    if (l.callPanel == nullptr) {
        return;
    }
    l.callPanel->Prepare();
    if (l.modes.mainWindow != nullptr) {
        l.callPanel->move(l.modes.mainWindow->pos() + QPoint(kCallDialogOffset, kCallDialogOffset));
    }
    l.dialogs.ExecModal(*l.callPanel);
}

void butDisconnectClick(LinkWindow& l) {
    ModeWindow& w = l.modes;
    if (w.reTXData == nullptr) {
        return;
    }
    const int mode = w.terminal.OperatingMode;
    const bool empty = PaneEmpty(w);
    if (w.linkStatus.linkEstablished &&
        (mode == kModeMirvol || mode == kModeAmtor || mode == kModePMode)) {
        if (empty) {
            DisconnectNow(l, kDisconnectPanelMs);
        } else {
            InsertDisconnectText(l);
        }
    } else if (mode == kModeMirvolBroadcast || mode == kModeAmtorBroadcast ||
               mode == kModePModeUnproto) {
        if (empty) {
            DisconnectNow(l, mode == kModeMirvolBroadcast ? kBroadcastDisconnectPanelMs
                                                          : kDisconnectPanelMs);
        } else {
            InsertDisconnectText(l);
        }
    } else if ((mode == kModeBaudot || mode == kModeAscii) && !empty) {
        InsertDisconnectText(l);
    }
    SetTypingColour(w);
}

void PanicReset(LinkWindow& l) {
    ModeWindow& w = l.modes;
    ModeToolBars& b = w.bars;
    if (l.stopFileWork) {
        l.stopFileWork();
    }
    if (w.reTXData != nullptr) {
        w.reTXData->setReadOnly(false);
    }
    l.pump.InFlight().Reset();
    if (w.reTXData != nullptr) {
        w.reTXData->clear();
        l.pump.ResetSentPosition();
        SetTypingColour(w);
        QTextCursor cursor = w.reTXData->textCursor();
        cursor.movePosition(QTextCursor::Start);
        w.reTXData->setTextCursor(cursor);
    } else {
        l.pump.ResetSentPosition();
    }
    w.link.ClearTransmitQueue();
    w.link.QueueDirect(PanicLiteral());
    if (w.terminal.OperatingMode == kModeAmtorBroadcast) {
        SetEnabled(b.butAmtorDisconnect, false);
        SetEnabled(b.butAmtorPanic, false);
        SetEnabled(b.butAmtorConnect, true);
        w.terminal.OperatingMode = kModeAmtor;
        w.setStatusPane(2, QString());
        w.setStatusPane(1, StandbyText(w.terminal));
    }
    w.setStatusPane(5, QString());
    SetEnabled(l.mnuFilesStopSaveSend, false);
    SetEnabled(w.mnuFilesSendtextfile, true);
    if (w.terminal.OperatingMode == kModeMirvol) {
        SetEnabled(w.mnuFilesSendBinaryFile, true);
    }
    SetEnabled(l.mnuFilesSaveStatistics, true);
    SetEnabled(l.mnuFilesSaveRX, true);
    if (l.PanicPanel != nullptr) {
        QLabel& panel = *l.PanicPanel;
        panel.setText(QStringLiteral("    PANIC!    "));
        QPoint at(0, 0);
        int width = panel.parentWidget() != nullptr ? panel.parentWidget()->width() : 0;
        int height = panel.parentWidget() != nullptr ? panel.parentWidget()->height() : 0;
        if (w.reRXData != nullptr && panel.parentWidget() != nullptr) {
            at = w.reRXData->mapTo(panel.parentWidget(), QPoint(0, 0));
            width = w.reRXData->width();
            height = w.reRXData->height();
        }
        panel.move(at.x() + width / 2 - panel.width() / 2, at.y() + height / 2);
        panel.show();
        panel.raise();
    }
    StartWait(l, kPanicPanelMs);
}

void butPanicClick(LinkWindow& l) {
    PanicReset(l);
    if (l.FAXTransferPanel != nullptr && l.FAXTransferPanel->isVisible()) {
        if (l.FAXTransferLabel != nullptr) {
            l.FAXTransferLabel->setText(QStringLiteral("FAX Transfer Aborted"));
        }
        if (l.FAXStatusLabel != nullptr) {
            l.FAXStatusLabel->setText(QStringLiteral("FAX Transfer Aborted - Please Wait..."));
        }
    }
}

void butOverClick(LinkWindow& l) {
    ModeWindow& w = l.modes;
    const int mode = w.terminal.OperatingMode;
    if ((mode == kModeAmtor || mode == kModePMode) && w.reTXData != nullptr) {
        // The changeover request is a line of its own after everything in the pane.
        QTextCursor cursor(w.reTXData->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(cursor.block().text().isEmpty() ? QStringLiteral("+?\n")
                                                          : QStringLiteral("\n+?\n"));
    }
    if (PaneEmpty(w)) {
        ShowPanel(l, l.OverBox, QStringLiteral(" OVER "), kOverBoxMs);
    }
}

void SendForcedOver(LinkWindow& l) {
    l.modes.link.SendPriorityCommand(kCmdForcedOver);
    ShowPanel(l, l.OverBox, QStringLiteral(" Forced OVER "), kOverBoxMs);
}

void butForcedOverClick(LinkWindow& l) {
    const int mode = l.modes.terminal.OperatingMode;
    if ((mode == kModeAmtor || mode == kModePMode) && l.modes.linkStatus.stationRole == 1) {
        SendForcedOver(l);
    }
}

void butMonitorClick(LinkWindow& l) {
    ModeWindow& w = l.modes;
    switch (w.terminal.OperatingMode) {
    case kModeBaudot:
        ToggleSyncIdle(w, w.settings.B_SyncIdle, w.bars.butBaudotMonitor);
        break;
    case kModeAscii:
        ToggleSyncIdle(w, w.settings.S_SyncIdle, w.bars.butAsciiMonitor);
        break;
    default:
        if (w.terminal.ListenState == 2) {
            Send(w, kCmdListenOff);
            w.terminal.ListenState = 1;
        } else {
            Send(w, kCmdListenOn);
            w.terminal.ListenState = 2;
        }
        w.setStatusPane(1, StandbyText(w.terminal));
        break;
    }
}

void MonitorTimerTimer(LinkWindow& l) {
    if (l.MonitorTimer != nullptr) {
        l.MonitorTimer->stop();
    }
    l.modes.setStatusPane(1, StandbyText(l.modes.terminal));
}

void butTXEnableClick(LinkWindow& l) {
    ModeWindow& w = l.modes;
    const bool enable = !w.terminal.TxEnabled;
    if (SyncIdleOn(w)) {
        Send(w, enable ? kCmdSyncIdleOn : kCmdSyncIdleOff);
    }
    for (QAction* button : ButtonsOf(w.bars, ToolFunction::TxEnable)) {
        ShowTxEnable(w.bars, button, enable);
    }
    w.terminal.TxEnabled = enable;
}

void RxPolarityCommand(ModeWindow& w) {
    Send(w, w.settings.RXPolaritySameAsTX ? kCmdRxPolarityFollows : kCmdRxPolarityIndependent);
}

void ToggleNormRev(ModeWindow& w, bool rxToo) {
    const int mode = w.terminal.OperatingMode;
    const bool normal = !w.terminal.NormFlag;
    w.terminal.NormFlag = normal;
    if (QString* setting = PolaritySetting(w.settings, mode)) {
        *setting = normal ? QStringLiteral("NORM") : QStringLiteral("REV");
        QAction* button = PolarityButton(w.bars, mode);
        SetPicture(w.bars, button, normal ? kImageNormal : kImageReverse);
        SetCaption(button, normal ? QStringLiteral("Normal ") : QStringLiteral("Reverse"));
        w.configChanged = true;
    }
    w.setStatusPane(5, normal ? QStringLiteral("NORM") : QStringLiteral("REV"));
    Send(w, normal ? kCmdTxPolarityNormal : kCmdTxPolarityReverse);
    if (rxToo) {
        RxPolarityCommand(w);
    }
}

void butNormRevClick(LinkWindow& l) {
    ToggleNormRev(l.modes, true);
}

int NextRttyRate(int rate) {
    static constexpr int kRates[] = {45, 50, 57, 75, 100, 110};
    for (std::size_t i = 0; i < std::size(kRates); ++i) {
        if (kRates[i] == rate) {
            return kRates[(i + 1) % std::size(kRates)];
        }
    }
    return kRates[0];
}

void StepRttyRate(ModeWindow& w) {
    const int mode = w.terminal.OperatingMode;
    if (mode != kModeBaudot && mode != kModeAscii) {
        return;
    }
    const bool baudot = mode == kModeBaudot;
    int& rate = baudot ? w.settings.B_Rate : w.settings.S_Rate;
    rate = NextRttyRate(rate);
    std::uint8_t code = 0;
    RttyRateCode(rate, code);
    w.sendCommand(ByteCommand(baudot ? kCmdBaudotRate : kCmdAsciiRate, code));
    w.setStatusPane(1, QString::number(rate));
    SetCaption(baudot ? w.bars.butBaudotRttyRate : w.bars.butAsciiRttyRate, QString::number(rate));
    w.configChanged = true;
}

void butRttyRateClick(LinkWindow& l) {
    StepRttyRate(l.modes);
}

} // namespace tarvis
