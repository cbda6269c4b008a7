#pragma once
// The modem's command set. A command is 80 and its code; each parameter byte follows as 80
// and the byte; a text (or answer-back) parameter is 80 c per character, ended by 80 00; a
// word pair is two 16-bit values, high byte first, every byte after an 80.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvis {

// Byte strings for the modem.
using Bytes = std::string;

enum class ParamForm { None, Byte, Text, WordPair, AnswerBack };

struct CommandInfo {
    std::uint8_t code;
    ParamForm form;
    const char* use;
};

// Every command the program sends, by code.
enum CommandCode : std::uint8_t {
    kCmdLoadDspImage = 0x00, // firmware loader: image type 00 (.lod)
    kCmdLoadCpuImage = 0x01, // firmware loader: image type 01 (.s28)
    kCmdFirmwareStatus = 0x02,
    kCmdMirvolMultiToneTest = 0x04,
    kCmdEndSoundCardTx = 0x05,
    kCmdEndOfTransmission = 0x07,
    kCmdModemReset = 0x09,
    kCmdCwIdNow = 0x0A,
    kCmdMirvolSingleToneTest = 0x0B,
    kCmdLoaderStep = 0x0F,
    kCmdMirvolCallRobust = 0x10,
    kCmdMirvolCall = 0x11,
    kCmdMirvolBroadcast = 0x12,
    kCmdMyCall = 0x13,
    kCmdMirvolCq = 0x14,
    kCmdMirvolAnswerCq = 0x15,
    kCmdAmtorCall476 = 0x16,
    kCmdAmtorCall625 = 0x17,
    kCmdAmtorSelectiveBroadcast = 0x18,
    kCmdPModeCallShort = 0x19,
    kCmdPModeCallLong = 0x1A,
    kCmdPModeUnproto = 0x1C,
    kCmdAmtorModeB = 0x1D,
    kCmdSetup41 = 0x41,
    kCmdMirvolCallManual = 0x44,
    kCmdCwIdOff = 0x45,
    kCmdSetup46 = 0x46,
    kCmdListenOff = 0x48,
    kCmdSetup49 = 0x49,
    kCmdTxPolarityReverse = 0x4B,
    kCmdRxPolarityIndependent = 0x4C,
    kCmdSetup4D = 0x4D,
    kCmdSetup51 = 0x51,
    kCmdMirvolCallAdaptive = 0x54,
    kCmdCwIdOn = 0x55,
    kCmdSetup56 = 0x56,
    kCmdListenOn = 0x58,
    kCmdSetup59 = 0x59,
    kCmdSetup5A = 0x5A,
    kCmdTxPolarityNormal = 0x5B,
    kCmdRxPolarityFollows = 0x5C,
    kCmdSetup5D = 0x5D,
    kCmdRobustRetry = 0x60,
    kCmdNormalRetry = 0x61,
    kCmdFailRetry = 0x62,
    kCmdAudioChannel = 0x63,
    kCmdModulation = 0x64,
    kCmdAdaptiveBias = 0x65,
    kCmdScanControl = 0x67,
    kCmdChatCount = 0x68,
    kCmdLoaderSpeed = 0x6A,
    kCmdAudioGain = 0x6C,
    kCmdQueryDspVersion = 0x76,
    kCmdQueryCpuVersion = 0x77,
    kCmdQueryBootVersion = 0x78,
    kCmdQueryProductId = 0x7B,
    kCmdSelectMirvol = 0x80,
    kCmdSelectAmtor = 0x81,
    kCmdAmtorCfec = 0x82,
    kCmdSelectPMode = 0x83,
    kCmdSetup84 = 0x84,
    kCmdSelectBaudot = 0x85,
    kCmdSelectAscii = 0x86,
    kCmdForcedOver = 0x87,
    kCmdForceLtrs = 0x89,
    kCmdMarkToneTest = 0x8B,
    kCmdSpaceToneTest = 0x8C,
    kCmdMarkSpaceToneTest = 0x8D,
    kCmdRttyWaitForText = 0x8E,
    kCmdKeySoundCardTx = 0x8F,
    kCmdMyCall476 = 0x90,
    kCmdMyCall625 = 0x91,
    kCmdGroupCall = 0x92,
    kCmdAnswerBack = 0x94,
    kCmdQueryHardwareVersion = 0xA0,
    kCmdBaudotUs = 0xC0,
    kCmdSyncIdleOff = 0xC1,
    kCmdAnswerBackOff = 0xC2,
    kCmdUsosOff = 0xC3,
    kCmdLetterCaseUpper = 0xC4,
    kCmdHuffmanOn = 0xC9,
    kCmdFskPolarityReverse = 0xCB,
    kCmdWideShiftOff = 0xCD,
    kCmdBaudotNo2 = 0xD0,
    kCmdSyncIdleOn = 0xD1,
    kCmdAnswerBackOn = 0xD2,
    kCmdUsosOn = 0xD3,
    kCmdLetterCaseLower = 0xD4,
    kCmdHuffmanOff = 0xD9,
    kCmdFskPolarityNormal = 0xDB,
    kCmdWideShiftOn = 0xDD,
    kCmdAmtorCd = 0xE0,
    kCmdAmtorTd = 0xE1,
    kCmdPttOnDelay = 0xE3,
    kCmdBaudotRate = 0xE4,
    kCmdAsciiRate = 0xE5,
    kCmdPrintSquelch = 0xE8,
    kCmdAmtorTimeOut = 0xE9,
    kCmdModeParameter = 0xEB,
    kCmdTonePair = 0xEC,
    kCmdPttOffDelay = 0xED,
    kCmdSetupEE = 0xEE,
    kCmdPModeF0 = 0xF0,
    kCmdPModeCsDelay = 0xF1,
    kCmdPModeMaxUp = 0xF2,
    kCmdPModeMaxTry = 0xF3,
    kCmdPModeMaxDown = 0xF4,
    kCmdPModeMaxError = 0xF5,
    kCmdPModeUnprotoRate = 0xF6,
    kCmdPModeFecRepeats = 0xF7,
    kCmdPModeMaxArqSum = 0xF8,
};

// The whole command set, in code order.
std::span<const CommandInfo> CommandTable();
// The table row of a code, or null for a code the modem does not take.
const CommandInfo* FindCommand(std::uint8_t code);

// Builders, one per parameter form. Each checks the code's form against the table and
// yields an empty string for a code that does not take that form.
Bytes Command(std::uint8_t code);
Bytes ByteCommand(std::uint8_t code, std::uint8_t parameter);
Bytes TextCommand(std::uint8_t code, std::string_view text);
Bytes WordPairCommand(std::uint8_t code, std::uint16_t first, std::uint16_t second);
Bytes AnswerBackCommand(std::uint8_t code, std::string_view fileBytes);

// The low byte of a numeric setting, as byte parameters carry it.
inline std::uint8_t LowByte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

// The AMTOR selective broadcast carries at most the first four characters of the group call.
Bytes GroupBroadcastCommand(std::string_view groupCall);

// The panic sequence: not a command, the literal byte 06.
inline Bytes PanicLiteral() {
    return Bytes("\x81\x06", 2);
}

} // namespace tarvis
