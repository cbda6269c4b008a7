#include "modes/CallPanel.h"
#include "config/Utils.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include <algorithm>

namespace tarvis {

namespace {

constexpr std::uint8_t kWaveformCodes[] = {0x99, 0x9D, 0xE1, 0xE5, 0xE9, 0xED};

// The dialog's heights: without radio buttons, with them, and with the waveform panel.
constexpr int kPlainHeight = 120;
constexpr int kPlainBevel = 83;
constexpr int kPathHeight = 135;
constexpr int kPathBevel = 97;
constexpr int kManualHeight = 340;
constexpr int kPanelTop = 130;
constexpr int kDialogWidth = 290;

// The call box keeps its list in alphabetical order without regard to case.
void SortCalls(QStringList& calls) {
    std::stable_sort(calls.begin(), calls.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}

// A text parameter ends at 80 00, so a call goes only up to a NUL it might hold.
Bytes CallText(const QString& call) {
    QByteArray bytes = call.toLatin1();
    const qsizetype nul = bytes.indexOf('\0');
    return Bytes(bytes.constData(), static_cast<std::size_t>(nul < 0 ? bytes.size() : nul));
}

void SetHint(QAction* button, const QString& his, const QString& mine) {
    if (button != nullptr) {
        button->setToolTip(his + QStringLiteral(" de ") + mine);
    }
}

void Enable(QAction* button) {
    if (button != nullptr) {
        button->setEnabled(true);
    }
}

QLabel* FixedLabel(QWidget* parent, const char* caption, const char* value, int top) {
    auto* name = new QLabel(QLatin1String(caption), parent);
    name->setGeometry(12, top, 120, 20);
    auto* label = new QLabel(QLatin1String(value), parent);
    label->setGeometry(140, top, 80, 20);
    return label;
}

} // namespace

std::uint8_t WaveformCode(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kWaveformCodes))) {
        return kWaveformCodes[0];
    }
    return kWaveformCodes[index];
}

TCallPanel::TCallPanel(QWidget* parent, ModeWindow& w) : QDialog(parent), w_(w) {
    setObjectName(QStringLiteral("CallPanel"));
    setWindowTitle(QStringLiteral("Select call"));
    setModal(true);
    setFixedSize(kDialogWidth, kPlainHeight);

    CallBevel = new QFrame(this);
    CallBevel->setFrameShape(QFrame::Box);
    CallBevel->setFrameShadow(QFrame::Sunken);
    CallBevel->setGeometry(8, 8, 190, kPlainBevel);

    CallBox = new QComboBox(this);
    CallBox->setObjectName(QStringLiteral("CallBox"));
    CallBox->setEditable(true);
    CallBox->setInsertPolicy(QComboBox::NoInsert);
    CallBox->setGeometry(20, 22, 166, 24);
    CallBox->lineEdit()->installEventFilter(this);

    butLongPath = new QRadioButton(QStringLiteral("Long path"), this);
    butLongPath->setGeometry(20, 62, 85, 22);
    butShortPath = new QRadioButton(QStringLiteral("Short path"), this);
    butShortPath->setGeometry(108, 62, 85, 22);
    butShortPath->setChecked(true);
    connect(butLongPath, &QRadioButton::clicked, this, &TCallPanel::butLongPathClick);
    connect(butShortPath, &QRadioButton::clicked, this, &TCallPanel::butShortPathClick);

    butCall = new QPushButton(QStringLiteral("Call"), this);
    butCall->setGeometry(206, 10, 75, 25);
    butCall->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setGeometry(206, 42, 75, 25);
    connect(butCall, &QPushButton::clicked, this, &TCallPanel::butCallClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TCallPanel::CancelBtnClick);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    static_cast<QFrame*>(Panel1)->setFrameShape(QFrame::StyledPanel);
    Panel1->setGeometry(8, kPanelTop, kDialogWidth - 16, kManualHeight - kPanelTop - 10);
    auto* waveform = new QLabel(QStringLiteral("Waveform"), Panel1);
    waveform->setGeometry(12, 12, 120, 20);
    WaveFormatList = new QComboBox(Panel1);
    WaveFormatList->setObjectName(QStringLiteral("WaveFormatList"));
    WaveFormatList->setEditable(true);
    WaveFormatList->setInsertPolicy(QComboBox::NoInsert);
    WaveFormatList->addItems({QStringLiteral("BPSM"), QStringLiteral("QPSM"),
                              QStringLiteral("8PSM"), QStringLiteral("8P2A"),
                              QStringLiteral("16PSM"), QStringLiteral("16P4A")});
    WaveFormatList->setCurrentIndex(-1);
    WaveFormatList->setEditText(QStringLiteral("BPSM"));
    WaveFormatList->setGeometry(140, 10, 110, 24);
    CodeEfficiencyLabel = FixedLabel(Panel1, "Code efficiency", "60%", 50);
    BlockSizeLabel = FixedLabel(Panel1, "Block size", "85", 80);
    BaseRateLabel = FixedLabel(Panel1, "Base rate", "125", 110);
    ActualRateLabel = FixedLabel(Panel1, "Actual", "75", 140);
    Panel1->hide();
}

void TCallPanel::SetHeights(int dialog, int bevel) {
    setFixedHeight(dialog);
    CallBevel->resize(CallBevel->width(), bevel);
    // The waveform panel lies below the smaller heights and shows only where it fits whole.
    Panel1->setVisible(dialog >= kPanelTop + Panel1->height());
}

void TCallPanel::FillCallList(const QString& listText) {
    QStringList calls = TextToList(listText);
    SortCalls(calls);
    CallBox->clear();
    CallBox->addItems(calls);
    CallBox->setCurrentIndex(calls.isEmpty() ? -1 : 0);
    if (calls.isEmpty()) {
        CallBox->setEditText(QString());
    }
}

void TCallPanel::Prepare() {
    const int mode = w_.terminal.OperatingMode;
    FillCallList(mode == kModeAmtor ? w_.settings.HISCALL476LIST : w_.settings.HISCALLLIST);
    if (mode == kModeMirvol) {
        butLongPath->setText(QStringLiteral("Adaptive"));
        butShortPath->setText(QStringLiteral("Manual"));
        butLongPath->show();
        butShortPath->show();
        if (CallType == kCallManual) {
            butShortPath->setChecked(true);
            SetHeights(kManualHeight, kPathBevel);
        } else {
            butLongPath->setChecked(true);
            SetHeights(kPathHeight, kPathBevel);
        }
    } else if (mode == kModePMode) {
        butLongPath->setText(QStringLiteral("Long path"));
        butShortPath->setText(QStringLiteral("Short path"));
        butLongPath->show();
        butShortPath->show();
        butShortPath->setChecked(true);
        SetHeights(kPathHeight, kPathBevel);
    } else {
        butLongPath->hide();
        butShortPath->hide();
        SetHeights(kPlainHeight, kPlainBevel);
    }
    if (w_.terminal.CallIndexValid && CallListIndex >= 0 && CallListIndex < CallBox->count()) {
        CallBox->setCurrentIndex(CallListIndex);
    }
    w_.terminal.CallIndexValid = true;
    // A manual call with no waveform chosen would carry no modulation the modem knows, so the
    // list shows and holds its first entry until the operator picks another.
    if (WaveFormatList->currentIndex() < 0) {
        WaveFormatList->setCurrentIndex(0);
    }
}

void TCallPanel::butLongPathClick() {
    if (w_.terminal.OperatingMode != kModeMirvol) {
        return;
    }
    CallType = kCallAdaptive;
    w_.sendCommand(Command(kCmdMirvolCallAdaptive));
    SetHeights(kPathHeight, kPathBevel);
}

void TCallPanel::butShortPathClick() {
    if (w_.terminal.OperatingMode != kModeMirvol) {
        return;
    }
    CallType = kCallManual;
    w_.sendCommand(Command(kCmdMirvolCallManual));
    SetHeights(kManualHeight, kPathBevel);
}

void TCallPanel::CancelBtnClick() {
    w_.sendCommand(Command(kCmdMirvolCallAdaptive));
    reject();
}

void TCallPanel::FormShow() {
    CallBox->setFocus();
}

void TCallPanel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TCallPanel::keyPressEvent(QKeyEvent* event) {
    // Esc is the Cancel button's key.
    if (event->key() == Qt::Key_Escape) {
        CancelBtn->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TCallPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CallBox->lineEdit() && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isPrint()) {
            CallTyped = true;
            CallBox->lineEdit()->insert(text.toUpper());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TCallPanel::AddTypedCall() {
    const QString text = CallBox->currentText();
    if (CallBox->findText(text, Qt::MatchFixedString) >= 0) {
        return;
    }
    const bool amtor = w_.terminal.OperatingMode == kModeAmtor;
    if (!amtor || text.size() <= 5) {
        QStringList calls;
        for (int i = 0; i < CallBox->count(); ++i) {
            calls << CallBox->itemText(i);
        }
        // While the other station's call is still the factory one the list holds only that
        // placeholder, which the first real call replaces. Only the placeholder goes, so a
        // call the operator stored is never lost.
        const QString placeholder = amtor ? QStringLiteral("SCALL") : QStringLiteral("HISCALL");
        const QString& current = amtor ? w_.settings.HISCALL476 : w_.settings.HISCALL;
        if (current == placeholder) {
            calls.removeOne(placeholder);
        }
        calls << text;
        SortCalls(calls);
        (amtor ? w_.settings.HISCALL476LIST : w_.settings.HISCALLLIST) = ListToText(calls);
        CallBox->clear();
        CallBox->addItems(calls);
        CallBox->setCurrentIndex(static_cast<int>(calls.indexOf(text)));
    }
    CallTyped = false;
    w_.configChanged = true;
}

void TCallPanel::butCallClick() {
    if (CallTyped) {
        AddTypedCall();
    }
    const int mode = w_.terminal.OperatingMode;
    ModeToolBars& b = w_.bars;
    Settings& s = w_.settings;
    if (mode != kModeBaudot && mode != kModeAscii) {
        Enable(b.butMVLPanic);
        Enable(b.butPModePanic);
        Enable(b.butAmtorPanic);
    }
    const QString text = CallBox->currentText();
    const int index = CallBox->currentIndex();
    CallListIndex = index >= 0 ? index : CallBox->findText(text, Qt::MatchFixedString);

    switch (mode) {
    case kModeMirvol:
        if (CallType == kCallManual) {
            w_.sendCommand(
                ByteCommand(kCmdModulation, WaveformCode(WaveFormatList->currentIndex())));
        }
        s.HISCALL = text;
        w_.sendCommand(
            TextCommand(s.ConnectBias.compare(QLatin1String("ROBUST"), Qt::CaseInsensitive) == 0
                            ? kCmdMirvolCallRobust
                            : kCmdMirvolCall,
                        CallText(s.HISCALL)));
        SetHint(b.butMVLHisDeMY, s.HISCALL, s.MYCALL);
        w_.setStatusPane(1, QStringLiteral("Calling ") + s.HISCALL);
        break;
    case kModeAmtor:
        if (text.size() > 5) {
            s.HISCALL625 = text;
            w_.sendCommand(TextCommand(kCmdAmtorCall625, CallText(text)));
            SetHint(b.butAmtorHISdeMY, s.HISCALL625, s.MYCALL625);
        } else {
            s.HISCALL476 = text;
            w_.sendCommand(TextCommand(kCmdAmtorCall476, CallText(text)));
            SetHint(b.butAmtorHISdeMY, s.HISCALL476, s.MYCALL476);
        }
        w_.setStatusPane(1, QStringLiteral("Calling ") + text);
        break;
    case kModePMode:
        s.HISCALL = text;
        w_.sendCommand(
            TextCommand(butShortPath->isChecked() ? kCmdPModeCallShort : kCmdPModeCallLong,
                        CallText(s.HISCALL)));
        SetHint(b.butPModeHISdeMY, s.HISCALL, s.MYCALL);
        w_.setStatusPane(1, QStringLiteral("Calling ") + s.HISCALL);
        break;
    case kModeBaudot:
    case kModeAscii:
        s.HISCALL = text;
        // In RTTY the call goes on the air as text, typed into the transmit pane.
        if (w_.reTXData != nullptr) {
            w_.reTXData->insertPlainText(s.HISCALL + QStringLiteral(" DE ") + s.MYCALL +
                                         QStringLiteral(" "));
        }
        SetHint(mode == kModeBaudot ? b.butBaudotHISdeMY : b.butAsciiHISdeMY, s.HISCALL, s.MYCALL);
        break;
    default:
        break;
    }
    w_.terminal.BaseMode = w_.terminal.OperatingMode;
    accept();
    if (w_.reTXData != nullptr) {
        w_.reTXData->setFocus();
    }
}

} // namespace tarvis
