#include "sim/modem.h"

#include <charconv>
#include <cstdio>

namespace qd470sim {

namespace {

std::optional<std::uint8_t> parseVersionNumber(std::string_view text) {
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value > 127)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

std::string hex4(std::uint16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", v);
    return buf;
}

const char* onOff(bool b) {
    return b ? "on" : "off";
}

} // namespace

std::optional<Version> parseVersion(std::string_view text) {
    const auto dot = text.find('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    const auto major = parseVersionNumber(text.substr(0, dot));
    const auto minor = parseVersionNumber(text.substr(dot + 1));
    if (!major || !minor)
        return std::nullopt;
    return Version{*major, *minor};
}

std::string versionText(Version v) {
    return std::to_string(v.major) + "." + std::to_string(v.minor);
}

bool hardwareUsesEscapes(std::uint16_t hardware) {
    return hardware == 0x800A || hardware == 0x800B;
}

Modem::Modem(ModemIdentity identity, LogSink& log)
    : identity_(identity), log_(log), download_(log) {}

void Modem::fromHost(std::span<const std::uint8_t> bytes) {
    if (hostBaud_ != 0 && hostBaud_ != download_.baud()) {
        ++speedErrors_;
        log_.line("error: " + std::to_string(bytes.size()) + " bytes sent at " +
                  std::to_string(hostBaud_) + " baud while the modem listens at " +
                  std::to_string(download_.baud()) + " baud; they arrive garbled and are lost");
        return;
    }
    if (download_.active()) {
        Bytes out;
        download_.fromHost(bytes, out, identity_.firmwareStatus);
        if (!silent_)
            output_.insert(output_.end(), out.begin(), out.end());
        return;
    }
    for (const HostEvent& event : parser_.feed(bytes))
        handle(event);
}

Bytes Modem::takeOutput() {
    Bytes out;
    out.swap(output_);
    return out;
}

Bytes Modem::queue(Bytes bytes) {
    if (!bytes.empty()) {
        log_.line("sent " + hexBytes(bytes));
        output_.insert(output_.end(), bytes.begin(), bytes.end());
    }
    return bytes;
}

Bytes Modem::sendRaw(const Bytes& bytes) {
    return queue(bytes);
}

Bytes Modem::sendStatus(std::uint8_t code, const Bytes& payload) {
    closeEcho();
    Bytes out;
    encodeAnswer(encoder_, AnswerForm::Mixed, code, payload, out);
    return queue(std::move(out));
}

Bytes Modem::sendText(const Bytes& text) {
    closeEcho();
    Bytes out;
    for (const std::uint8_t b : text)
        encoder_.text(b, out);
    return queue(std::move(out));
}

std::optional<Bytes> Modem::sendFlow(bool xon) {
    Bytes out;
    if (!encoder_.flow(xon, out))
        return std::nullopt;
    return queue(std::move(out));
}

void Modem::echo(std::uint8_t byte) {
    Bytes out;
    if (!echoOpen_)
        encoder_.status(0x31, out);
    echoOpen_ = true;
    encoder_.text(byte, out);
    queue(std::move(out));
}

void Modem::closeEcho() {
    if (!echoOpen_)
        return;
    echoOpen_ = false;
    Bytes out;
    encoder_.status(0x30, out);
    queue(std::move(out));
}

void Modem::handle(const HostEvent& event) {
    const std::string text = describe(event);
    log_.line(text);
    if (event.kind == HostEvent::Kind::Text && air_)
        air_->text(*this, event.data);
    if (event.kind == HostEvent::Kind::Panic && air_)
        air_->panic(*this);
    if (event.kind != HostEvent::Kind::Command)
        return;

    ++commandCount_;
    recent_.push_back(text);
    if (recent_.size() > kRecentCommands)
        recent_.pop_front();

    settings_.apply(event);
    answerQuery(event.code);
    if (air_)
        air_->command(*this, event);
}

void Modem::answerQuery(std::uint8_t code) {
    // The host begins every start-up exchange outside escape mode.
    if (code == 0x02)
        encoder_.escapeMode = false;
    if (code == 0x09)
        identified_ = false;
    if (silent_)
        return;

    const ModemIdentity& id = identity_;
    Bytes payload;
    switch (code) {
    case 0x84: {
        // Once the modem is up and identified, 80 84 is the download's first command and is
        // answered, as a status item the host's normal operation ignores (the download looks
        // for the byte 84 itself). In the start-up exchange it is not answered.
        if (!identified_)
            return;
        Bytes out;
        encoder_.status(code, out);
        queue(std::move(out));
        return;
    }
    case 0x6A: {
        Bytes out;
        download_.begin(out);
        output_.insert(output_.end(), out.begin(), out.end());
        return;
    }
    case 0x02:
        if (!id.firmwareStatus)
            return;
        payload = {*id.firmwareStatus};
        break;
    case 0x76:
        payload = {static_cast<std::uint8_t>(id.dsp.major | (id.mirvol2000 ? 0x80 : 0)),
                   id.dsp.minor};
        break;
    case 0x77:
        payload = {id.cpu.major, id.cpu.minor};
        break;
    case 0x78:
        payload = {id.boot.major, id.boot.minor};
        break;
    case 0x7B:
        payload = {static_cast<std::uint8_t>(id.productId >> 8),
                   static_cast<std::uint8_t>(id.productId & 0xFF)};
        break;
    case 0xA0:
        payload = {static_cast<std::uint8_t>(id.hardware >> 8),
                   static_cast<std::uint8_t>(id.hardware & 0xFF)};
        break;
    default:
        return;
    }
    Bytes out;
    encodeAnswer(encoder_, id.answers, code, payload, out);
    queue(std::move(out));
    // The hardware answer is the last of the identification; from the next byte on, hardware
    // that escapes does so, as the host now knows to expect it.
    if (code == 0xA0) {
        encoder_.escapeMode = hardwareUsesEscapes(id.hardware);
        identified_ = true;
    }
}

std::string Modem::stateLine() const {
    const ModemIdentity& id = identity_;
    char status[8] = "none";
    if (id.firmwareStatus)
        std::snprintf(status, sizeof status, "%02X", *id.firmwareStatus);
    std::string s = std::string("firmware-status=") + status + " dsp=" + versionText(id.dsp) +
                    " cpu=" + versionText(id.cpu) + " boot=" + versionText(id.boot) +
                    " product-id=" + hex4(id.productId) + " hardware=" + hex4(id.hardware) +
                    " mirvol2000=" + onOff(id.mirvol2000) +
                    " answers=" + std::string(answerFormName(id.answers)) +
                    " escape=" + onOff(escapeMode()) + " silent=" + onOff(silent_) +
                    " mode=" + std::string(airModeName(settings_.mode())) +
                    " listen=" + settings_.value("listen").value_or("unset") +
                    " mycall=" + quoted(settings_.myCall()) +
                    " commands=" + std::to_string(commandCount_) + " recent=[";
    for (std::size_t i = 0; i < recent_.size(); ++i)
        s += (i ? "; " : "") + recent_[i];
    return s + "]";
}

} // namespace qd470sim
