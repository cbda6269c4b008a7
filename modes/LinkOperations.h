#pragma once
// The operator's link controls on the mode tool bars: calling through the call dialog,
// disconnecting, panic, OVER and forced OVER, monitor or sync idle, transmit enable, NORM/REV
// and the RTTY rate. Commands go straight to the modem; text for the air (the disconnect
// request, the changeover request) goes into the transmit pane for the pump to release.
#include "modes/ModeWindow.h"

#include <functional>

class QLabel;
class QTimer;

namespace tarvis {

class Dialogs;
class TCallPanel;
class TransmitPump;

struct LinkWindow {
    ModeWindow& modes;
    TransmitPump& pump;
    Dialogs& dialogs;
    // Null until the start windows exist; only Connect needs it.
    TCallPanel* callPanel = nullptr;
    // Event panels, labels whose text is their caption.
    QLabel* DisconnectPanel = nullptr;
    QLabel* PanicPanel = nullptr;
    QLabel* OverBox = nullptr;
    QTimer* WaitTimer = nullptr;
    QTimer* MonitorTimer = nullptr;
    // Centres a panel on the main window and shows it.
    std::function<void(QWidget&)> showCentred{};
    // Panic's first step: a text file being sent from disk is stopped as its menu item does,
    // and the capture, text-file and binary-sending flags are cleared.
    std::function<void()> stopFileWork{};
    QAction* mnuFilesStopSaveSend = nullptr;
    QAction* mnuFilesSaveStatistics = nullptr;
    QAction* mnuFilesSaveRX = nullptr;
    // The fax transfer panel and its two labels, when there is one.
    QWidget* FAXTransferPanel = nullptr;
    QLabel* FAXTransferLabel = nullptr;
    QLabel* FAXStatusLabel = nullptr;
};

// Connect: readies the call dialog for the mode, places it 50 pixels right of and below the
// main window's top-left corner and shows it modally.
void butConnectClick(LinkWindow& l);
void butDisconnectClick(LinkWindow& l);
void butPanicClick(LinkWindow& l);
// Stops every transmission at once: the pane emptied, the queue dropped, 81 06 sent.
void PanicReset(LinkWindow& l);
void butOverClick(LinkWindow& l);
void butForcedOverClick(LinkWindow& l);
// Forced OVER without the receiving-side condition: 80 87 ahead of the queue, the OVER box.
void SendForcedOver(LinkWindow& l);
void butMonitorClick(LinkWindow& l);
void MonitorTimerTimer(LinkWindow& l);
void butTXEnableClick(LinkWindow& l);
void butNormRevClick(LinkWindow& l);
// The NORM/REV toggle; with rxToo false only the transmit polarity command is sent.
void ToggleNormRev(ModeWindow& w, bool rxToo);
// 80 5C when the receive polarity follows the transmit one, else 80 4C.
void RxPolarityCommand(ModeWindow& w);
void butRttyRateClick(LinkWindow& l);
// The next rate after `rate`: 45, 50, 57, 75, 100, 110 and round again; any other to 45.
int NextRttyRate(int rate);
// Steps the current RTTY mode's rate and tells the modem.
void StepRttyRate(ModeWindow& w);

// The standby text of pane 1 by the listen state.
QString StandbyText(const TerminalState& terminal);

} // namespace tarvis
