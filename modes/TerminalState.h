#pragma once
// The terminal state the mode set-ups establish and the rest of the program reads: the
// operating mode and the mode to return to, listen, transmit enable, how typed text is
// released and what ends a line.
#include "link/Commands.h"

#include <QString>

namespace tarvis {

enum OperatingModeNumber : int {
    kModeMirvol = 1,
    kModeAmtor = 2,
    kModePMode = 3,
    kModeBaudot = 4,
    kModeAscii = 5,
    kModeMirvolBroadcast = 6,
    kModeAmtorBroadcast = 7,
    kModePModeUnproto = 8,
    kModePsk31 = 10,
};

enum TextEntryModeNumber : int { kTextEntryChar = 1, kTextEntryWord = 2, kTextEntryLine = 3 };

struct TerminalState {
    int OperatingMode = kModeMirvol;
    int BaseMode = kModeMirvol;
    int ListenState = 1; // 1 off, 2 on
    bool TxEnabled = false;
    int TextEntryMode = kTextEntryWord;
    Bytes EndOfLineText = Bytes("\r\n");
    bool CallIndexValid = false;
    bool NormFlag = true;
    // The sound card's transmitter is keyed and its engine sending.
    bool Psk31Transmitting = false;
};

// The end-of-line text of an end-of-line setting, compared ignoring case: "CR" 0D, "CR LF"
// 0D 0A, "CR LF LTRS" 0D 0A 3C, "CR CR LF" 0D 0D 0A. False (text untouched) for any other value.
bool EndOfLineFromSetting(const QString& setting, Bytes& text);

} // namespace tarvis
