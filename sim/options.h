// The simulator's command line.
#pragma once

#include "sim/modem.h"

#include <span>
#include <string>
#include <string_view>

namespace qd470sim {

// Exit codes of the program.
inline constexpr int kExitOk = 0;      // quit, SIGINT, SIGTERM, SIGHUP or --help
inline constexpr int kExitFailure = 1; // could not set up the terminal, link, log or socket
inline constexpr int kExitUsage = 2;   // bad command line

struct Options {
    std::string link;      // where the pseudo-terminal's device appears (a symbolic link)
    std::string log = "-"; // log file, or "-" for standard output
    std::string control;   // unix socket for control commands; empty for none
    bool controlStdin = true;
    ModemIdentity identity;
};

struct ParsedOptions {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Run;
    Options options;
    std::string error; // Outcome::Error: what is wrong, in one line
};

ParsedOptions parseOptions(std::span<const std::string_view> args);

std::string_view usageText();

} // namespace qd470sim
