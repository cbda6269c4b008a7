#include "config/Unit3.h"
#include "config/Settings.h"
#include "modes/ModeWindow.h"
#include "platform/Dialogs.h"
#include "tuning/ToolWindows.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace tarvis {

std::vector<Bytes> PrintSquelchCommands(bool on, int level) {
    const Bytes prefix("\x80", 1);
    return {prefix + static_cast<char>(kCmdPrintSquelch),
            prefix + static_cast<char>(on ? LowByte(level) : 0x00)};
}

TForm3::TForm3(QWidget* parent, Settings& settings, std::function<void(const Bytes&)> sendCommand,
               TAmplitudeTuneFrm* amplitudeTune)
    : QDialog(parent), settings_(settings), sendCommand_(std::move(sendCommand)),
      amplitudeTune_(amplitudeTune) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Print Squelch"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    auto* squelchLabel = new QLabel(QStringLiteral("Squelch:"), this);
    butPSON = new QRadioButton(QStringLiteral("ON"), this);
    butPSON->setObjectName(QStringLiteral("butPSON"));
    butPSOFF = new QRadioButton(QStringLiteral("OFF"), this);
    butPSOFF->setObjectName(QStringLiteral("butPSOFF"));
    butPSON->setChecked(true);
    auto* group = new QButtonGroup(this);
    group->addButton(butPSON);
    group->addButton(butPSOFF);
    butPSON->setAccessibleName(QStringLiteral("Squelch ON"));
    butPSOFF->setAccessibleName(QStringLiteral("Squelch OFF"));

    auto* levelLabel = new QLabel(QStringLiteral("&Level:"), this);
    PSLevelSpin = new QSpinBox(this);
    PSLevelSpin->setObjectName(QStringLiteral("PSLevelSpin"));
    PSLevelSpin->setRange(0, 99);
    PSLevelSpin->setAccessibleName(QStringLiteral("Level"));
    levelLabel->setBuddy(PSLevelSpin);

    Button1 = new QPushButton(QStringLiteral("O&K"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(squelchLabel, 0, 0);
    grid->addWidget(butPSON, 0, 1);
    grid->addWidget(butPSOFF, 0, 2);
    grid->addWidget(levelLabel, 1, 0);
    grid->addWidget(PSLevelSpin, 1, 1, 1, 2);
    grid->addWidget(Button1, 2, 0, 1, 3, Qt::AlignHCenter);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(PSLevelSpin, &QSpinBox::valueChanged, this, [this] { ApplyPrintSquelch(); });
    connect(butPSON, &QRadioButton::clicked, this, [this] { ApplyPrintSquelch(); });
    connect(butPSOFF, &QRadioButton::clicked, this, [this] { ApplyPrintSquelch(); });
    // OK only closes: every change has already gone to the modem.
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm3::ApplyPrintSquelch() {
    const int level = PSLevelSpin->value();
    settings_.PrintSquelchSetting = level;
    const bool on = butPSON->isChecked();
    for (const Bytes& command : PrintSquelchCommands(on, level)) {
        sendCommand_(command);
    }
    if (amplitudeTune_ != nullptr) {
        amplitudeTune_->SetSquelchMarkers(PrintSquelchMarkerLeft(level),
                                          on && !PrintSquelchMarkersHidden(level));
    }
}

void TForm3::ShowSettings() {
    const QSignalBlocker block(PSLevelSpin);
    (settings_.PrintSquelchEnable == QLatin1String("ON") ? butPSON : butPSOFF)->setChecked(true);
    PSLevelSpin->setValue(settings_.PrintSquelchSetting);
}

void TForm3::SetSquelch(bool on, int level) {
    (on ? butPSON : butPSOFF)->setChecked(true);
    PSLevelSpin->setValue(level);
}

bool OpenPrintSquelch(TForm3& form, ModeWindow& w, Dialogs& dialogs,
                      const std::function<void(bool on)>& onEnableChanged) {
    const int mode = w.terminal.OperatingMode;
    if (mode == kModeMirvol || mode == kModeAmtor || mode == kModePMode) {
        return false;
    }
    const bool on = w.settings.PrintSquelchEnable == QLatin1String("ON");
    (on ? form.butPSON : form.butPSOFF)->setChecked(true);
    form.PSLevelSpin->setValue(w.settings.PrintSquelchSetting);
    dialogs.ExecModal(form);
    form.hide();
    const bool nowOn = form.butPSON->isChecked();
    w.settings.PrintSquelchEnable = nowOn ? QStringLiteral("ON") : QStringLiteral("OFF");
    if (onEnableChanged) {
        onEnableChanged(nowOn);
    }
    w.configChanged = true;
    return true;
}

} // namespace tarvis
