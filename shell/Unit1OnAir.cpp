// The main window's canned texts and broadcasts: the Here-Is panel, the MIRVOL broadcast
// dialog and the AMTOR and P-Mode broadcast panels, and the tool-bar buttons that use them.
#include "link/TransmitPump.h"
#include "modes/Broadcasts.h"
#include "platform/Dialogs.h"
#include "shell/Panels.h"
#include "shell/Unit1.h"
#include "terminal/CannedMessages.h"
#include "terminal/HereIsPanel.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace tarvis {

CannedWindow TForm1::CannedContext() {
    CannedWindow c{*modes_, linkStatus, *pump_, *env_.dialogs, *env_.sound, HereIsPanel, CQTimer};
    c.sendingBinary = [this] { return pump_->binary.sendingData || pump_->binary.awaitingReply; };
    c.showCentred = [this](QWidget& panel) {
        CentreOnWindow(panel, *this);
        panel.show();
        panel.raise();
    };
    c.setDispatchPaused = [this](bool paused) { link_.Flags().dispatchPaused = paused; };
    return c;
}

BroadcastWindow TForm1::BroadcastContext() {
    BroadcastWindow b{*modes_,      *env_.dialogs,  MirvolFECFrm,
                      FECModePanel, GroupCallPanel, FECRatePanel};
    b.showCentred = [this](QWidget& panel) {
        CentreOnWindow(panel, *this);
        panel.show();
        panel.raise();
    };
    return b;
}

void TForm1::CreateOnAirOperations() {
    HereIsPanel = new THereIsPanel(this);
    MirvolFECFrm = new TMirvolFECFrm(this, *env_.dialogs);
    FECModePanel = new TFECModePanel(this);
    GroupCallPanel = new TGroupCallPanel(this);
    FECRatePanel = new TFECRatePanel(this);

    const std::pair<ToolFunction, void (TForm1::*)()> handlers[] = {
        {ToolFunction::Msg0, &TForm1::butMsg0Click},
        {ToolFunction::MsgPlus, &TForm1::butMsgPlusClick},
        {ToolFunction::DeMy, &TForm1::butDeMYClick},
        {ToolFunction::HisDeMy, &TForm1::butHISdeMYClick},
        {ToolFunction::CallCq, &TForm1::butCallCQClick},
        {ToolFunction::Foxes, &TForm1::butFoxesClick},
        {ToolFunction::Broadcast, &TForm1::butFECClick},
    };
    for (const auto& [function, handler] : handlers) {
        for (QAction* button : ButtonsOf(bars, function)) {
            connect(button, &QAction::triggered, this, handler);
        }
    }
    connect(CQTimer, &QTimer::timeout, this, &TForm1::CQTimerTimer);

    auto canned = [this](void (*handler)(CannedWindow&)) {
        return [this, handler] {
            CannedWindow c = CannedContext();
            handler(c);
        };
    };
    HereIsPanel->HereIsSelector->onClick = canned(tarvis::HereIsSelectorClick);
    HereIsPanel->onNumberKeyUp = [this](int key, const QString& text) {
        CannedWindow c = CannedContext();
        edHereIsNumberKeyUp(c, key, text);
    };
    // Send acts on the button's release, by the mouse or by the keyboard.
    connect(HereIsPanel->Button4, &QPushButton::clicked, this, canned(tarvis::Button4MouseUp));
    connect(HereIsPanel->Button5, &QPushButton::clicked, this, canned(tarvis::Button5Click));

    auto broadcast = [this](void (*handler)(BroadcastWindow&)) {
        return [this, handler] {
            BroadcastWindow b = BroadcastContext();
            handler(b);
        };
    };
    connect(FECModePanel->butFECOK, &QPushButton::clicked, this, broadcast(butFECOKClick));
    connect(FECModePanel->butFECCancel, &QPushButton::clicked, this, broadcast(butFECCancelClick));
    connect(GroupCallPanel->Button2, &QPushButton::clicked, this, broadcast(Button2Click));
    connect(GroupCallPanel->Button17, &QPushButton::clicked, this, broadcast(Button17Click));
    connect(FECRatePanel->Button7, &QPushButton::clicked, this, broadcast(Button7Click));
    connect(FECRatePanel->Button8, &QPushButton::clicked, this, broadcast(Button8Click));
}

namespace {

template <typename Context, typename Handler> void RunWith(Context context, Handler handler) {
    handler(context);
}

} // namespace

void TForm1::butMsg0Click() {
    RunWith(CannedContext(), tarvis::butMsg0Click);
}
void TForm1::butMsgPlusClick() {
    RunWith(CannedContext(), tarvis::butMsgPlusClick);
}
void TForm1::butDeMYClick() {
    RunWith(CannedContext(), tarvis::butDeMYClick);
}
void TForm1::butHISdeMYClick() {
    RunWith(CannedContext(), tarvis::butHISdeMYClick);
}
void TForm1::butCallCQClick() {
    RunWith(CannedContext(), tarvis::butCallCQClick);
}
void TForm1::CQTimerTimer() {
    RunWith(CannedContext(), tarvis::CQTimerTimer);
}
void TForm1::butFoxesClick() {
    RunWith(CannedContext(), tarvis::butFoxesClick);
}
void TForm1::butFECClick() {
    RunWith(BroadcastContext(), tarvis::butFECClick);
}

} // namespace tarvis
