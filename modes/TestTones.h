#pragma once
// The Tone Test box: steady test signals for adjusting the transmitter and the antenna. While
// the box is in use the dispatch thread is suspended; what the modem reports meanwhile waits
// in the receive ring and is shown in order once the box is cancelled.
#include "modes/ModeWindow.h"

#include <QFrame>

class QComboBox;
class QLabel;
class QPushButton;

namespace tarvis {

class TToneTestBox : public QFrame {
public:
    explicit TToneTestBox(QWidget* owner);
    QLabel* Label = nullptr;
    QComboBox* ToneBox = nullptr;
    QPushButton* butTestCancel = nullptr;
};

// The command of a list position: 80 05 (off), 80 0B, 80 04 in MIRVOL; 80 05, 80 8B, 80 8C,
// 80 8D in every other mode; 80 05 for any other position.
Bytes ToneTestCommand(int operatingMode, int position);

// Opens the box centred on the main window with the first entry selected; nothing while a
// link is established. With suspendDispatch (the menu item) the dispatch thread is suspended
// at once; the hot key leaves that to the first choice.
void mnuSpecialTestClick(ModeWindow& w, TToneTestBox& box, bool suspendDispatch = true);
// The operator chose an entry: its test starts.
void ToneBoxChange(ModeWindow& w, TToneTestBox& box);
// Stops the tone, resumes dispatch when it is suspended, closes the box.
void butTestCancelClick(ModeWindow& w, TToneTestBox& box);

} // namespace tarvis
