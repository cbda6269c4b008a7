// The modem's firmware download side: after 80 6A 80 07 it answers the raw byte 6A and listens
// at 57600 baud, answers 80 0F with 0F, erases its flash for the image type (80 00 for the DSP's
// .lod image, 80 01 for the CPU's .s28 image; echoing the type, or 02 when the erase fails),
// stores the image the host streams until its end record, gives its verdict as 02 80 RESULT and
// goes back to normal operation at 9600 baud on 80 09.
#pragma once

#include "sim/protocol.h"

#include <cstdint>
#include <span>
#include <optional>
#include <string>
#include <string_view>

namespace qd470sim {

class LogSink;

inline constexpr int kNormalBaud = 9600;
inline constexpr int kDownloadBaud = 57600;

// What the next download's flash erase and verdict will be.
// NoVerdict: the modem stores the image and then says nothing, as one that hangs would.
enum class DownloadOutcome { Success, Failure, EraseFailure, NoVerdict };
std::optional<DownloadOutcome> parseDownloadOutcome(std::string_view name);
const char* downloadOutcomeName(DownloadOutcome outcome);

class FirmwareDownload {
public:
    explicit FirmwareDownload(LogSink& log) : log_(log) {}

    // True from the speed step until the reset: the host's bytes are the download's, not
    // commands for the normal firmware.
    bool active() const { return stage_ != Stage::Idle; }
    // The speed the modem listens at.
    int baud() const { return active() ? kDownloadBaud : kNormalBaud; }

    // The host asked for the download speed (80 6A 80 07); the answer goes to `out`.
    void begin(Bytes& out);
    // Host bytes while active. `firmwareStatus` follows the verdict: a good image repairs the
    // part it was for, a bad one damages it.
    void fromHost(std::span<const std::uint8_t> bytes, Bytes& out,
                  std::optional<std::uint8_t>& firmwareStatus);
    // The host has let go of the port: a download it left unfinished is given up.
    void portReleased();

    void setOutcome(DownloadOutcome outcome) { outcome_ = outcome; }
    DownloadOutcome outcome() const { return outcome_; }

    // The last image received (whole, or as far as the host sent it) and its type byte.
    const Bytes& image() const { return image_; }
    int imageType() const { return imageType_; }

    // One line of "key=value" pairs.
    std::string stateLine() const;

private:
    enum class Stage { Idle, AwaitStart, AwaitType, Receiving, AwaitReset };
    void command(std::uint8_t code, Bytes& out);
    void imageByte(std::uint8_t b, Bytes& out, std::optional<std::uint8_t>& firmwareStatus);
    void verdict(Bytes& out, std::optional<std::uint8_t>& firmwareStatus);
    void send(Bytes& out, std::initializer_list<std::uint8_t> bytes);
    static const char* stageName(Stage stage);

    LogSink& log_;
    Stage stage_ = Stage::Idle;
    DownloadOutcome outcome_ = DownloadOutcome::Success;
    bool prefixSeen_ = false;
    Bytes image_;
    int imageType_ = -1;
    std::size_t lineStart_ = 0;
};

} // namespace qd470sim
