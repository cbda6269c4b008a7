// The simulator's control channel: one command a line, from a person at the terminal or from a
// test, each answered by one line that begins "ok" or "error:".
#pragma once

#include "sim/modem.h"

#include <string>
#include <string_view>

namespace qd470sim {

struct ControlReply {
    std::string text; // the answer line without its line end; empty for a blank input line
    bool quit = false;
};

// The commands, as `help` lists them.
std::string_view controlHelp();

// Carries out one control line on `modem`.
ControlReply runControl(Modem& modem, std::string_view line);

} // namespace qd470sim
