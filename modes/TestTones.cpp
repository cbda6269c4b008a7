#include "modes/TestTones.h"
#include "link/ModemLink.h"
#include "platform/EventPump.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tarvis {

namespace {

// The modem's reports settle this long around a suspend or resume.
constexpr int kDispatchSettleMs = 100;

void SuspendDispatch(ModeWindow& w) {
    DisplayThread* display = w.link.Display();
    if (display != nullptr && !display->IsSuspended()) {
        display->Suspend();
        Delay(w.clock, w.pump, kDispatchSettleMs);
    }
}

} // namespace

TToneTestBox::TToneTestBox(QWidget* owner) : QFrame(owner) {
    setObjectName(QStringLiteral("ToneTestBox"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    setFixedSize(200, 100);
    auto* layout = new QVBoxLayout(this);
    Label = new QLabel(QStringLiteral("Tone Test"), this);
    Label->setAlignment(Qt::AlignHCenter);
    ToneBox = new QComboBox(this);
    ToneBox->setObjectName(QStringLiteral("ToneBox"));
    ToneBox->setAccessibleName(QStringLiteral("Tone Test"));
    ToneBox->addItems({QStringLiteral("Test OFF"), QStringLiteral("Single Tone Test"),
                       QStringLiteral("Multi Tone Test")});
    butTestCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    butTestCancel->setObjectName(QStringLiteral("butTestCancel"));
    layout->addWidget(Label);
    layout->addWidget(ToneBox);
    layout->addWidget(butTestCancel);
    hide();
}

Bytes ToneTestCommand(int operatingMode, int position) {
    if (operatingMode == kModeMirvol) {
        static constexpr CommandCode kMirvol[] = {kCmdEndSoundCardTx, kCmdMirvolSingleToneTest,
                                                  kCmdMirvolMultiToneTest};
        return Command(position >= 0 && position < 3 ? kMirvol[position] : kCmdEndSoundCardTx);
    }
    static constexpr CommandCode kFsk[] = {kCmdEndSoundCardTx, kCmdMarkToneTest, kCmdSpaceToneTest,
                                           kCmdMarkSpaceToneTest};
    return Command(position >= 0 && position < 4 ? kFsk[position] : kCmdEndSoundCardTx);
}

void mnuSpecialTestClick(ModeWindow& w, TToneTestBox& box, bool suspendDispatch) {
    if (w.linkStatus.linkEstablished) {
        return;
    }
    if (QWidget* window = w.mainWindow) {
        box.move(window->width() / 2 - box.width() / 2, window->height() / 2 - box.height() / 2);
    }
    box.show();
    box.raise();
    box.ToneBox->setCurrentIndex(0);
    box.ToneBox->setFocus();
    if (suspendDispatch) {
        SuspendDispatch(w);
    }
}

void ToneBoxChange(ModeWindow& w, TToneTestBox& box) {
    SuspendDispatch(w);
    w.sendCommand(ToneTestCommand(w.terminal.OperatingMode, box.ToneBox->currentIndex()));
}

void butTestCancelClick(ModeWindow& w, TToneTestBox& box) {
    DisplayThread* display = w.link.Display();
    if (display != nullptr && display->IsSuspended()) {
        display->Resume();
        Delay(w.clock, w.pump, kDispatchSettleMs);
    }
    w.sendCommand(Command(kCmdEndSoundCardTx));
    box.hide();
    if (w.reTXData != nullptr) {
        w.reTXData->setFocus();
    }
}

} // namespace tarvis
