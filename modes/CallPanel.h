#pragma once
// The call dialog: the operator picks or types the other station's call and, by mode, the
// path (P-Mode) or the adaptive or manual call type and its waveform (MIRVOL). Call sends the
// mode's call command; the typed call joins the stored list.
#include "modes/ModeWindow.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tarvis {

// The modulation code of a manual MIRVOL call for an entry of the waveform list (BPSM 99,
// QPSM 9D, 8PSM E1, 8P2A E5, 16PSM E9, 16P4A ED); BPSM's for an index outside the list.
std::uint8_t WaveformCode(int index);

// The call-type values of a MIRVOL call.
enum MirvolCallType : int { kCallAdaptive = 1, kCallManual = 2 };

class TCallPanel final : public QDialog {
public:
    TCallPanel(QWidget* parent, ModeWindow& w);

    // Readies the dialog for the current mode: the call list and its first entry, the radio
    // buttons, the heights, and the entry of the last call when it is still valid. Connect
    // and the other ways to a call run this before showing the dialog.
    void Prepare();

    void butCallClick();
    void CancelBtnClick();
    void butLongPathClick();
    void butShortPathClick();
    void FormShow();

    QComboBox* CallBox = nullptr;
    QRadioButton* butLongPath = nullptr;
    QRadioButton* butShortPath = nullptr;
    QPushButton* butCall = nullptr;
    QPushButton* CancelBtn = nullptr;
    QFrame* CallBevel = nullptr;
    QWidget* Panel1 = nullptr;
    QComboBox* WaveFormatList = nullptr;
    QLabel* CodeEfficiencyLabel = nullptr;
    QLabel* BlockSizeLabel = nullptr;
    QLabel* BaseRateLabel = nullptr;
    QLabel* ActualRateLabel = nullptr;

    // 2 manual, anything else adaptive; changed only by the MIRVOL radio buttons.
    int CallType = 0;
    // The call box's list position at the last Call.
    int CallListIndex = 0;
    // The operator typed into the call box (or a call was taken from the receive pane):
    // Call adds the text to the stored list.
    bool CallTyped = false;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetHeights(int dialog, int bevel);
    void FillCallList(const QString& listText);
    void AddTypedCall();

    ModeWindow& w_;
};

} // namespace tarvis
