#include "link/Commands.h"

#include <algorithm>
#include <array>

namespace tarvis {

namespace {

using enum ParamForm;

constexpr std::array kTable = std::to_array<CommandInfo>({
    {0x00, None, "firmware loader: DSP image (.lod) follows"},
    {0x01, None, "firmware loader: CPU image (.s28) follows"},
    {0x02, None, "firmware status query"},
    {0x04, None, "MIRVOL multi-tone test"},
    {0x05, None, "end sound-card transmission or tone test"},
    {0x07, None, "end of transmission"},
    {0x09, None, "modem reset"},
    {0x0A, None, "send the CW identification now"},
    {0x0B, None, "MIRVOL single-tone test"},
    {0x0F, None, "firmware loader step"},
    {0x10, Text, "MIRVOL ARQ call, robust connect bias"},
    {0x11, Text, "MIRVOL ARQ call"},
    {0x12, Byte, "start a MIRVOL broadcast"},
    {0x13, Text, "own call sign"},
    {0x14, Byte, "MIRVOL CQ call"},
    {0x15, Byte, "answer a MIRVOL CQ"},
    {0x16, Text, "AMTOR ARQ call, short selective call"},
    {0x17, Text, "AMTOR ARQ call, long selective call"},
    {0x18, Text, "AMTOR selective broadcast to a group"},
    {0x19, Text, "P-Mode call, short path"},
    {0x1A, Text, "P-Mode call, long path"},
    {0x1C, Byte, "start a P-Mode unproto broadcast"},
    {0x1D, Byte, "start an AMTOR Mode B broadcast"},
    {0x41, None, "first set-up command"},
    {0x44, None, "MIRVOL call type manual"},
    {0x45, None, "CW identification off"},
    {0x46, None, "second set-up command"},
    {0x48, None, "listen off"},
    {0x49, None, "third command before a further file's header"},
    {0x4B, None, "transmit polarity reverse"},
    {0x4C, None, "receive polarity independent of transmit"},
    {0x4D, None, "set-up command 4D"},
    {0x51, None, "set-up command 51"},
    {0x54, None, "MIRVOL call type adaptive"},
    {0x55, None, "CW identification on"},
    {0x56, None, "set-up command 56"},
    {0x58, None, "listen on"},
    {0x59, None, "set-up command 59"},
    {0x5A, None, "set-up command 5A"},
    {0x5B, None, "transmit polarity normal"},
    {0x5C, None, "receive polarity follows transmit"},
    {0x5D, None, "set-up command 5D"},
    {0x60, Byte, "MIRVOL robust retries"},
    {0x61, Byte, "MIRVOL normal retries"},
    {0x62, Byte, "MIRVOL fail retries"},
    {0x63, Byte, "MIRVOL audio channel"},
    {0x64, Byte, "MIRVOL waveform"},
    {0x65, Byte, "MIRVOL adaptive bias"},
    {0x67, Byte, "scan control output"},
    {0x68, Byte, "MIRVOL chat count"},
    {0x6A, Byte, "firmware loader speed step"},
    {0x6C, Byte, "audio gain"},
    {0x76, None, "query the DSP firmware version"},
    {0x77, None, "query the CPU firmware version"},
    {0x78, None, "query the boot ROM version"},
    {0x7B, None, "query the product identity"},
    {0x80, None, "select MIRVOL"},
    {0x81, None, "select AMTOR"},
    {0x82, None, "start an AMTOR CFEC broadcast"},
    {0x83, None, "select P-Mode"},
    {0x84, None, "set-up command 84"},
    {0x85, None, "select Baudot RTTY"},
    {0x86, None, "select ASCII RTTY"},
    {0x87, None, "forced over (priority path)"},
    {0x89, None, "force the LTRS shift"},
    {0x8B, None, "MARK tone test"},
    {0x8C, None, "SPACE tone test"},
    {0x8D, None, "alternating MARK/SPACE tone test"},
    {0x8E, None, "RTTY: text waits for a complete word or line"},
    {0x8F, None, "key the transmitter for sound-card transmission"},
    {0x90, Text, "own AMTOR four-character selective call"},
    {0x91, Text, "own AMTOR seven-character selective call"},
    {0x92, Text, "AMTOR group call"},
    {0x94, AnswerBack, "AMTOR answer-back text"},
    {0xA0, None, "query the hardware version"},
    {0xC0, None, "Baudot code US"},
    {0xC1, None, "RTTY sync idle off"},
    {0xC2, None, "AMTOR answer-back off"},
    {0xC3, None, "Baudot USOS off"},
    {0xC4, None, "AMTOR letter case upper"},
    {0xC9, None, "P-Mode Huffman compression on"},
    {0xCB, None, "FSK keying polarity reverse"},
    {0xCD, None, "wide shift off"},
    {0xD0, None, "Baudot code No2"},
    {0xD1, None, "RTTY sync idle on"},
    {0xD2, None, "AMTOR answer-back on"},
    {0xD3, None, "Baudot USOS on"},
    {0xD4, None, "AMTOR letter case lower"},
    {0xD9, None, "P-Mode Huffman compression off"},
    {0xDB, None, "FSK keying polarity normal"},
    {0xDD, None, "wide shift on"},
    {0xE0, Byte, "AMTOR CD time"},
    {0xE1, Byte, "AMTOR TD time"},
    {0xE3, Byte, "RTTY PTT-on delay"},
    {0xE4, Byte, "Baudot data rate"},
    {0xE5, Byte, "ASCII data rate"},
    {0xE8, Byte, "print squelch"},
    {0xE9, Byte, "AMTOR time-out"},
    {0xEB, Byte, "mode-dependent set-up parameter"},
    {0xEC, WordPair, "FSK or P-Mode tone pair"},
    {0xED, Byte, "RTTY PTT-off delay"},
    {0xEE, Byte, "set-up command EE"},
    {0xF0, Byte, "P-Mode set-up parameter"},
    {0xF1, Byte, "P-Mode CS delay"},
    {0xF2, Byte, "P-Mode max up"},
    {0xF3, Byte, "P-Mode max try"},
    {0xF4, Byte, "P-Mode max down"},
    {0xF5, Byte, "P-Mode max error"},
    {0xF6, Byte, "P-Mode unproto data rate"},
    {0xF7, Byte, "P-Mode FEC repeats"},
    {0xF8, Byte, "P-Mode max ARQ sum"},
});

static_assert(std::ranges::is_sorted(kTable, {}, &CommandInfo::code));

// The start of a command of the given form, or empty when the code does not take it.
Bytes Start(std::uint8_t code, ParamForm form) {
    const CommandInfo* info = FindCommand(code);
    if (info == nullptr || info->form != form) {
        return {};
    }
    Bytes out;
    out.push_back(static_cast<char>(0x80));
    out.push_back(static_cast<char>(code));
    return out;
}

void AppendParameter(Bytes& out, std::uint8_t byte) {
    out.push_back(static_cast<char>(0x80));
    out.push_back(static_cast<char>(byte));
}

Bytes Terminated(std::uint8_t code, ParamForm form, std::string_view characters) {
    Bytes out = Start(code, form);
    if (out.empty()) {
        return out;
    }
    for (char c : characters) {
        AppendParameter(out, static_cast<std::uint8_t>(c));
    }
    AppendParameter(out, 0x00);
    return out;
}

} // namespace

std::span<const CommandInfo> CommandTable() {
    return kTable;
}

const CommandInfo* FindCommand(std::uint8_t code) {
    const auto it = std::ranges::lower_bound(kTable, code, {}, &CommandInfo::code);
    return it != kTable.end() && it->code == code ? &*it : nullptr;
}

Bytes Command(std::uint8_t code) {
    return Start(code, ParamForm::None);
}

Bytes ByteCommand(std::uint8_t code, std::uint8_t parameter) {
    Bytes out = Start(code, ParamForm::Byte);
    if (!out.empty()) {
        AppendParameter(out, parameter);
    }
    return out;
}

Bytes TextCommand(std::uint8_t code, std::string_view text) {
    return Terminated(code, ParamForm::Text, text);
}

Bytes AnswerBackCommand(std::uint8_t code, std::string_view fileBytes) {
    return Terminated(code, ParamForm::AnswerBack, fileBytes);
}

Bytes WordPairCommand(std::uint8_t code, std::uint16_t first, std::uint16_t second) {
    Bytes out = Start(code, ParamForm::WordPair);
    if (!out.empty()) {
        for (std::uint16_t word : {first, second}) {
            AppendParameter(out, static_cast<std::uint8_t>(word >> 8));
            AppendParameter(out, static_cast<std::uint8_t>(word & 0xFF));
        }
    }
    return out;
}

Bytes GroupBroadcastCommand(std::string_view groupCall) {
    return TextCommand(kCmdAmtorSelectiveBroadcast, groupCall.substr(0, 4));
}

} // namespace tarvis
