#include "sim/options.h"

#include <optional>

namespace qd470sim {

namespace {

std::optional<std::uint16_t> parseHex4(std::string_view text) {
    if (text.size() != 4)
        return std::nullopt;
    const auto hi = parseHexByte(text.substr(0, 2));
    const auto lo = parseHexByte(text.substr(2, 2));
    if (!hi || !lo)
        return std::nullopt;
    return static_cast<std::uint16_t>(*hi << 8 | *lo);
}

ParsedOptions failed(std::string error) {
    ParsedOptions p;
    p.outcome = ParsedOptions::Outcome::Error;
    p.error = std::move(error);
    return p;
}

std::string badValue(std::string_view option, std::string_view value, std::string_view wanted) {
    return "bad value '" + std::string(value) + "' for " + std::string(option) + ": expected " +
           std::string(wanted);
}

} // namespace

std::string_view usageText() {
    return R"(Usage: qd470sim --link PATH [options]
       qd470sim --station LINK[,NAME=VALUE...] --station LINK[,...] [options]

Simulates QD470 HF radio data modems on pseudo-terminals. Each station's PATH becomes
a symbolic link to its terminal's device, for example HOME/Config/COM1 of a Tarvis
station, and the simulator answers the host's start-up exchange on it. Every host
command is logged on one line with a time stamp, e.g. 12:00:01.234 80 13 "MYCALL";
text for the air as 'text "HELLO\r"', bytes sent to the host as 'sent 80 02 80 0A'.

Two or more stations share one simulated HF channel. A call (80 10/11 MIRVOL,
80 16/17 AMTOR by the 476/625 selective call, 80 19/1A P-Mode) reaches the station
whose own call (80 13, 80 90, 80 91) matches and that listens in the mode (AMTOR
and P-Mode stations hear each other's calls): the caller gets 28, the called
station 22, then both 20, 29, 2A or 2B, 7A 0E/7A 06 for the sending side and
7A 0F/7A 07 for the other; a call nobody answers ends in 24. 80 14 00 calls CQ
(73 66 to the caller, 26 to the MIRVOL stations), 80 15 00 answers it. Text for
the air goes out at the mode's air rate: each character is echoed to its sender
inside 80 31 ... 80 30 and received by the other end (80 and 81 as 81 80, 81 81).
MIRVOL turns a link round by itself; AMTOR and P-Mode on "+?" sent and on 80 87
from the receiving side. 80 07 ends a link (23 at both ends), a broadcast (7A 10
or 7A 11) or an RTTY transmission (7A 07) once the text before it has gone; 81 06
drops the text waiting. Broadcasts: 80 12 (MIRVOL: 21 and 7A 13 to the others),
80 1D and 80 82 (AMTOR), 80 18 (Mode S: 2C to the matching group), 80 1C (P-Mode
unproto). In Baudot and ASCII text goes straight to the air (7A 06 first) to the
stations in the same mode. While linked, both ends get 70 and 7E reports, in
MIRVOL also 72 and 75, from the link's quality.

Options:
  --link PATH               a station whose device link is made at PATH; an existing
                            symbolic link there is replaced, any other file is not;
                            may be given again for further stations
  --station LINK[,NAME=VALUE...]
                            a station at LINK with its own options: control=PATH (its
                            own control socket), mirvol2000, and any identity option
                            below without its dashes (hardware=800A, answers=text...)
                            on top of the identity options given outside --station,
                            which hold for every station wherever they stand
  --log FILE|-              log to FILE (overwritten) or to standard output (default -)
  --firmware-status HEX|none
                            the byte answered after 02 to 80 02 (default 0A, firmware
                            good; 01, 02, 04, 06, 08 and 0C report damage); none: never
                            answer 80 02
  --dsp-version MAJ.MIN     DSP firmware version, each number 0 to 127 (default 4.2)
  --cpu-version MAJ.MIN     CPU firmware version (default 4.1)
  --boot-version MAJ.MIN    boot ROM version (default 1.0)
  --product-id HEX4         product identity, four hex digits (default 002F)
  --hardware HEX4           hardware version, four hex digits (default 8004); 800A and
                            800B use escape mode: once the hardware answer has been
                            sent, 11, 13 and 91 are sent escaped (91 31, 91 33, 91 B1)
                            and bare 11/13 are XON/XOFF; a new 80 02 ends escape mode
  --mirvol2000              report a MIRVOL 2000 modem (bit 7 of the DSP major byte)
  --answers status|text|mixed
                            items of the answers to 80 02 and the identification
                            queries: all status items (80 76 80 85 80 03, default),
                            all text items (76 85 03), or the code as status item and
                            the bytes as text items (80 76 85 03)
  --control PATH            also take control commands on a unix socket at PATH
                            (they address station 1 unless they name one)
  --no-stdin                do not read control commands from standard input
  --call-delay MS           from a call to the link (default 1500)
  --call-timeout MS         a call or CQ nobody answers ends after this (default 10000)
  --report-interval MS      quality reports while linked (default 2000; 0: none)
  --air-rate MODE=CPS       characters a second on the air for MIRVOL (default 60),
                            AMTOR (10), P-Mode (20), Baudot, ASCII (default from the
                            host's rate: baud / 7.5 and baud / 10) or all
  --help                    show this text

Control commands (one a line on standard input, when it is a terminal, pipe or
socket, or on a control socket; each is answered "ok ..." or "error: ..."). Standard
input and --control address station 1, a station's own socket that station;
"station N COMMAND" addresses station N:
  send HEX...               send these bytes to the host exactly as given
  status CODE [PAYLOAD...]  send the status report 80 CODE, then the payload bytes as
                            text items (80 and 81 as 81 80 and 81 81)
  text STRING               send STRING as text; \r \n \t \\ \" and \xNN escapes
  silent on|off             stop (or resume) answering the host's queries
  escape on|off             force escape mode on or off
  xon, xoff                 send a bare 11 or 13 (escape mode only)
  state                     one line: identification, escape and silent flags, the
                            mode, listen and call sign set by the host, the number of
                            commands and the most recent ones
  settings                  one line of key=value pairs: the mode and every setting
                            the host made (calls, tones, rates, polarities, gains,
                            listen, retries, bias, AMTOR and P-Mode parameters...)
  air                       the station's air state: idle, calling, linked (mode,
                            peer, role, quality), broadcast, and characters waiting
  lose                      the station's link is lost: 24 at both ends
  quality 0..100            the quality of the station's link (both ends' reports)
  air-rate MODE|all CPS     change the air rate of a mode
  help                      list the commands
  quit                      end the simulator

The end of standard input stops only its reading. The link (and the socket) are
removed on quit, SIGINT, SIGTERM and SIGHUP.
Exit status: 0 on a normal end, 1 when the terminal, link, log or socket cannot be
set up, 2 for a bad command line.
)";
}

namespace {

// The identity options, shared by the command line (--NAME VALUE) and a station's own list
// (NAME=VALUE). Returns an error, or nothing when the option was taken; `known` tells whether
// NAME is one of them.
std::optional<std::string> identityOption(std::string_view name, std::string_view v,
                                          ModemIdentity& id) {
    const std::string arg = "--" + std::string(name);
    if (name == "firmware-status") {
        if (v == "none") {
            id.firmwareStatus.reset();
        } else if (const auto b = parseHexByte(v)) {
            id.firmwareStatus = *b;
        } else {
            return badValue(arg, v, "a hexadecimal byte such as 0A, or none");
        }
    } else if (name == "dsp-version" || name == "cpu-version" || name == "boot-version") {
        const auto ver = parseVersion(v);
        if (!ver)
            return badValue(arg, v, "MAJ.MIN with each number from 0 to 127");
        (name == "dsp-version" ? id.dsp : name == "cpu-version" ? id.cpu : id.boot) = *ver;
    } else if (name == "product-id" || name == "hardware") {
        const auto h = parseHex4(v);
        if (!h)
            return badValue(arg, v, "four hexadecimal digits such as 800A");
        (name == "product-id" ? id.productId : id.hardware) = *h;
    } else if (name == "answers") {
        const auto form = parseAnswerForm(v);
        if (!form)
            return badValue(arg, v, "status, text or mixed");
        id.answers = *form;
    }
    return std::nullopt;
}

bool isIdentityOption(std::string_view name) {
    return name == "firmware-status" || name == "dsp-version" || name == "cpu-version" ||
           name == "boot-version" || name == "product-id" || name == "hardware" ||
           name == "answers";
}

std::optional<std::int64_t> parseMillis(std::string_view v) {
    if (v.empty() || v.size() > 9)
        return std::nullopt;
    std::int64_t n = 0;
    for (const char c : v) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

// "LINK[,NAME=VALUE|mirvol2000...]" on top of the common identity.
std::optional<std::string> stationEntry(std::string_view entry, StationOptions& st) {
    const auto comma = entry.find(',');
    st.link = std::string(entry.substr(0, comma));
    if (st.link.empty())
        return std::string("--station needs a link path before its options");
    while (comma != std::string_view::npos && !entry.empty()) {
        entry.remove_prefix(std::min(entry.size(), entry.find(',') + 1));
        const auto next = entry.find(',');
        const std::string_view item = entry.substr(0, next);
        const auto eq = item.find('=');
        const std::string_view key = item.substr(0, eq);
        const std::string_view value =
            eq == std::string_view::npos ? std::string_view{} : item.substr(eq + 1);
        if (key == "mirvol2000" && eq == std::string_view::npos) {
            st.identity.mirvol2000 = true;
        } else if (key == "control" && !value.empty()) {
            st.control = std::string(value);
        } else if (isIdentityOption(key) && eq != std::string_view::npos) {
            if (auto e = identityOption(key, value, st.identity))
                return "--station " + st.link + ": " + *e;
        } else {
            return "--station " + st.link + ": unknown station option '" + std::string(item) + "'";
        }
        if (next == std::string_view::npos)
            break;
    }
    return std::nullopt;
}

} // namespace

ParsedOptions parseOptions(std::span<const std::string_view> args) {
    ParsedOptions parsed;
    Options& o = parsed.options;
    ModemIdentity& id = o.identity;
    // Each station as given: a --link path, or a --station description.
    std::vector<std::pair<bool, std::string_view>> stations;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::optional<std::string_view> inlineValue;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            inlineValue = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        }
        const auto flag = [&]() -> bool {
            return !inlineValue; // a flag takes no value
        };
        const auto value = [&]() -> std::optional<std::string_view> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };

        if (arg == "--help" || arg == "-h") {
            parsed.outcome = ParsedOptions::Outcome::Help;
            return parsed;
        }
        if (arg == "--mirvol2000" || arg == "--no-stdin") {
            if (!flag())
                return failed(std::string(arg) + " takes no value");
            if (arg == "--mirvol2000")
                id.mirvol2000 = true;
            else
                o.controlStdin = false;
            continue;
        }
        const std::string_view name = arg.starts_with("--") ? arg.substr(2) : std::string_view{};
        const bool known = arg == "--link" || arg == "--log" || arg == "--control" ||
                           arg == "--station" || arg == "--call-delay" || arg == "--call-timeout" ||
                           arg == "--report-interval" || arg == "--air-rate" ||
                           isIdentityOption(name);
        if (!known)
            return failed("unknown option '" + std::string(args[i]) + "'");
        const auto v = value();
        if (!v)
            return failed(std::string(arg) + " needs a value");

        if (arg == "--link" || arg == "--log" || arg == "--control" || arg == "--station") {
            if (v->empty())
                return failed(std::string(arg) + " needs a non-empty value");
            if (arg == "--link" || arg == "--station")
                stations.emplace_back(arg == "--link", *v);
            else
                (arg == "--log" ? o.log : o.control) = std::string(*v);
        } else if (arg == "--call-delay" || arg == "--call-timeout" || arg == "--report-interval") {
            const auto ms = parseMillis(*v);
            if (!ms)
                return failed(badValue(arg, *v, "milliseconds, a whole number"));
            (arg == "--call-delay"     ? o.timing.callDelayMs
             : arg == "--call-timeout" ? o.timing.callTimeoutMs
                                       : o.timing.reportIntervalMs) = *ms;
        } else if (arg == "--air-rate") {
            const auto eq = v->find('=');
            const std::string_view modeName = v->substr(0, eq);
            const auto mode = parseAirMode(modeName);
            std::int64_t cps = 0;
            if (eq != std::string_view::npos)
                cps = parseMillis(v->substr(eq + 1)).value_or(0);
            if ((!mode && modeName != "all") || cps < 1)
                return failed(badValue(arg, *v,
                                       "MODE=CPS, MODE one of MIRVOL, AMTOR, P-Mode, Baudot, "
                                       "ASCII or all, CPS characters a second from 1"));
            const double rate = static_cast<double>(cps);
            for (std::size_t m = 1; m < o.timing.charsPerSecond.size(); ++m)
                if (!mode || static_cast<std::size_t>(*mode) == m)
                    o.timing.charsPerSecond[m] = rate;
        } else if (auto e = identityOption(name, *v, id)) {
            return failed(*e);
        }
    }
    if (stations.empty())
        return failed("--link PATH (or --station LINK) is required");
    for (const auto& [plain, text] : stations) {
        StationOptions st{std::string(text), {}, id};
        if (!plain)
            if (auto e = stationEntry(text, st))
                return failed(*e);
        o.stations.push_back(std::move(st));
    }
    o.link = o.stations.front().link;
    return parsed;
}

} // namespace qd470sim
