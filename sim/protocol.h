// The modem's side of the QD470 byte protocol: what the host sends (commands with their
// parameter forms, text for the air, literals) and how the modem marks what it sends back
// (status items, text items, the 81 literal and, for hardware that uses in-band flow
// control, the 91 escape and bare XON/XOFF).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qd470sim {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kCommandPrefix = 0x80;
inline constexpr std::uint8_t kLiteralPrefix = 0x81;
inline constexpr std::uint8_t kEscape = 0x91;
inline constexpr std::uint8_t kXon = 0x11;
inline constexpr std::uint8_t kXoff = 0x13;
inline constexpr std::uint8_t kPanicByte = 0x06; // sent by the host as 81 06

// How a command's parameters follow its code. Every parameter byte travels as 80 and the byte.
enum class ParamForm {
    None,       // 80 cc
    Bytes,      // 80 cc, then `byteCount` parameter bytes
    Text,       // 80 cc, 80 c for each character, 80 00
    WordPair,   // 80 cc, two 16-bit values high byte first (four parameter bytes)
    AnswerBack, // as Text, but the bytes of a file: any value but 00 may occur
};

struct CommandEntry {
    std::uint8_t code;
    ParamForm form;
    std::uint8_t byteCount; // parameter bytes of a Bytes command; 0 otherwise
};

// The command with this code, or nullptr when the modem does not know the code.
const CommandEntry* findCommand(std::uint8_t code);

// Every command the modem knows, in code order.
std::span<const CommandEntry> commandTable();

// One thing the host said, as the parser recognised it.
struct HostEvent {
    enum class Kind {
        Command,    // a whole command; `data` holds its parameter bytes (text without 80 00)
        Text,       // a run of text for the air (plain bytes and 81 literals)
        Incomplete, // a command cut off by a byte without the 80 prefix; `data` holds what came
        Panic,      // the literal 06 (81 06): the host's panic, not text for the air
    };
    Kind kind = Kind::Command;
    std::uint8_t code = 0;
    const CommandEntry* entry = nullptr; // nullptr for an unknown code
    Bytes data;
    bool truncated = false;    // a text parameter longer than the parser keeps
    std::uint8_t cutOffBy = 0; // Incomplete: the byte that broke the command off
};

// Splits the host's byte stream into commands and text. It keeps its state between feeds, so a
// command may arrive in any number of pieces.
class HostParser {
public:
    // The longest text or answer-back parameter kept; the rest is read and dropped.
    static constexpr std::size_t kMaxTextParameter = 65536;

    // Parses `bytes` and returns what they completed. Text is returned in runs: a run ends where
    // a command begins and at the end of each feed.
    std::vector<HostEvent> feed(std::span<const std::uint8_t> bytes);

    // True while a command has begun and not yet ended.
    bool inCommand() const { return state_ != State::Idle && state_ != State::Literal; }

private:
    enum class State { Idle, Prefix, Literal, ParamPrefix, ParamByte };
    void step(std::uint8_t b, std::vector<HostEvent>& out);
    void flushText(std::vector<HostEvent>& out);
    void finishCommand(std::vector<HostEvent>& out);

    State state_ = State::Idle;
    HostEvent current_;
    Bytes text_;
};

// A one-line readable form of a host event: `80 13 "MYCALL"`, `80 63 02`,
// `80 EC 04FB 05A5 (1275, 1445)`, `text "HELLO\r"`.
std::string describe(const HostEvent& event);

// Marks what the modem sends. In escape mode the bytes 11, 13 and 91 travel only escaped, as 91
// followed by the byte OR 20 (the host restores it with AND DF), and bare 11 and 13 are free to
// mean XON and XOFF.
class ModemEncoder {
public:
    bool escapeMode = false;

    // A status item: 80 and the code.
    void status(std::uint8_t code, Bytes& out) const;
    // A text item: the byte itself, or 81 and the byte for 80 and 81.
    void text(std::uint8_t byte, Bytes& out) const;
    // Bare flow-control byte. Only meaningful in escape mode; returns false outside it.
    bool flow(bool xon, Bytes& out) const;

private:
    void put(std::uint8_t byte, Bytes& out) const;
};

// The forms in which the modem may send the items of an answer.
enum class AnswerForm {
    Status, // every item a status item: 80 76 80 85 80 03
    Text,   // every item a text item: 76 85 03
    Mixed,  // the code a status item, the bytes after it text items: 80 76 85 03
};

std::optional<AnswerForm> parseAnswerForm(std::string_view name);
std::string_view answerFormName(AnswerForm form);

// An answer: `code` followed by `payload`, its items in `form`.
void encodeAnswer(const ModemEncoder& encoder, AnswerForm form, std::uint8_t code,
                  std::span<const std::uint8_t> payload, Bytes& out);

// Two upper-case hexadecimal digits per byte, separated by blanks: "80 02 80 0A".
std::string hexBytes(std::span<const std::uint8_t> bytes);

// A quoted, readable string: printable ASCII as is, \" \\ \r \n \t, anything else \xNN.
std::string quoted(std::span<const std::uint8_t> bytes);

// The reverse of the escapes of `quoted` (without the quotes): \r \n \t \\ \" \xNN.
// Returns nothing, with a reason in `error`, for a bad escape.
std::optional<Bytes> unescape(std::string_view text, std::string& error);

// One byte written as one or two hexadecimal digits, optionally after 0x.
std::optional<std::uint8_t> parseHexByte(std::string_view token);

} // namespace qd470sim
