// One simulated QD470: what it is (its identification and firmware state), what the host has
// told it so far, and how it answers. It has no port of its own: the bytes from the host go in
// through `fromHost`, the bytes for the host come out of `takeOutput`, so a station can put it
// on a pseudo-terminal and tests can drive it directly.
#pragma once

#include "sim/download.h"
#include "sim/protocol.h"
#include "sim/settings.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace qd470sim {

struct Version {
    std::uint8_t major = 0; // 0..127; bit 7 of the major answer byte is the MIRVOL 2000 flag
    std::uint8_t minor = 0; // 0..127
};

// "MAJ.MIN" in decimal, each 0..127.
std::optional<Version> parseVersion(std::string_view text);
std::string versionText(Version v);

// What the modem says about itself during the start-up exchange.
struct ModemIdentity {
    std::optional<std::uint8_t> firmwareStatus = 0x0A; // nothing: never answers 80 02
    Version dsp{4, 2};
    Version cpu{4, 1};
    Version boot{1, 0};
    std::uint16_t productId = 0x002F;
    std::uint16_t hardware = 0x8004;
    bool mirvol2000 = false;
    AnswerForm answers = AnswerForm::Status;
};

// Hardware that sends 11, 13 and 91 escaped and uses bare XON/XOFF.
bool hardwareUsesEscapes(std::uint16_t hardware);

// Where the modem writes its log lines (one event a line, without a time stamp).
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void line(std::string_view text) = 0;
};

class Modem;
// Where a modem's air side goes: the simulated HF channel that carries its calls, links,
// broadcasts and text to the other stations. Without one the modem keeps everything to itself.
class AirSide {
public:
    virtual ~AirSide() = default;
    // A whole host command, after the modem has taken in what it sets.
    virtual void command(Modem& modem, const HostEvent& event) = 0;
    // Text the host gave for the air (80 and 81 literals already undone).
    virtual void text(Modem& modem, const Bytes& text) = 0;
    // The host's panic byte (81 06): whatever waits for the air is dropped.
    virtual void panic(Modem& modem) = 0;
};

class Modem {
public:
    static constexpr std::size_t kRecentCommands = 16;

    Modem(ModemIdentity identity, LogSink& log);

    // Bytes the host wrote. Every command and every run of text is logged; queries the modem
    // answers leave their answers in the output.
    void fromHost(std::span<const std::uint8_t> bytes);

    // The speed the host's side of the line is set to, as the terminal reports it (0: not
    // known). Bytes sent at another speed than the modem listens at arrive garbled: they are
    // reported as an error and dropped.
    void setHostLineSpeed(int baud) { hostBaud_ = baud; }
    unsigned long speedErrors() const { return speedErrors_; }

    FirmwareDownload& download() { return download_; }
    // The host has let go of the port: the next one starts afresh.
    void portReleased() {
        download_.portReleased();
        identified_ = false;
    }

    // Everything the modem has to send to the host since the last call.
    Bytes takeOutput();

    // Each of these queues bytes for the host and returns them.
    // `bytes` exactly as given, without marking or escaping.
    Bytes sendRaw(const Bytes& bytes);
    // The status report 80 `code` followed by `payload` as text items.
    Bytes sendStatus(std::uint8_t code, const Bytes& payload);
    // `text` as text items.
    Bytes sendText(const Bytes& text);
    // Bare XON or XOFF; refused (nothing) outside escape mode, where they would be data.
    std::optional<Bytes> sendFlow(bool xon);

    // One echo of a character sent on the air. A run of echoes is opened with the status 31
    // and closed with 30 before anything else goes to the host (or by `closeEcho`).
    void echo(std::uint8_t byte);
    void closeEcho();
    bool echoOpen() const { return echoOpen_; }

    void setAirSide(AirSide* air) { air_ = air; }

    const ModemSettings& settings() const { return settings_; }

    // A silent modem answers nothing; what it is told to send is still sent.
    void setSilent(bool silent) { silent_ = silent; }
    bool silent() const { return silent_; }

    // Escape mode begins once the modem has told the host a hardware version that uses it, and
    // ends when the host starts a new start-up exchange (80 02), which it begins outside escape
    // mode. It can also be forced either way.
    void setEscapeMode(bool on) { encoder_.escapeMode = on; }
    bool escapeMode() const { return encoder_.escapeMode; }

    const ModemIdentity& identity() const { return identity_; }

    // One line of "key=value" pairs: identification, flags, mode state and recent commands.
    std::string stateLine() const;
    // One line of "key=value" pairs: the mode and every setting the host can make.
    std::string settingsLine() const { return settings_.line(); }

private:
    void handle(const HostEvent& event);
    void answerQuery(std::uint8_t code);
    Bytes queue(Bytes bytes);

    ModemIdentity identity_;
    LogSink& log_;
    FirmwareDownload download_;
    int hostBaud_ = 0;
    // The host has read the identification since the modem was last reset or let go.
    bool identified_ = false;
    unsigned long speedErrors_ = 0;
    HostParser parser_;
    ModemEncoder encoder_;
    Bytes output_;
    bool silent_ = false;

    bool echoOpen_ = false;
    AirSide* air_ = nullptr;

    // What the host has set so far.
    ModemSettings settings_;
    unsigned long commandCount_ = 0;
    std::deque<std::string> recent_;
};

} // namespace qd470sim
