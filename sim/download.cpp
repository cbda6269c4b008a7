#include "sim/download.h"
#include "sim/modem.h"

#include <cstdio>
#include <string_view>

namespace qd470sim {

namespace {

constexpr std::uint8_t kTypeDsp = 0x00;
constexpr std::uint8_t kTypeCpu = 0x01;
constexpr std::uint8_t kEraseFailed = 0x02;
constexpr std::uint8_t kVerdictLead = 0x02;
constexpr std::uint8_t kGood = 0x0A;

// The firmware-status bit of the part an image type is for: 02 the DSP's, 04 the CPU's.
std::uint8_t damageBit(int type) {
    return type == kTypeDsp ? 0x02 : 0x04;
}

// An image's last line: the S-record end records S7, S8 and S9, or a .lod image's _END.
bool isEndRecord(std::string_view line) {
    return line.starts_with("S7") || line.starts_with("S8") || line.starts_with("S9") ||
           line.starts_with("_END");
}

std::string hex2(unsigned v) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", v & 0xFF);
    return buf;
}

} // namespace

const char* downloadOutcomeName(DownloadOutcome outcome) {
    switch (outcome) {
    case DownloadOutcome::Success:
        return "success";
    case DownloadOutcome::Failure:
        return "fail";
    case DownloadOutcome::EraseFailure:
        return "erase-fail";
    case DownloadOutcome::NoVerdict:
        return "no-verdict";
    }
    return "?";
}

std::optional<DownloadOutcome> parseDownloadOutcome(std::string_view name) {
    for (const DownloadOutcome o : {DownloadOutcome::Success, DownloadOutcome::Failure,
                                    DownloadOutcome::EraseFailure, DownloadOutcome::NoVerdict})
        if (name == downloadOutcomeName(o))
            return o;
    return std::nullopt;
}

const char* FirmwareDownload::stageName(Stage stage) {
    switch (stage) {
    case Stage::Idle:
        return "idle";
    case Stage::AwaitStart:
        return "speed-changed";
    case Stage::AwaitType:
        return "ready";
    case Stage::Receiving:
        return "receiving";
    case Stage::AwaitReset:
        return "done";
    }
    return "?";
}

void FirmwareDownload::send(Bytes& out, std::initializer_list<std::uint8_t> bytes) {
    const Bytes b(bytes);
    log_.line("sent " + hexBytes(b));
    out.insert(out.end(), b.begin(), b.end());
}

void FirmwareDownload::begin(Bytes& out) {
    stage_ = Stage::AwaitStart;
    prefixSeen_ = false;
    send(out, {0x6A});
    log_.line("download: listening at 57600 baud");
}

void FirmwareDownload::portReleased() {
    if (!active())
        return;
    log_.line(std::string("download: given up by the host at stage ") + stageName(stage_) +
              "; back to normal operation at 9600 baud");
    stage_ = Stage::Idle;
}

void FirmwareDownload::fromHost(std::span<const std::uint8_t> bytes, Bytes& out,
                                std::optional<std::uint8_t>& firmwareStatus) {
    for (const std::uint8_t b : bytes) {
        if (stage_ == Stage::Receiving && b != kCommandPrefix) {
            imageByte(b, out, firmwareStatus);
            continue;
        }
        if (stage_ == Stage::Receiving) {
            // Images are text: a command prefix means the host has broken the stream off.
            log_.line("download: image broken off after " + std::to_string(image_.size()) +
                      " bytes");
            stage_ = Stage::AwaitReset;
        }
        if (!prefixSeen_) {
            if (b == kCommandPrefix)
                prefixSeen_ = true;
            else
                log_.line("error: download: byte " + hex2(b) + " outside a command, ignored");
            continue;
        }
        prefixSeen_ = false;
        log_.line("80 " + hex2(b));
        command(b, out);
        if (!active())
            return; // back to normal: what follows is for the normal firmware
    }
}

void FirmwareDownload::command(std::uint8_t code, Bytes& out) {
    if (code == 0x09) {
        stage_ = Stage::Idle;
        log_.line("download: modem reset; normal operation at 9600 baud");
        return;
    }
    if (stage_ == Stage::AwaitStart && code == 0x0F) {
        stage_ = Stage::AwaitType;
        send(out, {0x0F});
        return;
    }
    if (stage_ == Stage::AwaitType && (code == kTypeDsp || code == kTypeCpu)) {
        if (outcome_ == DownloadOutcome::EraseFailure) {
            log_.line("download: flash erase failed");
            send(out, {kEraseFailed});
            stage_ = Stage::AwaitReset;
            return;
        }
        imageType_ = code;
        image_.clear();
        lineStart_ = 0;
        stage_ = Stage::Receiving;
        log_.line(std::string("download: flash erased for the ") +
                  (code == kTypeDsp ? "DSP" : "CPU") + " image");
        send(out, {code});
        return;
    }
    log_.line(std::string("error: download: 80 ") + hex2(code) + " not expected at stage " +
              stageName(stage_));
}

void FirmwareDownload::imageByte(std::uint8_t b, Bytes& out,
                                 std::optional<std::uint8_t>& firmwareStatus) {
    image_.push_back(b);
    if (b != '\n')
        return;
    const std::string_view line(reinterpret_cast<const char*>(image_.data()) + lineStart_,
                                image_.size() - lineStart_);
    lineStart_ = image_.size();
    if (isEndRecord(line))
        verdict(out, firmwareStatus);
}

void FirmwareDownload::verdict(Bytes& out, std::optional<std::uint8_t>& firmwareStatus) {
    stage_ = Stage::AwaitReset;
    if (outcome_ == DownloadOutcome::NoVerdict) {
        log_.line("download: image of " + std::to_string(image_.size()) +
                  " bytes stored; no verdict given");
        return;
    }
    const std::uint8_t bit = damageBit(imageType_);
    const std::uint8_t before = firmwareStatus ? *firmwareStatus : kGood;
    std::uint8_t damage = (before == 0x02 || before == 0x04 || before == 0x06) ? before : 0;
    const bool good = outcome_ == DownloadOutcome::Success;
    damage = good ? (damage & ~bit) : (damage | bit);
    firmwareStatus = damage != 0 ? damage : kGood;
    const std::uint8_t result = good ? kGood : bit;
    log_.line("download: image of " + std::to_string(image_.size()) + " bytes, type " +
              hex2(static_cast<unsigned>(imageType_)) + (good ? ", flashed" : ", flash failed"));
    send(out, {kVerdictLead, kCommandPrefix, result});
}

std::string FirmwareDownload::stateLine() const {
    return std::string("stage=") + stageName(stage_) + " baud=" + std::to_string(baud()) +
           " outcome=" + downloadOutcomeName(outcome_) +
           " image=" + std::to_string(image_.size()) +
           " type=" + (imageType_ < 0 ? std::string("none") : hex2(static_cast<unsigned>(imageType_)));
}

} // namespace qd470sim
