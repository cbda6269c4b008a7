#pragma once
// The transmit pump: on every TxReady it decides what the modem gets next - the next bytes of
// a binary file, the next character of a text file, or the next character, word or line typed
// into the transmit pane - under the modem's flow limits, and keys the sound card in PSK31.
// It works on small interfaces (the pane, the modem side, the sound-card engine) so that it
// runs without the main window.
#include "link/Commands.h"

#include <QColor>
#include <QString>
#include <cstdint>
#include <functional>
#include <mutex>

namespace tarvis {

class Clock;
class EventPump;
class ModemLink;
class SoundCardEngine;
struct LinkStatus;
struct Settings;
struct TerminalState;

// The characters handed to the modem and not yet echoed back. Only the user-interface thread
// touches it, but every comparison and update is taken under its own lock, as the receive
// display and the status decoder do too.
class BytesInFlight {
public:
    void Add(int count);
    // One echoed character: lowers the count by 2 for 80 and 81, by 1 otherwise, and only
    // while the count is above 0.
    void Echo(std::uint8_t character);
    // At start, at link end, on panic and by the binary sender.
    void Reset();
    int Count();
    // True when the count is above the limit (a negative limit means none).
    bool Above(int limit);

private:
    std::mutex mutex_;
    std::int32_t count_ = 0;
};

// The modem's limit on unechoed characters in a mode: 500 in MIRVOL, 3 in AMTOR, P-Mode and
// the two RTTY modes, none (-1) otherwise.
int FlowLimit(int mode);
// Whether the modem echoes (and so the pump counts) the byte in the mode.
bool IsCountedCharacter(int mode, std::uint8_t character);
int CountedCharacters(int mode, const Bytes& output);
// Text from the transmit pane as bytes for the air: one byte per character (characters past
// 0xFF become "?"); outside PSK31 the framing prefixes 80 and 81 go as literals 81 80 and
// 81 81 so that typed text can never be read as a command.
Bytes AirBytes(int mode, const QString& text);

// The transmit pane as the pump sees it.
class TransmitPane {
public:
    virtual ~TransmitPane() = default;
    // The text of the first line, without its line break.
    virtual QString FirstLine() = 0;
    // The pane holds a line break: CR LF in its text, or more than one line.
    virtual bool HasLineBreak() = 0;
    // Deletes the first line together with its line break.
    virtual void DeleteFirstLine() = 0;
    // Colours characters [from, to) without running the pane's selection handling.
    virtual void ColourRange(int from, int to, const QColor& colour) = 0;
    virtual void CaretToEnd() = 0;
    virtual void SetTypingColour(const QColor& colour) = 0;
};

// The modem side: the transmit thread's queues and the port's line state.
class PumpModem {
public:
    virtual ~PumpModem() = default;
    virtual void SendText(const Bytes& text) = 0;
    virtual void SendCommand(const Bytes& command) = 0;
    virtual int PendingTransmitCount() = 0;
    virtual void SetWriteChunk(int count) = 0;
    virtual int PskQueueLength() = 0;
    // The modem uses in-band flow control (escape mode) ...
    virtual bool EscapeMode() = 0;
    // ... and its last flow-control byte was XOFF.
    virtual bool OutputHeld() = 0;
    virtual bool Cts() = 0;
};

// PumpModem over the program's modem link.
class ModemLinkPumpModem final : public PumpModem {
public:
    explicit ModemLinkPumpModem(ModemLink& link) : link_(link) {}
    void SendText(const Bytes& text) override;
    void SendCommand(const Bytes& command) override;
    int PendingTransmitCount() override;
    void SetWriteChunk(int count) override;
    int PskQueueLength() override;
    bool EscapeMode() override;
    bool OutputHeld() override;
    bool Cts() override;

private:
    ModemLink& link_;
};

// What a binary file being sent gives the pump.
struct BinarySendHook {
    // Waiting for the other station's reply: the pump feeds nothing and, once the reply has
    // come, waits for the queues to drain.
    bool awaitingReply = false;
    // A file's data is being sent.
    bool sendingData = false;
    // The file has been read to its end.
    std::function<bool()> finished;
    // The sender's data step: the next bytes to send, already framed. The pump counts them
    // into the bytes in flight and hands them to SendText.
    std::function<Bytes()> dataStep;
};

// What a text file being sent gives the pump.
struct TextFileHook {
    bool sending = false;
    // Reads the next character of the file.
    std::function<std::uint8_t()> nextCharacter;
    // Called once the last character has been read: closes the file, makes the pane writable
    // and gives it the focus, and swaps the Stop and Send menu items.
    std::function<void()> finished;
    std::int64_t fileSize = 0;
    std::int64_t sentCount = 0;
    std::int64_t sentDisplayCount = 0;
};

class TransmitPump {
public:
    struct Context {
        TransmitPane& pane;
        PumpModem& modem;
        // Null when the sound card is not open.
        SoundCardEngine* engine;
        TerminalState& terminal;
        LinkStatus& link;
        const Settings& settings;
        Clock& clock;
        EventPump& events;
        // Sets a status bar pane's text.
        std::function<void(int pane, const QString& text)> setStatusPane;
    };

    explicit TransmitPump(Context context);

    // One TxReady, on the user-interface thread.
    void OnTxReady();

    BytesInFlight& InFlight() { return inFlight_; }
    // How many characters of the pane's first line have been released.
    int SentPosition() const { return sentPosition_; }
    // The pane was cleared: nothing of the (new) first line has been released.
    void ResetSentPosition() { sentPosition_ = 0; }

    // Keying the sound-card transmitter in PSK31: 80 8F, pane 2 "TX", the PTT delay, then the
    // engine starts.
    void KeySoundCard();
    // The reverse: the engine stops, the PTT-off delay, 80 05, pane 2 "RX".
    void UnkeySoundCard();
    // Set while the sound-card transmitter is keyed and its engine started.
    bool PskTransmitting() const { return pskTransmitting_; }
    void SetPskTransmitting(bool on) { pskTransmitting_ = on; }

    BinarySendHook binary;
    TextFileHook textFile;

    bool Busy() const { return busy_; }
    bool DrainWait() const { return drainWait_; }
    int WriteChunkInForce() const { return writeChunk_; }
    int ZCount() const { return zCount_; }

private:
    void SendBinaryData();
    void SendTextFileCharacter();
    void SendPaneText();
    // What the pane's first line gives this pass; may change the sent position and `p0`.
    Bytes BuildOutput(int& p0);
    void Output(const Bytes& bytes);
    void CountZ(const Bytes& output);
    // Status pane 2: "TX" or "RX".
    void ShowTransmitState(const QString& text);

    Context c_;
    BytesInFlight inFlight_;
    int sentPosition_ = 0;
    bool busy_ = false;
    bool drainWait_ = false;
    int writeChunk_ = 0;
    int zCount_ = 0;
    bool pskTransmitting_ = false;
};

} // namespace tarvis
