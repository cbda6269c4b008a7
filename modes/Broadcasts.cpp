#include "modes/Broadcasts.h"

#include "link/ModemLink.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTextEdit>
#include <QVBoxLayout>

namespace tarvis {

namespace {

constexpr FecModulation kFecModulations[] = {
    {"BPSM", "85", "125", "75", 0x99},    {"QPSM", "85", "250", "150", 0x9D},
    {"8PSM", "255", "375", "225", 0xE1},  {"8P2A", "255", "500", "300", 0xE5},
    {"16P4A", "255", "750", "450", 0xED}, {"2DPSM", "51", "63", "38", 0x55},
};
constexpr std::uint8_t kDefaultFecCode = 0x99;
// The dialog opens this far right of and below the main window's top-left corner.
constexpr int kDialogOffset = 50;

void Enable(std::initializer_list<QAction*> buttons, bool on) {
    for (QAction* button : buttons) {
        if (button != nullptr) {
            button->setEnabled(on);
        }
    }
}

void FocusTransmitPane(ModeWindow& w) {
    if (w.reTXData != nullptr) {
        w.reTXData->setFocus();
    }
}

void ShowPanel(BroadcastWindow& b, QWidget* panel) {
    if (panel == nullptr) {
        return;
    }
    if (b.showCentred) {
        b.showCentred(*panel);
    } else {
        panel->show();
    }
    panel->setFocus();
}

// A Mode B, Mode S or CFEC broadcast has begun: its panel goes, the AMTOR tool bar's
// broadcast controls and the text-file menu item come on, and the operator types.
void AmtorBroadcastBegun(ModeWindow& w, QWidget& panel, bool testTones) {
    const ModeToolBars& bars = w.bars;
    panel.hide();
    Enable({bars.butAmtorConnect, bars.butAmtorFEC}, false);
    Enable({bars.butAmtorDisconnect, bars.butAmtorPanic, bars.butAmtorFoxes, bars.butAmtorCallCQ},
           true);
    Enable({w.mnuFilesSendtextfile}, true);
    Enable({w.mnuSpecialTest}, testTones);
    FocusTransmitPane(w);
}

QPushButton* Button(QWidget* parent, const char* caption, const char* name) {
    auto* button = new QPushButton(QLatin1String(caption), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QRadioButton* Radio(QWidget* parent, const char* caption, const char* name) {
    auto* radio = new QRadioButton(QLatin1String(caption), parent);
    radio->setObjectName(QLatin1String(name));
    return radio;
}

QHBoxLayout* ButtonRow(QPushButton* ok, QPushButton* cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace

const FecModulation* FindFecModulation(const QString& text) {
    for (const FecModulation& m : kFecModulations) {
        if (text == QLatin1String(m.name)) {
            return &m;
        }
    }
    return nullptr;
}

std::uint8_t FecModulationCode(const QString& text) {
    for (const FecModulation& m : kFecModulations) {
        if (text.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0) {
            return m.code;
        }
    }
    return kDefaultFecCode;
}

TMirvolFECFrm::TMirvolFECFrm(QWidget* parent, Dialogs& dialogs)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("MirvolFECFrm"));
    setWindowTitle(QStringLiteral("Mirvol Broadcast Modulation"));
    ModComboBox = new QComboBox(this);
    ModComboBox->setObjectName(QStringLiteral("ModComboBox"));
    ModComboBox->setEditable(true);
    ModComboBox->setInsertPolicy(QComboBox::NoInsert);
    for (const FecModulation& m : kFecModulations) {
        ModComboBox->addItem(QLatin1String(m.name));
    }
    auto label = [this](const char* text, const char* name) {
        auto* l = new QLabel(QLatin1String(text), this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    CodeEffLabel = label("60%", "CodeEffLabel");
    BlockSizeLabel = label("", "BlockSizeLabel");
    BaseRateLabel = label("", "BaseRateLabel");
    ActualLabel = label("", "ActualLabel");
    OKBtn = Button(this, "OK", "OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = Button(this, "Cancel", "CancelBtn");

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Modulation:"), ModComboBox);
    form->addRow(QStringLiteral("Code Effic:"), CodeEffLabel);
    form->addRow(QStringLiteral("Block Size:"), BlockSizeLabel);
    form->addRow(QStringLiteral("Base Rate:"), BaseRateLabel);
    form->addRow(QStringLiteral("Actual:"), ActualLabel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(OKBtn, CancelBtn));

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    // A modulation picked from the list shows its figures at once; a typed text is judged
    // when the operator has finished it, so that every keystroke does not raise a message.
    connect(ModComboBox, &QComboBox::activated, this, [this] { ModComboBoxChange(); });
    connect(ModComboBox, &QComboBox::editTextChanged, this,
            [this](const QString& text) { ShowFigures(text); });
    connect(ModComboBox->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { ModComboBoxChange(); });
}

bool TMirvolFECFrm::ShowFigures(const QString& text) {
    const FecModulation* m = FindFecModulation(text);
    if (m == nullptr) {
        return false;
    }
    BlockSizeLabel->setText(QLatin1String(m->blockSize));
    BaseRateLabel->setText(QLatin1String(m->baseRate));
    ActualLabel->setText(QLatin1String(m->actual));
    return true;
}

void TMirvolFECFrm::ModComboBoxChange() {
    if (!ShowFigures(ModComboBox->currentText())) {
        dialogs_.ShowMessage(QStringLiteral("Invalid Entry"));
    }
}

void TMirvolFECFrm::FormShow() {
    ModComboBoxChange();
}

void TMirvolFECFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

TFECModePanel::TFECModePanel(QWidget* owner) : TPanelFrame(owner, QStringLiteral("FECModePanel")) {
    butModeA = Radio(this, "Send FEC (Mode B)", "butModeA");
    butModeA->setChecked(true);
    butModeS = Radio(this, "Send SFEC (Mode S)", "butModeS");
    butCFEC = Radio(this, "Send CFEC (Converse)", "butCFEC");
    butFECOK = Button(this, "OK", "butFECOK");
    butFECCancel = Button(this, "Cancel", "butFECCancel");
    acceptButton_ = butFECOK;
    rejectButton_ = butFECCancel;
    auto* layout = new QVBoxLayout(this);
    for (QRadioButton* radio : {butModeA, butModeS, butCFEC}) {
        layout->addWidget(radio);
    }
    layout->addLayout(ButtonRow(butFECOK, butFECCancel));
    resize(260, 150);
}

TGroupCallPanel::TGroupCallPanel(QWidget* owner)
    : TPanelFrame(owner, QStringLiteral("GroupCallPanel")) {
    auto* label = new QLabel(QStringLiteral("Sending"), this);
    edGroupCall = new QLineEdit(this);
    edGroupCall->setObjectName(QStringLiteral("edGroupCall"));
    edGroupCall->setAccessibleName(QStringLiteral("Group call"));
    edGroupCall->setMaxLength(4);
    label->setBuddy(edGroupCall);
    // Upper case as it is typed.
    connect(edGroupCall, &QLineEdit::textEdited, edGroupCall, [this](const QString& text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int caret = edGroupCall->cursorPosition();
            edGroupCall->setText(upper);
            edGroupCall->setCursorPosition(caret);
        }
    });
    Button2 = Button(this, "OK", "Button2");
    Button17 = Button(this, "Cancel", "Button17");
    acceptButton_ = Button2;
    rejectButton_ = Button17;
    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(edGroupCall, 0, 1);
    layout->addLayout(ButtonRow(Button2, Button17), 1, 0, 1, 2);
    resize(220, 90);
}

TFECRatePanel::TFECRatePanel(QWidget* owner) : TPanelFrame(owner, QStringLiteral("FECRatePanel")) {
    auto* label = new QLabel(QStringLiteral("Data Rate"), this);
    butFECRate100 = Radio(this, "100", "butFECRate100");
    butFECRate100->setChecked(true);
    butFECRate200 = Radio(this, "200", "butFECRate200");
    Button7 = Button(this, "O&K", "Button7");
    Button8 = Button(this, "&Cancel", "Button8");
    acceptButton_ = Button7;
    rejectButton_ = Button8;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    auto* rates = new QHBoxLayout;
    rates->addWidget(butFECRate100);
    rates->addWidget(butFECRate200);
    layout->addLayout(rates);
    layout->addLayout(ButtonRow(Button7, Button8));
    resize(220, 110);
}

void butFECClick(BroadcastWindow& b) {
    ModeWindow& w = b.modes;
    const ModeToolBars& bars = w.bars;
    w.terminal.BaseMode = w.terminal.OperatingMode;
    switch (w.terminal.OperatingMode) {
    case kModeBaudot:
        w.sendCommand(Command(kCmdForceLtrs));
        break;
    case kModeMirvol: {
        TMirvolFECFrm* frm = b.MirvolFECFrm;
        if (frm == nullptr) {
            return;
        }
        frm->ModComboBox->setEditText(w.settings.FECMod);
        if (w.mainWindow != nullptr) {
            frm->move(w.mainWindow->pos() + QPoint(kDialogOffset, kDialogOffset));
        }
        if (b.dialogs.ExecModal(*frm) != QDialog::Accepted) {
            return;
        }
        if (w.settings.FECMod != frm->ModComboBox->currentText()) {
            w.settings.FECMod = frm->ModComboBox->currentText();
            w.configChanged = true;
        }
        w.sendCommand(ByteCommand(kCmdModulation, FecModulationCode(w.settings.FECMod)));
        w.terminal.OperatingMode = kModeMirvolBroadcast;
        w.sendCommand(ByteCommand(kCmdMirvolBroadcast, 0));
        Enable({bars.butAmtorConnect, bars.butPModeConnect, bars.butMVLConnect}, false);
        Enable({bars.butAmtorDisconnect, bars.butPModeDisconnect, bars.butMVLDisconnect,
                bars.butAmtorPanic, bars.butPModePanic, bars.butMVLPanic, bars.butAmtorFoxes,
                bars.butPModeFoxes, bars.butMVLFoxes},
               true);
        w.setStatusPane(1, QStringLiteral("FEC-TX"));
        Enable({bars.butAmtorFEC, bars.butPModeFEC, bars.butMVLFEC}, false);
        Enable({w.mnuFilesSendtextfile}, true);
        Enable({w.mnuFilesSendBinaryFile, w.mnuSpecialTest}, false);
        break;
    }
    case kModeAmtor:
        ShowPanel(b, b.FECModePanel);
        break;
    case kModePMode:
        ShowPanel(b, b.FECRatePanel);
        Enable({bars.butPModeCallCQ, w.mnuFilesSendtextfile}, true);
        break;
    default:
        break;
    }
}

void butFECOKClick(BroadcastWindow& b) {
    ModeWindow& w = b.modes;
    TFECModePanel& panel = *b.FECModePanel;
    if (panel.butModeS->isChecked()) {
        panel.hide();
        b.GroupCallPanel->edGroupCall->setText(w.settings.GROUPCALL);
        ShowPanel(b, b.GroupCallPanel);
        b.GroupCallPanel->edGroupCall->setFocus();
        return;
    }
    w.terminal.OperatingMode = kModeAmtorBroadcast;
    if (panel.butCFEC->isChecked()) {
        w.sendCommand(Command(kCmdAmtorCfec));
        w.clock.Sleep(1);
    } else {
        w.sendCommand(ByteCommand(kCmdAmtorModeB, 0));
        w.setStatusPane(1, QStringLiteral("FEC-TX"));
    }
    AmtorBroadcastBegun(w, panel, true);
}

void butFECCancelClick(BroadcastWindow& b) {
    b.FECModePanel->hide();
    FocusTransmitPane(b.modes);
}

void Button2Click(BroadcastWindow& b) {
    ModeWindow& w = b.modes;
    w.terminal.OperatingMode = kModeAmtorBroadcast;
    w.settings.GROUPCALL = b.GroupCallPanel->edGroupCall->text();
    w.sendCommand(GroupBroadcastCommand(w.settings.GROUPCALL.toLatin1().toStdString()));
    w.setStatusPane(1, QStringLiteral("SELFEC-TX"));
    AmtorBroadcastBegun(w, *b.GroupCallPanel, false);
}

void Button17Click(BroadcastWindow& b) {
    b.GroupCallPanel->hide();
    FocusTransmitPane(b.modes);
}

void Button7Click(BroadcastWindow& b) {
    ModeWindow& w = b.modes;
    const ModeToolBars& bars = w.bars;
    TFECRatePanel& panel = *b.FECRatePanel;
    panel.hide();
    w.sendCommand(ByteCommand(kCmdPModeUnprotoRate, panel.butFECRate100->isChecked() ? 0 : 1));
    w.terminal.OperatingMode = kModePModeUnproto;
    w.sendCommand(ByteCommand(kCmdPModeUnproto, 0));
    Enable({bars.butPModeConnect, bars.butPModeFEC}, false);
    Enable({bars.butPModeDisconnect, bars.butPModePanic, bars.butPModeFoxes}, true);
    w.setStatusPane(1, QStringLiteral("UNPROTO"));
    Enable({w.mnuSpecialTest}, false);
    FocusTransmitPane(w);
}

void Button8Click(BroadcastWindow& b) {
    b.FECRatePanel->hide();
}

} // namespace tarvis
