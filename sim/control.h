// The simulator's control channel: one command a line, from a person at the terminal or from a
// test, each answered by one line that begins "ok" or "error:".
#pragma once

#include "sim/channel.h"
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

// Carries out one control line on `modem`: the commands of one modem alone.
ControlReply runControl(Modem& modem, std::string_view line);

// Carries out one control line on the stations of `channel`. "station N COMMAND" addresses
// station N (from 1); a line without it goes to `defaultStation` (from 0). Besides the modem's
// own commands: settings, air, lose, quality Q, air-rate MODE|all CPS.
ControlReply runControl(Channel& channel, std::size_t defaultStation, std::string_view line);

} // namespace qd470sim
