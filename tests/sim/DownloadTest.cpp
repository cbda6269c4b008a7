#include "sim/control.h"
#include "sim/modem.h"
#include "tests/sim/TestBytes.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace qd470sim;

namespace {

struct Log : LogSink {
    std::vector<std::string> lines;
    void line(std::string_view text) override { lines.emplace_back(text); }
    bool has(const std::string& text) const {
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }
};

std::string say(Modem& modem, std::string_view bytes) {
    modem.fromHost({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return hexBytes(modem.takeOutput());
}

std::string ask(Modem& modem, const char* hex) {
    modem.fromHost(hexToBytes(hex));
    return hexBytes(modem.takeOutput());
}

const std::string kImage = "S00600004844521B\nS2140000000102030405060708090A0B0C0D0E0F1011D6\n";

// Brings the modem to the point where it takes the image of `type` ("00" or "01").
void ready(Modem& modem, const char* type) {
    ask(modem, "80 A0");
    EXPECT_EQ(ask(modem, "80 84"), "80 84");
    EXPECT_EQ(ask(modem, "80 6A 80 07"), "6A");
    modem.setHostLineSpeed(kDownloadBaud);
    EXPECT_EQ(ask(modem, "80 0F"), "0F");
    EXPECT_EQ(ask(modem, (std::string("80 ") + type).c_str()), type);
}

TEST(Download, StoresTheImageGivesTheVerdictAtTheEndRecordAndResetsToNormal) {
    Log log;
    ModemIdentity id;
    Modem modem(id, log);
    modem.setHostLineSpeed(kNormalBaud);
    ready(modem, "01");
    // The image in pieces; nothing is answered before its end record.
    EXPECT_EQ(say(modem, kImage.substr(0, 5)), "");
    EXPECT_EQ(say(modem, kImage.substr(5)), "");
    EXPECT_EQ(say(modem, "S804000000FB\n"), "02 80 0A");
    const std::string all = kImage + "S804000000FB\n";
    EXPECT_EQ(std::string(modem.download().image().begin(), modem.download().image().end()), all);
    EXPECT_TRUE(log.has("download: image of 77 bytes, type 01, flashed"));
    EXPECT_EQ(ask(modem, "80 09"), "");
    EXPECT_FALSE(modem.download().active());
    modem.setHostLineSpeed(kNormalBaud);
    EXPECT_EQ(ask(modem, "80 02"), "80 02 80 0A");
    EXPECT_EQ(modem.speedErrors(), 0u);
}

TEST(Download, TheFirstCommandIsAnsweredOnlyOnceTheModemIsUpAndIdentified) {
    Log log;
    ModemIdentity id;
    Modem modem(id, log);
    // The start-up exchange's 80 84 is not answered.
    EXPECT_EQ(ask(modem, "80 41 80 46 80 84"), "");
    ask(modem, "80 02 80 76 80 77 80 78 80 7B 80 A0");
    EXPECT_EQ(ask(modem, "80 84"), "80 84");
    // A reset, or a host letting go of the port, starts afresh.
    EXPECT_EQ(ask(modem, "80 09 80 84"), "");
    ask(modem, "80 A0");
    modem.portReleased();
    EXPECT_EQ(ask(modem, "80 84"), "");
}

TEST(Download, OutcomesFollowTheControlCommandAndTheFirmwareStatusFollowsTheVerdict) {
    struct Case {
        const char* control;
        std::uint8_t startStatus;
        const char* type;
        const char* eraseAnswer;
        const char* verdict;
        const char* statusAfter;
    } cases[] = {
        {"download success", 0x06, "00", "00", "02 80 0A", "80 02 80 04"},
        {"download success", 0x02, "00", "00", "02 80 0A", "80 02 80 0A"},
        {"download fail", 0x0A, "01", "01", "02 80 04", "80 02 80 04"},
        {"download fail", 0x04, "00", "00", "02 80 02", "80 02 80 06"},
        {"download no-verdict", 0x0A, "01", "01", "", "80 02 80 0A"},
        {"download erase-fail", 0x0A, "01", "02", nullptr, "80 02 80 0A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " " + c.type);
        Log log;
        ModemIdentity id;
        id.firmwareStatus = c.startStatus;
        Modem modem(id, log);
        EXPECT_TRUE(runControl(modem, c.control).text.starts_with("ok download"));
        EXPECT_EQ(ask(modem, "80 6A 80 07"), "6A");
        EXPECT_EQ(ask(modem, "80 0F"), "0F");
        EXPECT_EQ(ask(modem, (std::string("80 ") + c.type).c_str()), c.eraseAnswer);
        if (c.verdict != nullptr) {
            EXPECT_EQ(say(modem, "_DATA P 0000\n_END 0000\n"), c.verdict);
        }
        EXPECT_EQ(ask(modem, "80 09"), "");
        EXPECT_EQ(ask(modem, "80 02"), c.statusAfter);
    }
}

TEST(Download, ACommandPrefixBreaksTheImageOffAndWrongSpeedsAreRefused) {
    Log log;
    ModemIdentity id;
    Modem modem(id, log);
    ready(modem, "01");
    EXPECT_EQ(say(modem, "S0060000"), "");
    EXPECT_EQ(ask(modem, "80 09"), "");
    EXPECT_TRUE(log.has("download: image broken off after 8 bytes"));
    EXPECT_FALSE(modem.download().active());

    // Back at 9600 baud; a host still at 57600 is not understood.
    EXPECT_EQ(ask(modem, "80 02"), "");
    EXPECT_EQ(modem.speedErrors(), 1u);
    modem.setHostLineSpeed(kNormalBaud);
    EXPECT_EQ(ask(modem, "80 02"), "80 02 80 0A");

    // A host that lets go of the port mid-download leaves the modem at normal speed.
    EXPECT_EQ(ask(modem, "80 6A 80 07"), "6A");
    modem.portReleased();
    EXPECT_EQ(modem.download().baud(), kNormalBaud);
}

TEST(Download, ControlChoosesTheOutcomeAndWritesTheStoredImage) {
    Log log;
    ModemIdentity id;
    Modem modem(id, log);
    EXPECT_EQ(runControl(modem, "download").text,
              "ok download stage=idle baud=9600 outcome=success image=0 type=none speed-errors=0");
    EXPECT_EQ(runControl(modem, "download maybe").text,
              "error: download needs success, fail, erase-fail or no-verdict");
    EXPECT_EQ(runControl(modem, "image").text,
              "error: image needs a file to write the last firmware image to");
    ready(modem, "00");
    say(modem, kImage);
    const auto path = std::filesystem::temp_directory_path() /
                      ("qd470sim-image-" + std::to_string(::getpid()));
    EXPECT_EQ(runControl(modem, "image " + path.string()).text,
              "ok image 64 bytes written to " + path.string());
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kImage);
    std::filesystem::remove(path);
}

} // namespace
