// What the host has set in the modem: its operating mode and the settings of each mode, kept
// as the host's commands left them. Every setting has a key; its value is a readable text
// ("on", "REV", "1275,1445", a call sign in quotes) or "unset" before the host has sent it.
#pragma once

#include "sim/protocol.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qd470sim {

// The operating modes the modem can be put in.
enum class AirMode { None, Mirvol, Amtor, PMode, Baudot, Ascii };

std::string_view airModeName(AirMode mode);
// "MIRVOL", "AMTOR", "P-Mode", "Baudot", "ASCII" (any case), or nothing.
std::optional<AirMode> parseAirMode(std::string_view name);

class ModemSettings {
public:
    ModemSettings();

    // Takes in one whole host command; commands that set nothing leave everything as it was.
    // Returns true when the command set something.
    bool apply(const HostEvent& command);

    AirMode mode() const { return mode_; }
    void setMode(AirMode mode) { mode_ = mode; }

    // The value of `key`, or nothing for a key the modem does not keep.
    std::optional<std::string> value(std::string_view key) const;

    // The raw bytes of the call signs and texts the host set (empty before it set them).
    const Bytes& myCall() const { return myCall_; }
    const Bytes& myCall476() const { return myCall476_; }
    const Bytes& myCall625() const { return myCall625_; }
    const Bytes& groupCall() const { return groupCall_; }
    bool listening() const { return value("listen") == "on"; }
    bool syncIdle() const { return value("sync-idle") == "on"; }
    // The Baudot and ASCII rates in baud (45 until the host sets them).
    unsigned baudotBaud() const { return baudotBaud_; }
    unsigned asciiBaud() const { return asciiBaud_; }

    // Every key=value pair, blank-separated, in a fixed order beginning with mode=.
    std::string line() const;

private:
    void set(std::string_view key, std::string value);

    AirMode mode_ = AirMode::None;
    std::vector<std::pair<std::string, std::string>> values_;
    Bytes myCall_, myCall476_, myCall625_, groupCall_;
    unsigned baudotBaud_ = 45;
    unsigned asciiBaud_ = 45;
};

} // namespace qd470sim
