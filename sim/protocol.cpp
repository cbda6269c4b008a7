#include "sim/protocol.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace qd470sim {

namespace {

using F = ParamForm;

// The QD470's command set, by code. Codes missing here are unknown to the modem and are taken
// as commands without parameters.
constexpr std::array kCommands{
    CommandEntry{0x00, F::None, 0},       // firmware loader: DSP image type
    CommandEntry{0x01, F::None, 0},       // firmware loader: CPU image type
    CommandEntry{0x02, F::None, 0},       // firmware status query
    CommandEntry{0x04, F::None, 0},       // MIRVOL multi-tone test
    CommandEntry{0x05, F::None, 0},       // end sound-card transmission or tone test
    CommandEntry{0x07, F::None, 0},       // end of transmission
    CommandEntry{0x09, F::None, 0},       // modem reset
    CommandEntry{0x0A, F::None, 0},       // send CW identification now
    CommandEntry{0x0B, F::None, 0},       // MIRVOL single-tone test
    CommandEntry{0x0F, F::None, 0},       // firmware loader step
    CommandEntry{0x10, F::Text, 0},       // MIRVOL ARQ call, robust bias
    CommandEntry{0x11, F::Text, 0},       // MIRVOL ARQ call
    CommandEntry{0x12, F::Bytes, 1},      // start MIRVOL broadcast
    CommandEntry{0x13, F::Text, 0},       // own call sign
    CommandEntry{0x14, F::Bytes, 1},      // MIRVOL CQ call
    CommandEntry{0x15, F::Bytes, 1},      // answer MIRVOL CQ
    CommandEntry{0x16, F::Text, 0},       // AMTOR ARQ call, short selective call
    CommandEntry{0x17, F::Text, 0},       // AMTOR ARQ call, long selective call
    CommandEntry{0x18, F::Text, 0},       // AMTOR Mode S broadcast to a group
    CommandEntry{0x19, F::Text, 0},       // P-Mode call, short path
    CommandEntry{0x1A, F::Text, 0},       // P-Mode call, long path
    CommandEntry{0x1C, F::Bytes, 1},      // start P-Mode unproto broadcast
    CommandEntry{0x1D, F::Bytes, 1},      // start AMTOR Mode B broadcast
    CommandEntry{0x41, F::None, 0},       // set-up
    CommandEntry{0x44, F::None, 0},       // MIRVOL call type manual
    CommandEntry{0x45, F::None, 0},       // CW identification off
    CommandEntry{0x46, F::None, 0},       // set-up
    CommandEntry{0x48, F::None, 0},       // listen off
    CommandEntry{0x49, F::None, 0},       // set-up before a further file's header
    CommandEntry{0x4B, F::None, 0},       // transmit polarity reverse
    CommandEntry{0x4C, F::None, 0},       // receive polarity independent
    CommandEntry{0x4D, F::None, 0},       // set-up
    CommandEntry{0x51, F::None, 0},       // set-up
    CommandEntry{0x54, F::None, 0},       // MIRVOL call type adaptive
    CommandEntry{0x55, F::None, 0},       // CW identification on
    CommandEntry{0x56, F::None, 0},       // set-up
    CommandEntry{0x58, F::None, 0},       // listen on
    CommandEntry{0x59, F::None, 0},       // set-up
    CommandEntry{0x5A, F::None, 0},       // set-up
    CommandEntry{0x5B, F::None, 0},       // transmit polarity normal
    CommandEntry{0x5C, F::None, 0},       // receive polarity follows transmit
    CommandEntry{0x5D, F::None, 0},       // set-up
    CommandEntry{0x60, F::Bytes, 1},      // MIRVOL robust retries
    CommandEntry{0x61, F::Bytes, 1},      // MIRVOL normal retries
    CommandEntry{0x62, F::Bytes, 1},      // MIRVOL fail retries
    CommandEntry{0x63, F::Bytes, 1},      // MIRVOL audio channel
    CommandEntry{0x64, F::Bytes, 1},      // MIRVOL waveform
    CommandEntry{0x65, F::Bytes, 1},      // MIRVOL adaptive bias
    CommandEntry{0x67, F::Bytes, 1},      // scan control output
    CommandEntry{0x68, F::Bytes, 1},      // MIRVOL chat count
    CommandEntry{0x6A, F::Bytes, 1},      // firmware loader speed step
    CommandEntry{0x6C, F::Bytes, 1},      // audio gain
    CommandEntry{0x76, F::None, 0},       // DSP firmware version query
    CommandEntry{0x77, F::None, 0},       // CPU firmware version query
    CommandEntry{0x78, F::None, 0},       // boot ROM version query
    CommandEntry{0x7B, F::None, 0},       // product identity query
    CommandEntry{0x80, F::None, 0},       // select MIRVOL
    CommandEntry{0x81, F::None, 0},       // select AMTOR
    CommandEntry{0x82, F::None, 0},       // AMTOR CFEC broadcast
    CommandEntry{0x83, F::None, 0},       // select P-Mode
    CommandEntry{0x84, F::None, 0},       // set-up; firmware loader entry
    CommandEntry{0x85, F::None, 0},       // select Baudot RTTY
    CommandEntry{0x86, F::None, 0},       // select ASCII RTTY
    CommandEntry{0x87, F::None, 0},       // forced over
    CommandEntry{0x89, F::None, 0},       // force LTRS shift
    CommandEntry{0x8B, F::None, 0},       // MARK tone test
    CommandEntry{0x8C, F::None, 0},       // SPACE tone test
    CommandEntry{0x8D, F::None, 0},       // alternating MARK/SPACE test
    CommandEntry{0x8E, F::None, 0},       // RTTY idle while text waits
    CommandEntry{0x8F, F::None, 0},       // key for sound-card transmission
    CommandEntry{0x90, F::Text, 0},       // own AMTOR four-character selective call
    CommandEntry{0x91, F::Text, 0},       // own AMTOR seven-character selective call
    CommandEntry{0x92, F::Text, 0},       // AMTOR group call
    CommandEntry{0x94, F::AnswerBack, 0}, // AMTOR answer-back text
    CommandEntry{0xA0, F::None, 0},       // hardware version query
    CommandEntry{0xC0, F::None, 0},       // Baudot code US
    CommandEntry{0xC1, F::None, 0},       // RTTY sync idle off
    CommandEntry{0xC2, F::None, 0},       // AMTOR answer-back off
    CommandEntry{0xC3, F::None, 0},       // Baudot USOS off
    CommandEntry{0xC4, F::None, 0},       // AMTOR letter case upper
    CommandEntry{0xC9, F::None, 0},       // P-Mode Huffman compression on
    CommandEntry{0xCB, F::None, 0},       // FSK keying polarity reverse
    CommandEntry{0xCD, F::None, 0},       // wide shift off
    CommandEntry{0xD0, F::None, 0},       // Baudot code No2
    CommandEntry{0xD1, F::None, 0},       // RTTY sync idle on
    CommandEntry{0xD2, F::None, 0},       // AMTOR answer-back on
    CommandEntry{0xD3, F::None, 0},       // Baudot USOS on
    CommandEntry{0xD4, F::None, 0},       // AMTOR letter case lower
    CommandEntry{0xD9, F::None, 0},       // P-Mode Huffman compression off
    CommandEntry{0xDB, F::None, 0},       // FSK keying polarity normal
    CommandEntry{0xDD, F::None, 0},       // wide shift on
    CommandEntry{0xE0, F::Bytes, 1},      // AMTOR CD time
    CommandEntry{0xE1, F::Bytes, 1},      // AMTOR TD time
    CommandEntry{0xE3, F::Bytes, 1},      // RTTY PTT-on delay
    CommandEntry{0xE4, F::Bytes, 1},      // Baudot data rate
    CommandEntry{0xE5, F::Bytes, 1},      // ASCII data rate
    CommandEntry{0xE8, F::Bytes, 1},      // print squelch
    CommandEntry{0xE9, F::Bytes, 1},      // AMTOR time-out
    CommandEntry{0xEB, F::Bytes, 1},      // mode-dependent set-up parameter
    CommandEntry{0xEC, F::WordPair, 0},   // mark and space tones in Hz
    CommandEntry{0xED, F::Bytes, 1},      // RTTY PTT-off delay
    CommandEntry{0xEE, F::Bytes, 1},      // set-up
    CommandEntry{0xF0, F::Bytes, 1},      // P-Mode set-up parameter
    CommandEntry{0xF1, F::Bytes, 1},      // P-Mode CS delay
    CommandEntry{0xF2, F::Bytes, 1},      // P-Mode max up
    CommandEntry{0xF3, F::Bytes, 1},      // P-Mode max try
    CommandEntry{0xF4, F::Bytes, 1},      // P-Mode max down
    CommandEntry{0xF5, F::Bytes, 1},      // P-Mode max error
    CommandEntry{0xF6, F::Bytes, 1},      // P-Mode unproto data rate
    CommandEntry{0xF7, F::Bytes, 1},      // P-Mode FEC repeats
    CommandEntry{0xF8, F::Bytes, 1},      // P-Mode max ARQ sum
};

std::size_t parameterBytes(const CommandEntry& entry) {
    switch (entry.form) {
    case ParamForm::Bytes:
        return entry.byteCount;
    case ParamForm::WordPair:
        return 4;
    default:
        return 0;
    }
}

bool isTextForm(const CommandEntry& entry) {
    return entry.form == ParamForm::Text || entry.form == ParamForm::AnswerBack;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string hex4(std::uint8_t hi, std::uint8_t lo) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X%02X", hi, lo);
    return buf;
}

// The parameters of a command in their readable form.
std::string describeParameters(const HostEvent& event) {
    if (!event.entry)
        return hexBytes(event.data);
    switch (event.entry->form) {
    case ParamForm::Text:
    case ParamForm::AnswerBack:
        return quoted(event.data) + (event.truncated ? " (cut short)" : "");
    case ParamForm::WordPair:
        if (event.data.size() == 4) {
            const unsigned first = event.data[0] << 8 | event.data[1];
            const unsigned second = event.data[2] << 8 | event.data[3];
            return hex4(event.data[0], event.data[1]) + " " + hex4(event.data[2], event.data[3]) +
                   " (" + std::to_string(first) + ", " + std::to_string(second) + ")";
        }
        return hexBytes(event.data);
    default:
        return hexBytes(event.data);
    }
}

} // namespace

std::span<const CommandEntry> commandTable() {
    return kCommands;
}

const CommandEntry* findCommand(std::uint8_t code) {
    const auto it =
        std::lower_bound(kCommands.begin(), kCommands.end(), code,
                         [](const CommandEntry& s, std::uint8_t c) { return s.code < c; });
    return it != kCommands.end() && it->code == code ? &*it : nullptr;
}

std::vector<HostEvent> HostParser::feed(std::span<const std::uint8_t> bytes) {
    std::vector<HostEvent> out;
    for (const std::uint8_t b : bytes)
        step(b, out);
    flushText(out);
    return out;
}

void HostParser::flushText(std::vector<HostEvent>& out) {
    if (text_.empty())
        return;
    HostEvent e;
    e.kind = HostEvent::Kind::Text;
    e.data = std::move(text_);
    text_.clear();
    out.push_back(std::move(e));
}

void HostParser::finishCommand(std::vector<HostEvent>& out) {
    out.push_back(std::move(current_));
    current_ = HostEvent{};
    state_ = State::Idle;
}

void HostParser::step(std::uint8_t b, std::vector<HostEvent>& out) {
    switch (state_) {
    case State::Idle:
        if (b == kCommandPrefix) {
            flushText(out);
            state_ = State::Prefix;
        } else if (b == kLiteralPrefix) {
            state_ = State::Literal;
        } else {
            text_.push_back(b);
        }
        return;
    case State::Literal:
        state_ = State::Idle;
        if (b == kPanicByte) {
            flushText(out);
            HostEvent e;
            e.kind = HostEvent::Kind::Panic;
            out.push_back(std::move(e));
            return;
        }
        text_.push_back(b);
        return;
    case State::Prefix:
        current_ = HostEvent{};
        current_.code = b;
        current_.entry = findCommand(b);
        if (!current_.entry || current_.entry->form == ParamForm::None)
            finishCommand(out);
        else
            state_ = State::ParamPrefix;
        return;
    case State::ParamPrefix:
        if (b == kCommandPrefix) {
            state_ = State::ParamByte;
            return;
        }
        // A byte without its prefix cannot belong to the command: the command was cut off and
        // the byte is read afresh as what it is on its own.
        current_.kind = HostEvent::Kind::Incomplete;
        current_.cutOffBy = b;
        finishCommand(out);
        step(b, out);
        return;
    case State::ParamByte:
        if (isTextForm(*current_.entry)) {
            if (b == 0x00) {
                finishCommand(out);
                return;
            }
            if (current_.data.size() < kMaxTextParameter)
                current_.data.push_back(b);
            else
                current_.truncated = true;
        } else {
            current_.data.push_back(b);
            if (current_.data.size() == parameterBytes(*current_.entry)) {
                finishCommand(out);
                return;
            }
        }
        state_ = State::ParamPrefix;
        return;
    }
}

std::string describe(const HostEvent& event) {
    switch (event.kind) {
    case HostEvent::Kind::Text:
        return "text " + quoted(event.data);
    case HostEvent::Kind::Panic:
        return "panic 81 06";
    case HostEvent::Kind::Incomplete: {
        std::string s = "error: incomplete command 80 " + hexBytes({&event.code, 1});
        if (!event.data.empty() || (event.entry && isTextForm(*event.entry)))
            s += " " + describeParameters(event);
        return s + ", cut off by " + hexBytes({&event.cutOffBy, 1});
    }
    case HostEvent::Kind::Command:
        break;
    }
    std::string s = "80 " + hexBytes({&event.code, 1});
    if (!event.entry)
        return s + " (unknown command)";
    if (event.entry->form != ParamForm::None)
        s += " " + describeParameters(event);
    return s;
}

void ModemEncoder::put(std::uint8_t byte, Bytes& out) const {
    if (escapeMode && (byte == kXon || byte == kXoff || byte == kEscape)) {
        out.push_back(kEscape);
        out.push_back(byte | 0x20);
    } else {
        out.push_back(byte);
    }
}

void ModemEncoder::status(std::uint8_t code, Bytes& out) const {
    out.push_back(kCommandPrefix);
    put(code, out);
}

void ModemEncoder::text(std::uint8_t byte, Bytes& out) const {
    if (byte == kCommandPrefix || byte == kLiteralPrefix)
        out.push_back(kLiteralPrefix);
    put(byte, out);
}

bool ModemEncoder::flow(bool xon, Bytes& out) const {
    if (!escapeMode)
        return false;
    out.push_back(xon ? kXon : kXoff);
    return true;
}

std::optional<AnswerForm> parseAnswerForm(std::string_view name) {
    if (name == "status")
        return AnswerForm::Status;
    if (name == "text")
        return AnswerForm::Text;
    if (name == "mixed")
        return AnswerForm::Mixed;
    return std::nullopt;
}

std::string_view answerFormName(AnswerForm form) {
    switch (form) {
    case AnswerForm::Status:
        return "status";
    case AnswerForm::Text:
        return "text";
    case AnswerForm::Mixed:
        return "mixed";
    }
    return "status";
}

void encodeAnswer(const ModemEncoder& encoder, AnswerForm form, std::uint8_t code,
                  std::span<const std::uint8_t> payload, Bytes& out) {
    if (form == AnswerForm::Text)
        encoder.text(code, out);
    else
        encoder.status(code, out);
    for (const std::uint8_t b : payload) {
        if (form == AnswerForm::Status)
            encoder.status(b, out);
        else
            encoder.text(b, out);
    }
}

std::string hexBytes(std::span<const std::uint8_t> bytes) {
    std::string s;
    s.reserve(bytes.size() * 3);
    char buf[4];
    for (const std::uint8_t b : bytes) {
        if (!s.empty())
            s += ' ';
        std::snprintf(buf, sizeof buf, "%02X", b);
        s += buf;
    }
    return s;
}

std::string quoted(std::span<const std::uint8_t> bytes) {
    std::string s = "\"";
    char buf[8];
    for (const std::uint8_t b : bytes) {
        switch (b) {
        case '"':
            s += "\\\"";
            break;
        case '\\':
            s += "\\\\";
            break;
        case '\r':
            s += "\\r";
            break;
        case '\n':
            s += "\\n";
            break;
        case '\t':
            s += "\\t";
            break;
        default:
            if (b >= 0x20 && b < 0x7F) {
                s += static_cast<char>(b);
            } else {
                std::snprintf(buf, sizeof buf, "\\x%02X", b);
                s += buf;
            }
        }
    }
    return s + "\"";
}

std::optional<Bytes> unescape(std::string_view text, std::string& error) {
    Bytes out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\') {
            out.push_back(static_cast<std::uint8_t>(c));
            continue;
        }
        if (++i == text.size()) {
            error = "a backslash ends the text";
            return std::nullopt;
        }
        switch (text[i]) {
        case 'r':
            out.push_back('\r');
            break;
        case 'n':
            out.push_back('\n');
            break;
        case 't':
            out.push_back('\t');
            break;
        case '\\':
            out.push_back('\\');
            break;
        case '"':
            out.push_back('"');
            break;
        case 'x': {
            const int hi = i + 1 < text.size() ? hexDigit(text[i + 1]) : -1;
            const int lo = i + 2 < text.size() ? hexDigit(text[i + 2]) : -1;
            if (hi < 0 || lo < 0) {
                error = "\\x needs two hexadecimal digits";
                return std::nullopt;
            }
            out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
            i += 2;
            break;
        }
        default:
            error = std::string("unknown escape \\") + text[i];
            return std::nullopt;
        }
    }
    return out;
}

std::optional<std::uint8_t> parseHexByte(std::string_view token) {
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X'))
        token.remove_prefix(2);
    if (token.empty() || token.size() > 2)
        return std::nullopt;
    int value = 0;
    for (const char c : token) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        value = value << 4 | d;
    }
    return static_cast<std::uint8_t>(value);
}

} // namespace qd470sim
