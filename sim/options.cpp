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

Simulates a QD470 HF radio data modem on a pseudo-terminal. PATH becomes a symbolic
link to the terminal's device, for example HOME/Config/COM1 of a Tarvis station, and
the simulator answers the host's start-up exchange on it. Every host command is
logged on one line with a time stamp, e.g. 12:00:01.234 80 13 "MYCALL"; text for
the air as 'text "HELLO\r"', bytes sent to the host as 'sent 80 02 80 0A'.

Options:
  --link PATH               where the device link is made (required); an existing
                            symbolic link there is replaced, any other file is not
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
  --no-stdin                do not read control commands from standard input
  --help                    show this text

Control commands (one a line on standard input, when it is a terminal, pipe or
socket, or on the --control socket; each is answered "ok ..." or "error: ..."):
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
  help                      list the commands
  quit                      end the simulator

The end of standard input stops only its reading. The link (and the socket) are
removed on quit, SIGINT, SIGTERM and SIGHUP.
Exit status: 0 on a normal end, 1 when the terminal, link, log or socket cannot be
set up, 2 for a bad command line.
)";
}

ParsedOptions parseOptions(std::span<const std::string_view> args) {
    ParsedOptions parsed;
    Options& o = parsed.options;
    ModemIdentity& id = o.identity;

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
        const bool known = arg == "--link" || arg == "--log" || arg == "--control" ||
                           arg == "--firmware-status" || arg == "--dsp-version" ||
                           arg == "--cpu-version" || arg == "--boot-version" ||
                           arg == "--product-id" || arg == "--hardware" || arg == "--answers";
        if (!known)
            return failed("unknown option '" + std::string(args[i]) + "'");
        const auto v = value();
        if (!v)
            return failed(std::string(arg) + " needs a value");

        if (arg == "--link" || arg == "--log" || arg == "--control") {
            if (v->empty())
                return failed(std::string(arg) + " needs a non-empty value");
            (arg == "--link" ? o.link : arg == "--log" ? o.log : o.control) = std::string(*v);
        } else if (arg == "--firmware-status") {
            if (*v == "none") {
                id.firmwareStatus.reset();
            } else if (const auto b = parseHexByte(*v)) {
                id.firmwareStatus = *b;
            } else {
                return failed(badValue(arg, *v, "a hexadecimal byte such as 0A, or none"));
            }
        } else if (arg == "--dsp-version" || arg == "--cpu-version" || arg == "--boot-version") {
            const auto ver = parseVersion(*v);
            if (!ver)
                return failed(badValue(arg, *v, "MAJ.MIN with each number from 0 to 127"));
            (arg == "--dsp-version" ? id.dsp : arg == "--cpu-version" ? id.cpu : id.boot) = *ver;
        } else if (arg == "--product-id" || arg == "--hardware") {
            const auto h = parseHex4(*v);
            if (!h)
                return failed(badValue(arg, *v, "four hexadecimal digits such as 800A"));
            (arg == "--product-id" ? id.productId : id.hardware) = *h;
        } else if (arg == "--answers") {
            const auto form = parseAnswerForm(*v);
            if (!form)
                return failed(badValue(arg, *v, "status, text or mixed"));
            id.answers = *form;
        }
    }
    if (o.link.empty())
        return failed("--link PATH is required");
    return parsed;
}

} // namespace qd470sim
