#pragma once
// The print squelch dialog: squelch on or off and its level, each change sent to the modem at
// once and shown as the two level markers of the amplitude tuning window.
#include "link/Commands.h"

#include <QDialog>
#include <functional>
#include <vector>

class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tarvis {

class Dialogs;
struct ModeWindow;
struct Settings;
class TAmplitudeTuneFrm;

// The two command strings of a print squelch change: 80 E8, then 80 and the level when on,
// 80 00 when off.
std::vector<Bytes> PrintSquelchCommands(bool on, int level);

class TForm3 : public QDialog {
public:
    TForm3(QWidget* parent, Settings& settings, std::function<void(const Bytes&)> sendCommand,
           TAmplitudeTuneFrm* amplitudeTune);

    QRadioButton* butPSON = nullptr;
    QRadioButton* butPSOFF = nullptr;
    QSpinBox* PSLevelSpin = nullptr;
    QPushButton* Button1 = nullptr;

    // Takes the spin's level into the settings, places the markers and sends the squelch.
    void ApplyPrintSquelch();
    // The radios and the level from the settings, sending nothing (at start-up).
    void ShowSettings();
    // The radios and the level as the configuration pages set them; a changed level is
    // applied as any change of it.
    void SetSquelch(bool on, int level);

private:
    Settings& settings_;
    std::function<void(const Bytes&)> sendCommand_;
    TAmplitudeTuneFrm* amplitudeTune_;
};

// The hot key's opening: nothing in MIRVOL, AMTOR and P-Mode; in any other mode the dialog
// from the settings, shown modally; afterwards the enable setting from its radios,
// `onEnableChanged` told, and the configuration marked changed. True when it was shown.
bool OpenPrintSquelch(TForm3& form, ModeWindow& w, Dialogs& dialogs,
                      const std::function<void(bool on)>& onEnableChanged);

} // namespace tarvis
