#pragma once
// The settings sent to the modem once it has answered, before the operating mode is set up.
#include "config/Settings.h"
#include "link/Commands.h"
#include "link/ModemIdentity.h"
#include "modes/TerminalState.h"

#include <functional>

namespace tarvis {

struct InitialSettingsOutcome {
    // Where the print-squelch markers go, and whether the level hides them.
    int squelchMarkerLeft = 0;
    bool squelchMarkersHidden = false;
    bool escapeMode = false;
};

// Sends the commands in their order through `sendCommand` and sets the end-of-line text.
InitialSettingsOutcome
SendInitialModemSettings(const Settings& settings, const ModemIdentity& identity,
                         TerminalState& terminal,
                         const std::function<void(const Bytes&)>& sendCommand);

} // namespace tarvis
