#include "sim/settings.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace qd470sim {

namespace {

// Commands without parameters that set one key to one value.
struct Switch {
    std::uint8_t code;
    const char* key;
    const char* value;
};

constexpr std::array kSwitches{
    Switch{0x44, "call-type", "manual"},
    Switch{0x54, "call-type", "adaptive"},
    Switch{0x45, "cw-id", "off"},
    Switch{0x55, "cw-id", "on"},
    Switch{0x48, "listen", "off"},
    Switch{0x58, "listen", "on"},
    Switch{0x4B, "tx-polarity", "REV"},
    Switch{0x5B, "tx-polarity", "NORM"},
    Switch{0x4C, "rx-polarity", "independent"},
    Switch{0x5C, "rx-polarity", "follows"},
    Switch{0xC0, "baudot-code", "US"},
    Switch{0xD0, "baudot-code", "No2"},
    Switch{0xC1, "sync-idle", "off"},
    Switch{0xD1, "sync-idle", "on"},
    Switch{0xC2, "answerback", "off"},
    Switch{0xD2, "answerback", "on"},
    Switch{0xC3, "usos", "off"},
    Switch{0xD3, "usos", "on"},
    Switch{0xC4, "letter-case", "upper"},
    Switch{0xD4, "letter-case", "lower"},
    Switch{0xC9, "huffman", "on"},
    Switch{0xD9, "huffman", "off"},
    Switch{0xCB, "fsk-polarity", "REV"},
    Switch{0xDB, "fsk-polarity", "NORM"},
    Switch{0xCD, "wide-shift", "off"},
    Switch{0xDD, "wide-shift", "on"},
};

// How the byte of a one-byte command reads.
enum class ByteMeaning { Decimal, Bias, Waveform, ScanControl, RttyRate, UnprotoRate };

struct ByteSetting {
    std::uint8_t code;
    const char* key;
    ByteMeaning meaning;
};

constexpr std::array kByteSettings{
    ByteSetting{0x60, "robust-retries", ByteMeaning::Decimal},
    ByteSetting{0x61, "normal-retries", ByteMeaning::Decimal},
    ByteSetting{0x62, "fail-retries", ByteMeaning::Decimal},
    ByteSetting{0x63, "af-channel", ByteMeaning::Decimal},
    ByteSetting{0x64, "waveform", ByteMeaning::Waveform},
    ByteSetting{0x65, "bias", ByteMeaning::Bias},
    ByteSetting{0x67, "scan-control", ByteMeaning::ScanControl},
    ByteSetting{0x68, "chat-count", ByteMeaning::Decimal},
    ByteSetting{0xE0, "amtor-cd", ByteMeaning::Decimal},
    ByteSetting{0xE1, "amtor-td", ByteMeaning::Decimal},
    ByteSetting{0xE3, "ptt-on", ByteMeaning::Decimal},
    ByteSetting{0xE4, "baudot-rate", ByteMeaning::RttyRate},
    ByteSetting{0xE5, "ascii-rate", ByteMeaning::RttyRate},
    ByteSetting{0xE8, "print-squelch", ByteMeaning::Decimal},
    ByteSetting{0xE9, "amtor-timeout", ByteMeaning::Decimal},
    ByteSetting{0xEB, "setup-eb", ByteMeaning::Decimal},
    ByteSetting{0xED, "ptt-off", ByteMeaning::Decimal},
    ByteSetting{0xEE, "setup-ee", ByteMeaning::Decimal},
    ByteSetting{0xF0, "setup-f0", ByteMeaning::Decimal},
    ByteSetting{0xF1, "pmode-cs-delay", ByteMeaning::Decimal},
    ByteSetting{0xF2, "pmode-max-up", ByteMeaning::Decimal},
    ByteSetting{0xF3, "pmode-max-try", ByteMeaning::Decimal},
    ByteSetting{0xF4, "pmode-max-down", ByteMeaning::Decimal},
    ByteSetting{0xF5, "pmode-max-error", ByteMeaning::Decimal},
    ByteSetting{0xF6, "unproto-rate", ByteMeaning::UnprotoRate},
    ByteSetting{0xF7, "pmode-fec-repeats", ByteMeaning::Decimal},
    ByteSetting{0xF8, "pmode-max-arq-sum", ByteMeaning::Decimal},
};

// Every key in the order `line` prints them. The gains are split by the code's range.
constexpr std::array kKeys{
    "mycall",
    "mycall476",
    "mycall625",
    "groupcall",
    "answerback-text",
    "listen",
    "cw-id",
    "call-type",
    "tx-polarity",
    "rx-polarity",
    "fsk-polarity",
    "rx-gain",
    "tx-gain",
    "tones",
    "af-channel",
    "waveform",
    "bias",
    "robust-retries",
    "normal-retries",
    "fail-retries",
    "chat-count",
    "scan-control",
    "amtor-cd",
    "amtor-td",
    "amtor-timeout",
    "answerback",
    "letter-case",
    "huffman",
    "pmode-cs-delay",
    "pmode-max-up",
    "pmode-max-try",
    "pmode-max-down",
    "pmode-max-error",
    "pmode-fec-repeats",
    "pmode-max-arq-sum",
    "unproto-rate",
    "baudot-rate",
    "ascii-rate",
    "baudot-code",
    "usos",
    "sync-idle",
    "wide-shift",
    "ptt-on",
    "ptt-off",
    "print-squelch",
    "setup-eb",
    "setup-ee",
    "setup-f0",
};

constexpr std::array<unsigned, 6> kRttyBaud{45, 50, 57, 75, 100, 110};

std::string waveformName(std::uint8_t code) {
    switch (code) {
    case 0x99:
        return "BPSM";
    case 0x9D:
        return "QPSM";
    case 0xE1:
        return "8PSM";
    case 0xE5:
        return "8P2A";
    case 0xE9:
        return "16PSM";
    case 0xED:
        return "16P4A";
    case 0x55:
        return "2DPSM";
    default:
        return "code-" + hexBytes({&code, 1});
    }
}

std::string byteValue(ByteMeaning meaning, std::uint8_t b) {
    switch (meaning) {
    case ByteMeaning::Decimal:
        return std::to_string(b);
    case ByteMeaning::Bias: {
        static constexpr std::array names{"ROBUST", "NORMAL", "FAST", "FASTEST"};
        return b < names.size() ? names[b] : "code-" + hexBytes({&b, 1});
    }
    case ByteMeaning::Waveform:
        return waveformName(b);
    case ByteMeaning::ScanControl:
        return b == 0 ? "CONT" : b == 1 ? "PULSE" : "code-" + hexBytes({&b, 1});
    case ByteMeaning::RttyRate:
        return b < kRttyBaud.size() ? std::to_string(kRttyBaud[b]) : "code-" + hexBytes({&b, 1});
    case ByteMeaning::UnprotoRate:
        return b == 0 ? "100" : b == 1 ? "200" : "code-" + hexBytes({&b, 1});
    }
    return std::to_string(b);
}

std::optional<AirMode> modeSelectedBy(std::uint8_t code) {
    switch (code) {
    case 0x80:
        return AirMode::Mirvol;
    case 0x81:
        return AirMode::Amtor;
    case 0x83:
        return AirMode::PMode;
    case 0x85:
        return AirMode::Baudot;
    case 0x86:
        return AirMode::Ascii;
    default:
        return std::nullopt;
    }
}

} // namespace

std::string_view airModeName(AirMode mode) {
    switch (mode) {
    case AirMode::None:
        return "none";
    case AirMode::Mirvol:
        return "MIRVOL";
    case AirMode::Amtor:
        return "AMTOR";
    case AirMode::PMode:
        return "P-Mode";
    case AirMode::Baudot:
        return "Baudot";
    case AirMode::Ascii:
        return "ASCII";
    }
    return "none";
}

std::optional<AirMode> parseAirMode(std::string_view name) {
    std::string lower;
    for (const char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const AirMode m :
         {AirMode::Mirvol, AirMode::Amtor, AirMode::PMode, AirMode::Baudot, AirMode::Ascii}) {
        std::string n;
        for (const char c : airModeName(m))
            n += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (n == lower)
            return m;
    }
    return std::nullopt;
}

ModemSettings::ModemSettings() {
    for (const char* key : kKeys)
        values_.emplace_back(key, "unset");
}

void ModemSettings::set(std::string_view key, std::string value) {
    for (auto& [k, v] : values_)
        if (k == key) {
            v = std::move(value);
            return;
        }
}

std::optional<std::string> ModemSettings::value(std::string_view key) const {
    if (key == "mode")
        return std::string(airModeName(mode_));
    for (const auto& [k, v] : values_)
        if (k == key)
            return v;
    return std::nullopt;
}

bool ModemSettings::apply(const HostEvent& command) {
    if (command.kind != HostEvent::Kind::Command)
        return false;
    const std::uint8_t code = command.code;
    if (const auto mode = modeSelectedBy(code)) {
        mode_ = *mode;
        return true;
    }
    for (const Switch& s : kSwitches)
        if (s.code == code) {
            set(s.key, s.value);
            return true;
        }
    const Bytes& d = command.data;
    for (const ByteSetting& s : kByteSettings)
        if (s.code == code && d.size() == 1) {
            set(s.key, byteValue(s.meaning, d[0]));
            if (code == 0xE4 && d[0] < kRttyBaud.size())
                baudotBaud_ = kRttyBaud[d[0]];
            if (code == 0xE5 && d[0] < kRttyBaud.size())
                asciiBaud_ = kRttyBaud[d[0]];
            return true;
        }
    switch (code) {
    case 0x13:
        myCall_ = d;
        set("mycall", quoted(d));
        return true;
    case 0x90:
        myCall476_ = d;
        set("mycall476", quoted(d));
        return true;
    case 0x91:
        myCall625_ = d;
        set("mycall625", quoted(d));
        return true;
    case 0x92:
        groupCall_ = d;
        set("groupcall", quoted(d));
        return true;
    case 0x94:
        set("answerback-text", quoted(d));
        return true;
    case 0x6C:
        // One command carries both gains; the code's range says which.
        if (d.size() != 1)
            return false;
        if (d[0] >= 32 && d[0] <= 40)
            set("tx-gain", std::to_string(d[0]));
        else
            set("rx-gain", std::to_string(d[0]));
        return true;
    case 0xEC:
        if (d.size() != 4)
            return false;
        set("tones", std::to_string(d[0] << 8 | d[1]) + "," + std::to_string(d[2] << 8 | d[3]));
        return true;
    default:
        return false;
    }
}

std::string ModemSettings::line() const {
    std::string s = "mode=" + std::string(airModeName(mode_));
    for (const auto& [k, v] : values_)
        s += " " + k + "=" + v;
    return s;
}

} // namespace qd470sim
