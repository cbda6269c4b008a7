#pragma once
// Bringing the modem and the main window into an operating mode: the Code menu, the five mode
// set-ups and the sending operations they share with the link controls.
#include "modes/ModeWindow.h"

namespace tarvis {

// The Code menu's handler for a modem mode (1..5): leaves PSK31 first when it is running,
// moves the menu's check mark, marks the configuration changed and runs the mode's set-up.
void CodeMenuClick(ModeWindow& w, int mode);

void SetUpMirvol(ModeWindow& w);
void SetUpAmtor(ModeWindow& w);
void SetUpPMode(ModeWindow& w);
void SetUpBaudot(ModeWindow& w);
void SetUpAscii(ModeWindow& w);

// The set-up of a modem mode as the start-up runs it: 2..5 their own, every other mode but
// PSK31 MIRVOL. False for PSK31 (10), which the sound-card mode sets up.
bool RunModeSetUp(ModeWindow& w, int mode);

// 80 13 with MYCALL, then the hints of the "de MY" and "HIS de MY" buttons of the tool bar of
// hintMode: MIRVOL in mode 1, P-Mode in 3, Baudot in 4, ASCII in every other mode.
void SendMyCall(ModeWindow& w, int hintMode);
inline void SendMyCall(ModeWindow& w) {
    SendMyCall(w, w.terminal.OperatingMode);
}
void SendMyCall476(ModeWindow& w);
void SendMyCall625(ModeWindow& w);
void SendGroupCall(ModeWindow& w);
// 80 94 with the bytes of Msg/wru.txt; nothing when the file cannot be read.
void SendAnswerback(ModeWindow& w);
// 80 EC with the low 16 bits of each tone, high byte first.
void SendTonePair(ModeWindow& w, int mark, int space);

// The modem's code of an RTTY rate: 45 00, 50 01, 57 02, 75 03, 100 04, 110 05. False (code
// 00) for any other rate.
bool RttyRateCode(int rate, std::uint8_t& code);

// 1 CHAR, 2 WORD, anything else 3 LINE; compared ignoring case.
int TextEntryFromSetting(const QString& setting);

// The transmit-enable button's picture and caption: 6 "TX EN " or 5 "TX DIS".
void ShowTxEnable(const ModeToolBars& bars, QAction* button, bool enabled);

} // namespace tarvis
