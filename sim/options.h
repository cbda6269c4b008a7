// The simulator's command line.
#pragma once

#include "sim/channel.h"
#include "sim/modem.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qd470sim {

// Exit codes of the program.
inline constexpr int kExitOk = 0;      // quit, SIGINT, SIGTERM, SIGHUP or --help
inline constexpr int kExitFailure = 1; // could not set up the terminal, link, log or socket
inline constexpr int kExitUsage = 2;   // bad command line

// One station: its link, its own control socket (may be empty) and its identity.
struct StationOptions {
    std::string link;
    std::string control;
    ModemIdentity identity;
};

struct Options {
    std::string link;      // the first station's link (where its pseudo-terminal appears)
    std::string log = "-"; // log file, or "-" for standard output
    std::string control;   // unix socket for control commands; empty for none
    bool controlStdin = true;
    ModemIdentity identity; // given by the identity options, for every station
    // Every station in command-line order: one for each --link, with `identity`, and one for
    // each --station, with `identity` changed by its own options.
    std::vector<StationOptions> stations;
    ChannelTiming timing;
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
