#pragma once
// One-way broadcasts: MIRVOL broadcast with a chosen modulation, AMTOR FEC (collective Mode B,
// selective Mode S to a group call, and CFEC), P-Mode unproto at 100 or 200 baud, and the
// Baudot tool bar's forced LTRS shift on the same button. A dialog or panel asks for the
// details; confirming sends the start command and moves the operating mode into its
// broadcast state. Typed text then goes out through the transmit pump; Disconnect ends it.
#include "modes/ModeWindow.h"
#include "modes/PanelFrame.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tarvis {

class Dialogs;

// A row of the MIRVOL broadcast modulation table.
struct FecModulation {
    const char* name;
    const char* blockSize;
    const char* baseRate;
    const char* actual;
    std::uint8_t code;
};

// The row whose name is exactly the text, or null.
const FecModulation* FindFecModulation(const QString& text);
// The modulation code of a name compared ignoring case; 99 (BPSM) for any other text.
std::uint8_t FecModulationCode(const QString& text);

// "Mirvol Broadcast Modulation": the modulation list and the figures of the chosen one.
class TMirvolFECFrm final : public QDialog {
public:
    TMirvolFECFrm(QWidget* parent, Dialogs& dialogs);

    // Both refresh the labels from the list text; a text not in the table is reported as
    // "Invalid Entry" and leaves them as they were.
    void FormShow();
    void ModComboBoxChange();

    QComboBox* ModComboBox = nullptr;
    QLabel* CodeEffLabel = nullptr;
    QLabel* BlockSizeLabel = nullptr;
    QLabel* BaseRateLabel = nullptr;
    QLabel* ActualLabel = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Labels for a text in the table; false otherwise.
    bool ShowFigures(const QString& text);

    Dialogs& dialogs_;
};

// AMTOR: which kind of FEC broadcast.
class TFECModePanel final : public TPanelFrame {
public:
    explicit TFECModePanel(QWidget* owner);
    QRadioButton* butModeA = nullptr;
    QRadioButton* butModeS = nullptr;
    QRadioButton* butCFEC = nullptr;
    QPushButton* butFECOK = nullptr;
    QPushButton* butFECCancel = nullptr;
};

// AMTOR Mode S: the group call to send to.
class TGroupCallPanel final : public TPanelFrame {
public:
    explicit TGroupCallPanel(QWidget* owner);
    QLineEdit* edGroupCall = nullptr;
    QPushButton* Button2 = nullptr;  // "OK"
    QPushButton* Button17 = nullptr; // "Cancel"
};

// P-Mode unproto: the data rate.
class TFECRatePanel final : public TPanelFrame {
public:
    explicit TFECRatePanel(QWidget* owner);
    QRadioButton* butFECRate100 = nullptr;
    QRadioButton* butFECRate200 = nullptr;
    QPushButton* Button7 = nullptr; // "O&K"
    QPushButton* Button8 = nullptr; // "&Cancel"
};

struct BroadcastWindow {
    ModeWindow& modes;
    Dialogs& dialogs;
    TMirvolFECFrm* MirvolFECFrm = nullptr;
    TFECModePanel* FECModePanel = nullptr;
    TGroupCallPanel* GroupCallPanel = nullptr;
    TFECRatePanel* FECRatePanel = nullptr;
    // Centres a panel on the main window and shows it.
    std::function<void(QWidget&)> showCentred{};
};

// The Broadcast, Unproto and LTRS buttons.
void butFECClick(BroadcastWindow& b);
// AMTOR FEC panel.
void butFECOKClick(BroadcastWindow& b);
void butFECCancelClick(BroadcastWindow& b);
// Group call panel.
void Button2Click(BroadcastWindow& b);
void Button17Click(BroadcastWindow& b);
// P-Mode rate panel.
void Button7Click(BroadcastWindow& b);
void Button8Click(BroadcastWindow& b);

} // namespace tarvis
