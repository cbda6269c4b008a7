#include "link/TransmitPump.h"

#include "config/Jw_utils.h"
#include "config/Settings.h"
#include "link/LinkStatus.h"
#include "link/ModemLink.h"
#include "modes/TerminalState.h"
#include "platform/EventPump.h"
#include "tuning/SoundCardEngine.h"

namespace tarvis {

namespace {

constexpr std::uint8_t kLiteralPrefix = 0x81;
constexpr std::uint8_t kCommandPrefix = 0x80;
// Consecutive z characters that end a link (the disconnect text "ZZZZ").
constexpr int kZRun = 3;

// The characters the Baudot alphabet carries, echoed by the modem in AMTOR and Baudot RTTY.
bool IsBaudotCharacter(std::uint8_t c) {
    switch (c) {
    case 0x00:
    case 0x05:
    case 0x07:
    case 0x0A:
    case 0x0D:
    case 0x20:
    case 0x21:
    case 0x23:
    case 0x24:
    case 0x26:
    case 0x27:
    case 0x28:
    case 0x29:
    case 0x2B:
    case 0x2C:
    case 0x2D:
    case 0x2E:
    case 0x2F:
    case 0x3A:
    case 0x3D:
    case 0x3F:
        return true;
    default:
        return (c >= 0x30 && c <= 0x39) || (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A);
    }
}

// Clears a flag on every way out of a scope.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
};

} // namespace

void BytesInFlight::Add(int count) {
    std::lock_guard lock(mutex_);
    count_ += count;
}

void BytesInFlight::Echo(std::uint8_t character) {
    std::lock_guard lock(mutex_);
    if (count_ > 0) {
        count_ -= (character == kCommandPrefix || character == kLiteralPrefix) ? 2 : 1;
    }
}

void BytesInFlight::Reset() {
    std::lock_guard lock(mutex_);
    count_ = 0;
}

int BytesInFlight::Count() {
    std::lock_guard lock(mutex_);
    return count_;
}

bool BytesInFlight::Above(int limit) {
    std::lock_guard lock(mutex_);
    return limit >= 0 && count_ > limit;
}

int FlowLimit(int mode) {
    switch (mode) {
    case kModeMirvol:
        return 500;
    case kModeAmtor:
    case kModePMode:
    case kModeBaudot:
    case kModeAscii:
        return 3;
    default:
        return -1;
    }
}

bool IsCountedCharacter(int mode, std::uint8_t c) {
    switch (mode) {
    case kModeMirvol:
    case kModePMode:
    case kModeAscii:
        return c == 0x0A || c == 0x0D || (c >= 0x20 && c <= 0x7E);
    case kModeAmtor:
    case kModeBaudot:
        return IsBaudotCharacter(c);
    default:
        return false;
    }
}

int CountedCharacters(int mode, const Bytes& output) {
    int n = 0;
    for (const char ch : output) {
        n += IsCountedCharacter(mode, static_cast<std::uint8_t>(ch)) ? 1 : 0;
    }
    return n;
}

Bytes AirBytes(int mode, const QString& text) {
    Bytes out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        const std::uint8_t b = ch.unicode() <= 0xFF ? static_cast<std::uint8_t>(ch.unicode()) : '?';
        if (mode != kModePsk31 && (b == kCommandPrefix || b == kLiteralPrefix)) {
            out.push_back(static_cast<char>(kLiteralPrefix));
        }
        out.push_back(static_cast<char>(b));
    }
    return out;
}

void ModemLinkPumpModem::SendText(const Bytes& text) {
    link_.SendText(text);
}
void ModemLinkPumpModem::SendCommand(const Bytes& command) {
    link_.SendCommand(command);
}
int ModemLinkPumpModem::PendingTransmitCount() {
    return link_.PendingTransmitCount();
}
void ModemLinkPumpModem::SetWriteChunk(int count) {
    link_.SetWriteChunk(count);
}
int ModemLinkPumpModem::PskQueueLength() {
    return link_.PskQueueLength();
}
bool ModemLinkPumpModem::EscapeMode() {
    return link_.Framer().EscapeMode();
}
bool ModemLinkPumpModem::OutputHeld() {
    return link_.Framer().OutputHeld();
}
bool ModemLinkPumpModem::Cts() {
    return link_.Port().Cts();
}

TransmitPump::TransmitPump(Context context) : c_(std::move(context)) {}

void TransmitPump::OnTxReady() {
    if (busy_) {
        return;
    }
    FlagGuard busy(busy_);

    if (binary.awaitingReply || drainWait_) {
        drainWait_ = c_.modem.PendingTransmitCount() != 0;
        return;
    }
    if (inFlight_.Above(FlowLimit(c_.terminal.OperatingMode))) {
        return;
    }
    if (binary.sendingData) {
        SendBinaryData();
        return;
    }
    if (textFile.sending) {
        SendTextFileCharacter();
        return;
    }
    SendPaneText();
}

void TransmitPump::SendBinaryData() {
    if (c_.modem.PendingTransmitCount() != 0 || (binary.finished && binary.finished()) ||
        !binary.dataStep) {
        return;
    }
    const Bytes data = binary.dataStep();
    inFlight_.Add(static_cast<int>(data.size()));
    c_.modem.SendText(data);
}

void TransmitPump::SendTextFileCharacter() {
    if (c_.modem.PendingTransmitCount() != 0 || !textFile.nextCharacter) {
        return;
    }
    const std::uint8_t character = textFile.nextCharacter();
    ++textFile.sentCount;
    ++textFile.sentDisplayCount;
    if (textFile.sentCount >= textFile.fileSize) {
        textFile.sentCount = 0;
        textFile.sending = false;
        if (textFile.finished) {
            textFile.finished();
        }
    }
    const int mode = c_.terminal.OperatingMode;
    const Bytes output = AirBytes(mode, QString(QChar(character)));
    c_.modem.SendText(output);
    inFlight_.Add(CountedCharacters(mode, output));
}

void TransmitPump::SendPaneText() {
    int p0 = sentPosition_;

    if (c_.modem.EscapeMode() ? c_.modem.OutputHeld() : !c_.modem.Cts()) {
        return;
    }

    const bool mirvol = c_.terminal.OperatingMode == kModeMirvol;
    const int chunk = mirvol ? 10 : 1;
    const int queueLimit = mirvol ? 2 : 1;
    if (c_.modem.PendingTransmitCount() > queueLimit) {
        c_.events.ProcessPendingEvents();
        return;
    }
    if (chunk != writeChunk_) {
        c_.modem.SetWriteChunk(chunk);
        writeChunk_ = chunk;
    }

    const Bytes output = c_.terminal.TxEnabled ? BuildOutput(p0) : Bytes();
    if (output.empty()) {
        return;
    }
    if (c_.terminal.OperatingMode == kModePsk31 && !pskTransmitting_) {
        KeySoundCard();
    }
    Output(output);
    CountZ(output);
    if (p0 != 0) {
        const int from = p0 == 1 ? 0 : p0;
        c_.pane.ColourRange(from, sentPosition_, ColorFromName(c_.settings.HighLightTextColor));
        c_.pane.CaretToEnd();
        c_.pane.SetTypingColour(ColorFromName(c_.settings.TransmitTextColor));
    }
}

void TransmitPump::Output(const Bytes& bytes) {
    c_.modem.SendText(bytes);
    inFlight_.Add(CountedCharacters(c_.terminal.OperatingMode, bytes));
}

void TransmitPump::CountZ(const Bytes& output) {
    for (const char ch : output) {
        if (ch == 'z' || ch == 'Z') {
            ++zCount_;
        } else if (zCount_ < kZRun) {
            zCount_ = 0;
        }
    }
    if (zCount_ >= kZRun) {
        zCount_ = 0;
        c_.modem.SendCommand(Command(kCmdEndOfTransmission));
    }
}

Bytes TransmitPump::BuildOutput(int& p0) {
    const int mode = c_.terminal.OperatingMode;
    const QString line = c_.pane.FirstLine();
    const bool lineBreak = c_.pane.HasLineBreak();
    if (line.isEmpty()) {
        sentPosition_ = 0;
    }
    if (line.size() > sentPosition_) {
        if (mode == kModeMirvol && lineBreak) {
            if (!c_.link.linkEstablished) {
                return {};
            }
            const Bytes rest = AirBytes(mode, line.mid(sentPosition_));
            sentPosition_ = static_cast<int>(line.size());
            return rest;
        }
        bool mayGo = false;
        switch (c_.terminal.TextEntryMode) {
        case kTextEntryChar:
            mayGo = true;
            break;
        case kTextEntryWord: {
            const auto space = line.indexOf(QLatin1Char(' '), sentPosition_);
            mayGo = lineBreak || (space >= 0 && space + 1 < line.size());
            break;
        }
        default:
            mayGo = lineBreak;
            break;
        }
        if (mayGo) {
            const bool arqMode = mode == kModeMirvol || mode == kModeAmtor || mode == kModePMode;
            const bool engineFull =
                mode == kModePsk31 && c_.engine != nullptr && c_.engine->GetTXCharsRemaining() > 1;
            if ((arqMode && !c_.link.linkEstablished) || engineFull) {
                return {};
            }
            const Bytes next = AirBytes(mode, line.mid(sentPosition_, 1));
            ++sentPosition_;
            return next;
        }
        if ((mode == kModeBaudot || mode == kModeAscii) && !c_.link.transmitting &&
            sentPosition_ == 0) {
            // The modem is told to start transmitting and wait for the text, as if it had
            // reported that it transmits.
            c_.link.transmitting = true;
            return Command(kCmdRttyWaitForText);
        }
        if (mode == kModePsk31 && !pskTransmitting_) {
            KeySoundCard();
        }
        return {};
    }
    if (lineBreak) {
        c_.pane.DeleteFirstLine();
        c_.pane.CaretToEnd();
        sentPosition_ = 0;
        p0 = 0;
        // The sound card is keyed (and its flag set) by the caller before the end-of-line
        // text goes, so the flag never claims a transmitter that was not keyed.
        return c_.terminal.EndOfLineText;
    }
    if (mode == kModePsk31 && c_.modem.PskQueueLength() == 0 && sentPosition_ == 0 &&
        pskTransmitting_) {
        UnkeySoundCard();
    }
    return {};
}

void TransmitPump::ShowTransmitState(const QString& text) {
    if (c_.setStatusPane) {
        c_.setStatusPane(2, text);
    }
}

void TransmitPump::KeySoundCard() {
    c_.modem.SendCommand(Command(kCmdKeySoundCardTx));
    ShowTransmitState(QStringLiteral("TX"));
    Delay(c_.clock, c_.events, c_.settings.PSK31_PTTON * 10);
    if (c_.engine != nullptr) {
        c_.engine->StartTX();
    }
    pskTransmitting_ = true;
}

void TransmitPump::UnkeySoundCard() {
    if (c_.engine != nullptr) {
        c_.engine->StopTX();
    }
    pskTransmitting_ = false;
    Delay(c_.clock, c_.events, c_.settings.PSK31_PTTOFF * 10);
    c_.modem.SendCommand(Command(kCmdEndSoundCardTx));
    ShowTransmitState(QStringLiteral("RX"));
}

} // namespace tarvis
