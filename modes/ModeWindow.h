#pragma once
// What the mode set-ups, the Code menu and the test tones work on: the main window's shared
// state, its controls and its way to the modem. The main window fills this once its widgets
// exist; tests read the same controls back.
#include "config/Settings.h"
#include "link/Commands.h"
#include "link/LinkStatus.h"
#include "link/ModemIdentity.h"
#include "modes/TerminalState.h"
#include "modes/ToolBars.h"

#include <array>
#include <functional>

class QAction;
class QComboBox;
class QStatusBar;
class QTextEdit;
class QToolBar;
class QWidget;

namespace tarvis {

class Clock;
class EventPump;
class ModemLink;
class SoundCardEngine;
class TAmplitudeTuneFrm;
class TTuneView;

// The tool bars and Code menu items in the order of the modes they belong to.
enum ModeSlot : int { kSlotMirvol, kSlotAmtor, kSlotPMode, kSlotBaudot, kSlotAscii, kSlotPsk31 };

struct ModeWindow {
    Settings& settings;
    TerminalState& terminal;
    const ModemIdentity& identity;
    const LinkStatus& linkStatus;
    bool& configChanged;
    ModemLink& link;
    Clock& clock;
    EventPump& pump;
    SoundCardEngine* engine;
    // Queues one command string and keeps the interface alive for 50 ms.
    std::function<void(const Bytes&)> sendCommand;
    std::function<void(int, const QString&)> setStatusPane;
    // Where wru.txt is kept, with its trailing separator.
    QString messageFolder;

    QWidget* mainWindow = nullptr;
    QStatusBar* statusBar = nullptr;
    ModeToolBars& bars;
    std::array<QToolBar*, 6> toolBars{};
    std::array<QAction*, 6> codeItems{};
    QAction* mnuFilesSendtextfile = nullptr;
    QAction* mnuFilesSendBinaryFile = nullptr;
    QAction* mnuSpecialTest = nullptr;
    QComboBox* toneBox = nullptr;
    QTextEdit* reTXData = nullptr;
    QTextEdit* reRXData = nullptr;
    TAmplitudeTuneFrm* amplitudeTune = nullptr;
    TTuneView* tuneView = nullptr;
};

} // namespace tarvis
