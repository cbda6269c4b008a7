// tarvis-psk31 as an operator runs it: encoding text to a recording, decoding recordings,
// and refusing files it cannot read with a message that says why.
#include "pskcore/WavFile.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <sys/wait.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace tarvis::pskcore;

struct ToolRun {
    int status = -1;
    std::string out; // standard output and error together
};

ToolRun Tool(const std::string& arguments) {
    ToolRun run;
    const std::string command = std::string(TARVIS_PSK31_TOOL) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.out.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class Psk31ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("psk31tool-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }

    fs::path dir_;
};

TEST_F(Psk31ToolTest, EncodeThenDecodeGivesTheText) {
    ASSERT_EQ(Tool("encode " + Path("a.wav") + " 'CQ CQ de K1ABC pse k'").status, 0);
    WavAudio audio;
    std::string error;
    ASSERT_TRUE(ReadWav(Path("a.wav"), audio, error)) << error;
    EXPECT_EQ(audio.sampleRate, 8000);
    const ToolRun decoded = Tool("decode " + Path("a.wav"));
    EXPECT_EQ(decoded.status, 0);
    EXPECT_EQ(decoded.out, "CQ CQ de K1ABC pse k\n");

    // Another frequency: found there, not at the default.
    ASSERT_EQ(Tool("encode --freq 1800 " + Path("b.wav") + " hello").status, 0);
    EXPECT_EQ(Tool("decode --freq 1800 --afc --squelch 50 " + Path("b.wav")).out, "hello\n");
    EXPECT_EQ(Tool("decode --squelch 50 " + Path("b.wav")).out, "");
}

TEST_F(Psk31ToolTest, UnreadableFilesAndBadArgumentsGetAClearMessage) {
    auto header = [](int format, int channels, int rate, int bits, std::uint32_t dataBytes) {
        std::string h = "RIFF";
        auto le = [&h](std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i) {
                h.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
            }
        };
        le(36 + dataBytes, 4);
        h += "WAVEfmt ";
        le(16, 4);
        le(format, 2);
        le(channels, 2);
        le(rate, 4);
        le(rate * channels * bits / 8, 4);
        le(channels * bits / 8, 2);
        le(bits, 2);
        h += "data";
        le(dataBytes, 4);
        return h;
    };
    Write("text.wav", "this is not audio at all");
    Write("rate.wav", header(1, 1, 44100, 16, 4) + std::string(4, '\0'));
    Write("cut.wav", header(1, 1, 8000, 16, 1000) + std::string(10, '\0'));
    Write("adpcm.wav", header(2, 1, 8000, 4, 4) + std::string(4, '\0'));
    Write("empty.wav", "");
    struct Case {
        std::string arguments;
        std::string message;
        int status;
    } cases[] = {
        {"decode " + Path("text.wav"), "not a WAV file", 1},
        {"decode " + Path("empty.wav"), "not a WAV file", 1},
        {"decode " + Path("rate.wav"), "44100 samples a second; PSK31 audio must be 8000", 1},
        {"decode " + Path("cut.wav"), "truncated", 1},
        {"decode " + Path("adpcm.wav"), "unsupported WAV encoding", 1},
        {"decode " + Path("missing.wav"), "cannot be opened", 1},
        {"decode --freq 5000 " + Path("text.wav"), "--freq takes a frequency", 2},
        {"decode --squelch 150 " + Path("text.wav"), "--squelch takes a threshold", 2},
        {"decode --bogus " + Path("text.wav"), "unknown option --bogus", 2},
        {"encode " + Path("x.wav"), "usage:", 2},
        {"transmit", "usage:", 2},
        {"encode " + Path("no/such/dir/x.wav") + " hi", "cannot be written", 1},
    };
    for (const Case& c : cases) {
        const ToolRun run = Tool(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_NE(run.out.find(c.message), std::string::npos) << c.arguments << ": " << run.out;
    }
}

TEST_F(Psk31ToolTest, StereoEightBitAndFloatRecordingsAreConverted) {
    // The same transmission in three other encodings decodes the same.
    ASSERT_EQ(Tool("encode " + Path("a.wav") + " 'tnx fer call'").status, 0);
    WavAudio audio;
    std::string error;
    ASSERT_TRUE(ReadWav(Path("a.wav"), audio, error));
    auto write = [&](const std::string& name, int format, int channels, int bits) {
        std::string data;
        for (const float s : audio.samples) {
            for (int c = 0; c < channels; ++c) {
                if (format == 3) {
                    std::uint32_t v;
                    std::memcpy(&v, &s, 4);
                    for (int i = 0; i < 4; ++i) {
                        data.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
                    }
                } else {
                    data.push_back(static_cast<char>(static_cast<int>(s * 127.0f) + 128));
                }
            }
        }
        std::string h = "RIFF";
        auto le = [&h](std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i) {
                h.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
            }
        };
        le(static_cast<std::uint32_t>(36 + data.size()), 4);
        h += "WAVEfmt ";
        le(16, 4);
        le(format, 2);
        le(channels, 2);
        le(8000, 4);
        le(8000 * channels * bits / 8, 4);
        le(channels * bits / 8, 2);
        le(bits, 2);
        h += "data";
        le(static_cast<std::uint32_t>(data.size()), 4);
        Write(name, h + data);
    };
    write("stereo-float.wav", 3, 2, 32);
    write("mono-8bit.wav", 1, 1, 8);
    for (const char* name : {"stereo-float.wav", "mono-8bit.wav"}) {
        EXPECT_EQ(Tool("decode " + Path(name)).out, "tnx fer call\n") << name;
    }
}

} // namespace
