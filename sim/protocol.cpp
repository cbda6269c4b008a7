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
    CommandSpec{0x00, F::None, 0},       // firmware loader: DSP image type
    CommandSpec{0x01, F::None, 0},       // firmware loader: CPU image type
    CommandSpec{0x02, F::None, 0},       // firmware status query
    CommandSpec{0x04, F::None, 0},       // MIRVOL multi-tone test
    CommandSpec{0x05, F::None, 0},       // end sound-card transmission or tone test
    CommandSpec{0x07, F::None, 0},       // end of transmission
    CommandSpec{0x09, F::None, 0},       // modem reset
    CommandSpec{0x0A, F::None, 0},       // send CW identification now
    CommandSpec{0x0B, F::None, 0},       // MIRVOL single-tone test
    CommandSpec{0x0F, F::None, 0},       // firmware loader step
    CommandSpec{0x10, F::Text, 0},       // MIRVOL ARQ call, robust bias
    CommandSpec{0x11, F::Text, 0},       // MIRVOL ARQ call
    CommandSpec{0x12, F::Bytes, 1},      // start MIRVOL broadcast
    CommandSpec{0x13, F::Text, 0},       // own call sign
    CommandSpec{0x14, F::Bytes, 1},      // MIRVOL CQ call
    CommandSpec{0x15, F::Bytes, 1},      // answer MIRVOL CQ
    CommandSpec{0x16, F::Text, 0},       // AMTOR ARQ call, short selective call
    CommandSpec{0x17, F::Text, 0},       // AMTOR ARQ call, long selective call
    CommandSpec{0x18, F::Text, 0},       // AMTOR Mode S broadcast to a group
    CommandSpec{0x19, F::Text, 0},       // P-Mode call, short path
    CommandSpec{0x1A, F::Text, 0},       // P-Mode call, long path
    CommandSpec{0x1C, F::Bytes, 1},      // start P-Mode unproto broadcast
    CommandSpec{0x1D, F::Bytes, 1},      // start AMTOR Mode B broadcast
    CommandSpec{0x41, F::None, 0},       // set-up
    CommandSpec{0x44, F::None, 0},       // MIRVOL call type manual
    CommandSpec{0x45, F::None, 0},       // CW identification off
    CommandSpec{0x46, F::None, 0},       // set-up
    CommandSpec{0x48, F::None, 0},       // listen off
    CommandSpec{0x49, F::None, 0},       // set-up before a further file's header
    CommandSpec{0x4B, F::None, 0},       // transmit polarity reverse
    CommandSpec{0x4C, F::None, 0},       // receive polarity independent
    CommandSpec{0x4D, F::None, 0},       // set-up
    CommandSpec{0x51, F::None, 0},       // set-up
    CommandSpec{0x54, F::None, 0},       // MIRVOL call type adaptive
    CommandSpec{0x55, F::None, 0},       // CW identification on
    CommandSpec{0x56, F::None, 0},       // set-up
    CommandSpec{0x58, F::None, 0},       // listen on
    CommandSpec{0x59, F::None, 0},       // set-up
    CommandSpec{0x5A, F::None, 0},       // set-up
    CommandSpec{0x5B, F::None, 0},       // transmit polarity normal
    CommandSpec{0x5C, F::None, 0},       // receive polarity follows transmit
    CommandSpec{0x5D, F::None, 0},       // set-up
    CommandSpec{0x60, F::Bytes, 1},      // MIRVOL robust retries
    CommandSpec{0x61, F::Bytes, 1},      // MIRVOL normal retries
    CommandSpec{0x62, F::Bytes, 1},      // MIRVOL fail retries
    CommandSpec{0x63, F::Bytes, 1},      // MIRVOL audio channel
    CommandSpec{0x64, F::Bytes, 1},      // MIRVOL waveform
    CommandSpec{0x65, F::Bytes, 1},      // MIRVOL adaptive bias
    CommandSpec{0x67, F::Bytes, 1},      // scan control output
    CommandSpec{0x68, F::Bytes, 1},      // MIRVOL chat count
    CommandSpec{0x6A, F::Bytes, 1},      // firmware loader speed step
    CommandSpec{0x6C, F::Bytes, 1},      // audio gain
    CommandSpec{0x76, F::None, 0},       // DSP firmware version query
    CommandSpec{0x77, F::None, 0},       // CPU firmware version query
    CommandSpec{0x78, F::None, 0},       // boot ROM version query
    CommandSpec{0x7B, F::None, 0},       // product identity query
    CommandSpec{0x80, F::None, 0},       // select MIRVOL
    CommandSpec{0x81, F::None, 0},       // select AMTOR
    CommandSpec{0x82, F::None, 0},       // AMTOR CFEC broadcast
    CommandSpec{0x83, F::None, 0},       // select P-Mode
    CommandSpec{0x84, F::None, 0},       // set-up; firmware loader entry
    CommandSpec{0x85, F::None, 0},       // select Baudot RTTY
    CommandSpec{0x86, F::None, 0},       // select ASCII RTTY
    CommandSpec{0x87, F::None, 0},       // forced over
    CommandSpec{0x89, F::None, 0},       // force LTRS shift
    CommandSpec{0x8B, F::None, 0},       // MARK tone test
    CommandSpec{0x8C, F::None, 0},       // SPACE tone test
    CommandSpec{0x8D, F::None, 0},       // alternating MARK/SPACE test
    CommandSpec{0x8E, F::None, 0},       // RTTY idle while text waits
    CommandSpec{0x8F, F::None, 0},       // key for sound-card transmission
    CommandSpec{0x90, F::Text, 0},       // own AMTOR four-character selective call
    CommandSpec{0x91, F::Text, 0},       // own AMTOR seven-character selective call
    CommandSpec{0x92, F::Text, 0},       // AMTOR group call
    CommandSpec{0x94, F::AnswerBack, 0}, // AMTOR answer-back text
    CommandSpec{0xA0, F::None, 0},       // hardware version query
    CommandSpec{0xC0, F::None, 0},       // Baudot code US
    CommandSpec{0xC1, F::None, 0},       // RTTY sync idle off
    CommandSpec{0xC2, F::None, 0},       // AMTOR answer-back off
    CommandSpec{0xC3, F::None, 0},       // Baudot USOS off
    CommandSpec{0xC4, F::None, 0},       // AMTOR letter case upper
    CommandSpec{0xC9, F::None, 0},       // P-Mode Huffman compression on
    CommandSpec{0xCB, F::None, 0},       // FSK keying polarity reverse
    CommandSpec{0xCD, F::None, 0},       // wide shift off
    CommandSpec{0xD0, F::None, 0},       // Baudot code No2
    CommandSpec{0xD1, F::None, 0},       // RTTY sync idle on
    CommandSpec{0xD2, F::None, 0},       // AMTOR answer-back on
    CommandSpec{0xD3, F::None, 0},       // Baudot USOS on
    CommandSpec{0xD4, F::None, 0},       // AMTOR letter case lower
    CommandSpec{0xD9, F::None, 0},       // P-Mode Huffman compression off
    CommandSpec{0xDB, F::None, 0},       // FSK keying polarity normal
    CommandSpec{0xDD, F::None, 0},       // wide shift on
    CommandSpec{0xE0, F::Bytes, 1},      // AMTOR CD time
    CommandSpec{0xE1, F::Bytes, 1},      // AMTOR TD time
    CommandSpec{0xE3, F::Bytes, 1},      // RTTY PTT-on delay
    CommandSpec{0xE4, F::Bytes, 1},      // Baudot data rate
    CommandSpec{0xE5, F::Bytes, 1},      // ASCII data rate
    CommandSpec{0xE8, F::Bytes, 1},      // print squelch
    CommandSpec{0xE9, F::Bytes, 1},      // AMTOR time-out
    CommandSpec{0xEB, F::Bytes, 1},      // mode-dependent set-up parameter
    CommandSpec{0xEC, F::WordPair, 0},   // mark and space tones in Hz
    CommandSpec{0xED, F::Bytes, 1},      // RTTY PTT-off delay
    CommandSpec{0xEE, F::Bytes, 1},      // set-up
    CommandSpec{0xF0, F::Bytes, 1},      // P-Mode set-up parameter
    CommandSpec{0xF1, F::Bytes, 1},      // P-Mode CS delay
    CommandSpec{0xF2, F::Bytes, 1},      // P-Mode max up
    CommandSpec{0xF3, F::Bytes, 1},      // P-Mode max try
    CommandSpec{0xF4, F::Bytes, 1},      // P-Mode max down
    CommandSpec{0xF5, F::Bytes, 1},      // P-Mode max error
    CommandSpec{0xF6, F::Bytes, 1},      // P-Mode unproto data rate
    CommandSpec{0xF7, F::Bytes, 1},      // P-Mode FEC repeats
    CommandSpec{0xF8, F::Bytes, 1},      // P-Mode max ARQ sum
};

std::size_t parameterBytes(const CommandSpec& spec) {
    switch (spec.form) {
    case ParamForm::Bytes:
        return spec.byteCount;
    case ParamForm::WordPair:
        return 4;
    default:
        return 0;
    }
}

bool isTextForm(const CommandSpec& spec) {
    return spec.form == ParamForm::Text || spec.form == ParamForm::AnswerBack;
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
    if (!event.spec)
        return hexBytes(event.data);
    switch (event.spec->form) {
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

std::span<const CommandSpec> commandTable() {
    return kCommands;
}

const CommandSpec* findCommand(std::uint8_t code) {
    const auto it =
        std::lower_bound(kCommands.begin(), kCommands.end(), code,
                         [](const CommandSpec& s, std::uint8_t c) { return s.code < c; });
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
        current_.spec = findCommand(b);
        if (!current_.spec || current_.spec->form == ParamForm::None)
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
        if (isTextForm(*current_.spec)) {
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
            if (current_.data.size() == parameterBytes(*current_.spec)) {
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
        if (!event.data.empty() || (event.spec && isTextForm(*event.spec)))
            s += " " + describeParameters(event);
        return s + ", cut off by " + hexBytes({&event.cutOffBy, 1});
    }
    case HostEvent::Kind::Command:
        break;
    }
    std::string s = "80 " + hexBytes({&event.code, 1});
    if (!event.spec)
        return s + " (unknown command)";
    if (event.spec->form != ParamForm::None)
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
