// The main window's link controls: the call dialog and the tool-bar buttons that call,
// disconnect, stop, turn the link round, monitor, enable the transmitter and set polarity
// and rate.
#include "modes/CallPanel.h"
#include "modes/LinkOperations.h"
#include "platform/Dialogs.h"
#include "shell/Panels.h"
#include "shell/Unit1.h"

#include <QAction>
#include <QTimer>

namespace tarvis {

namespace {

void Run(TForm1& form, void (*operation)(LinkWindow&)) {
    LinkWindow l = form.LinkContext();
    operation(l);
}

} // namespace

LinkWindow TForm1::LinkContext() {
    LinkWindow l{*modes_, *pump_, *env_.dialogs, CallPanel};
    l.DisconnectPanel = DisconnectPanel;
    l.PanicPanel = PanicPanel;
    l.OverBox = OverBox;
    l.WaitTimer = WaitTimer;
    l.MonitorTimer = MonitorTimer;
    l.showCentred = [this](QWidget& panel) {
        CentreOnWindow(panel, *this);
        panel.show();
        panel.raise();
    };
    l.stopFileWork = [this] {
        if (TextSending && mnuFilesStopSaveSend != nullptr) {
            mnuFilesStopSaveSend->trigger();
        }
        capture.on = false;
        TextSending = false;
        pump_->textFile.sending = false;
        pump_->binary.sendingData = false;
    };
    l.mnuFilesStopSaveSend = mnuFilesStopSaveSend;
    l.mnuFilesSaveStatistics = mnuFilesSaveStatistics;
    return l;
}

void TForm1::CreateLinkOperations() {
    CallPanel = new TCallPanel(this, *modes_);
    const std::pair<ToolFunction, void (TForm1::*)()> handlers[] = {
        {ToolFunction::Connect, &TForm1::butConnectClick},
        {ToolFunction::Disconnect, &TForm1::butDisconnectClick},
        {ToolFunction::Panic, &TForm1::butPanicClick},
        {ToolFunction::Over, &TForm1::butOverClick},
        {ToolFunction::ForcedOver, &TForm1::butForcedOverClick},
        {ToolFunction::Monitor, &TForm1::butMonitorClick},
        {ToolFunction::TxEnable, &TForm1::butTXEnableClick},
        {ToolFunction::NormRev, &TForm1::butNormRevClick},
        {ToolFunction::RttyRate, &TForm1::butRttyRateClick},
    };
    for (const auto& [function, handler] : handlers) {
        for (QAction* button : ButtonsOf(bars, function)) {
            connect(button, &QAction::triggered, this, handler);
        }
    }
    connect(MonitorTimer, &QTimer::timeout, this, &TForm1::MonitorTimerTimer);
}

void TForm1::butConnectClick() {
    Run(*this, tarvis::butConnectClick);
}
void TForm1::butDisconnectClick() {
    Run(*this, tarvis::butDisconnectClick);
}
void TForm1::butPanicClick() {
    Run(*this, tarvis::butPanicClick);
}
void TForm1::PanicReset() {
    Run(*this, tarvis::PanicReset);
}
void TForm1::butOverClick() {
    Run(*this, tarvis::butOverClick);
}
void TForm1::butForcedOverClick() {
    Run(*this, tarvis::butForcedOverClick);
}
void TForm1::butMonitorClick() {
    Run(*this, tarvis::butMonitorClick);
}
void TForm1::MonitorTimerTimer() {
    Run(*this, tarvis::MonitorTimerTimer);
}
void TForm1::butTXEnableClick() {
    Run(*this, tarvis::butTXEnableClick);
}
void TForm1::butNormRevClick() {
    ToggleNormRev(*modes_, true);
}
void TForm1::butRttyRateClick() {
    StepRttyRate(*modes_);
}

} // namespace tarvis
