#include "sim/control.h"

#include <fstream>
#include <vector>

namespace qd470sim {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

ControlReply error(std::string text) {
    return {"error: " + text, false};
}

ControlReply sent(const Bytes& bytes) {
    return {"ok sent " + hexBytes(bytes), false};
}

// Hexadecimal bytes from `args`, or an error naming the first that is not one.
std::optional<Bytes> hexArguments(std::span<const std::string_view> args, std::string& bad) {
    Bytes out;
    for (const std::string_view a : args) {
        const auto b = parseHexByte(a);
        if (!b) {
            bad = a;
            return std::nullopt;
        }
        out.push_back(*b);
    }
    return out;
}

std::optional<bool> onOffArgument(const std::vector<std::string_view>& w) {
    if (w.size() != 2)
        return std::nullopt;
    if (w[1] == "on")
        return true;
    if (w[1] == "off")
        return false;
    return std::nullopt;
}

} // namespace

std::string_view controlHelp() {
    return "ok commands: [station N] send HEX... | status CODE [PAYLOAD...] | text STRING | "
           "silent on|off | escape on|off | xon | xoff | state | settings | air | lose | "
           "quality 0..100 | air-rate MODE|all CPS | "
           "download [success|fail|erase-fail|no-verdict] | image PATH | help | quit";
}

ControlReply runControl(Modem& modem, std::string_view line) {
    while (!line.empty() && isBlank(line.back()))
        line.remove_suffix(1);
    const auto w = words(line);
    if (w.empty())
        return {};
    const std::string_view cmd = w[0];
    const std::span<const std::string_view> args(w.data() + 1, w.size() - 1);

    if (cmd == "send" || cmd == "status") {
        if (args.empty())
            return error(cmd == "send" ? "send needs at least one hexadecimal byte"
                                       : "status needs a status code");
        std::string bad;
        const auto bytes = hexArguments(args, bad);
        if (!bytes)
            return error("'" + bad + "' is not a hexadecimal byte (00 to FF)");
        if (cmd == "send")
            return sent(modem.sendRaw(*bytes));
        return sent(modem.sendStatus(bytes->front(), Bytes(bytes->begin() + 1, bytes->end())));
    }
    if (cmd == "text") {
        // Everything after "text " is the text, blanks included.
        const std::size_t start = line.find(cmd) + cmd.size() + 1;
        if (start >= line.size())
            return error("text needs a string");
        std::string why;
        const auto bytes = unescape(line.substr(start), why);
        if (!bytes)
            return error(why);
        return sent(modem.sendText(*bytes));
    }
    if (cmd == "silent" || cmd == "escape") {
        const auto on = onOffArgument(w);
        if (!on)
            return error(std::string(cmd) + " needs on or off");
        if (cmd == "silent")
            modem.setSilent(*on);
        else
            modem.setEscapeMode(*on);
        return {"ok " + std::string(cmd) + (*on ? " on" : " off"), false};
    }
    if (cmd == "xon" || cmd == "xoff") {
        const auto bytes = modem.sendFlow(cmd == "xon");
        if (!bytes)
            return error(std::string(cmd) +
                         " needs escape mode (hardware 800A or 800B after the identification, "
                         "or 'escape on'); outside it the byte would be data");
        return sent(*bytes);
    }
    if (cmd == "download") {
        if (w.size() == 2) {
            const auto outcome = parseDownloadOutcome(w[1]);
            if (!outcome)
                return error("download needs success, fail, erase-fail or no-verdict");
            modem.download().setOutcome(*outcome);
        } else if (w.size() > 2) {
            return error("download takes at most one word");
        }
        return {"ok download " + modem.download().stateLine() +
                    " speed-errors=" + std::to_string(modem.speedErrors()),
                false};
    }
    if (cmd == "image") {
        // Everything after "image " is the path, blanks included.
        const std::size_t start = line.find(cmd) + cmd.size() + 1;
        if (start >= line.size())
            return error("image needs a file to write the last firmware image to");
        const std::string path(line.substr(start));
        const Bytes& image = modem.download().image();
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
        file.close();
        if (!file)
            return error("cannot write " + path);
        return {"ok image " + std::to_string(image.size()) + " bytes written to " + path, false};
    }
    if (cmd == "state")
        return {"ok " + modem.stateLine(), false};
    if (cmd == "settings")
        return {"ok " + modem.settingsLine(), false};
    if (cmd == "help")
        return {std::string(controlHelp()), false};
    if (cmd == "quit")
        return {"ok bye", true};
    return error("unknown command '" + std::string(cmd) + "' (try 'help')");
}

namespace {

std::optional<long> parseNumber(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    long v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

} // namespace

ControlReply runControl(Channel& channel, std::size_t defaultStation, std::string_view line) {
    while (!line.empty() && isBlank(line.back()))
        line.remove_suffix(1);
    while (!line.empty() && isBlank(line.front()))
        line.remove_prefix(1);
    std::size_t station = defaultStation;
    auto w = words(line);
    if (!w.empty() && w[0] == "station") {
        const auto n = w.size() > 1 ? parseNumber(w[1]) : std::nullopt;
        if (!n || *n < 1 || static_cast<std::size_t>(*n) > channel.stationCount())
            return error("station needs a number from 1 to " +
                         std::to_string(channel.stationCount()) + " and a command");
        station = static_cast<std::size_t>(*n - 1);
        // The rest of the line, as typed, after the station number.
        line.remove_prefix(line.find(w[1]) + w[1].size());
        w = words(line);
        if (w.empty())
            return error("station " + std::to_string(*n) + " needs a command");
    }
    if (w.empty())
        return {};
    const std::string_view cmd = w[0];
    std::string why;
    if (cmd == "air")
        return {"ok " + channel.airLine(station), false};
    if (cmd == "lose") {
        if (!channel.loseLink(station, why))
            return error(why);
        return {"ok link lost", false};
    }
    if (cmd == "quality") {
        const auto q = w.size() == 2 ? parseNumber(w[1]) : std::nullopt;
        if (!q || *q > 100)
            return error("quality needs a number from 0 to 100");
        if (!channel.setQuality(station, static_cast<int>(*q), why))
            return error(why);
        return {"ok quality " + std::to_string(*q), false};
    }
    if (cmd == "air-rate") {
        const auto cps = w.size() == 3 ? parseNumber(w[2]) : std::nullopt;
        const auto mode = w.size() == 3 ? parseAirMode(w[1]) : std::nullopt;
        if (!cps || *cps < 1 || (!mode && w[1] != "all"))
            return error("air-rate needs MIRVOL, AMTOR, P-Mode, Baudot, ASCII or all, and "
                         "characters a second from 1");
        channel.setRate(mode, static_cast<double>(*cps));
        return {"ok air-rate " + std::string(w[1]) + " " + std::to_string(*cps), false};
    }
    return runControl(channel.modem(station), line);
}

} // namespace qd470sim
