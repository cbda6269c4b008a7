// The PSK31 receiver against white noise: character error rate for each signal-to-noise
// ratio (noise measured in 3000 Hz), the ratio where it reaches 1%, and the receiver's share
// of one processor core in real time.
//   tarvis-psk31-bench [--chars N] [--from DB] [--to DB] [--offset HZ] [--afc] [--ppm PPM]
//                      [--seed S]
#include "pskcore/AudioChannel.h"
#include "pskcore/Psk31Demodulator.h"
#include "pskcore/Psk31Modulator.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace tarvis::pskcore;

constexpr int kSampleRate = 8000;
constexpr double kFrequency = 1000.0;

// Mixed text: words of lower and upper case, digits, punctuation and line breaks.
std::string MixedText(std::size_t length, std::uint32_t seed) {
    static const char* const kWords[] = {
        "the",   "quick", "brown", "fox",        "jumps",   "over",    "lazy", "dog", "CQ",
        "DE",    "QTH",   "RST",   "599",        "73",      "name",    "rig",  "ant", "wx",
        "Hello", "PSK31", "test",  "2024",       "via",     "K1ABC/P", "op:",  "UR",  "tnx",
        "QSO!",  "fb",    "(ok)",  "ant=dipole", "pwr 50W", "$5",      "#9",   "a+b", "x-y"};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < length) {
        text += kWords[random() % std::size(kWords)];
        const auto r = random() % 12;
        text += r == 0 ? ". " : r == 1 ? ", " : r == 2 ? "\r" : " ";
    }
    text.resize(length);
    return text;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = up;
        }
    }
    return row[b.size()];
}

struct Options {
    std::size_t chars = 2000;
    double from = 10.0;
    double to = -15.0;
    double offset = 0.0;
    bool afc = false;
    double ppm = 0.0;
    std::uint32_t seed = 1;
};

std::vector<float> Transmission(const std::string& text) {
    Psk31Modulator tx(kSampleRate);
    tx.SetFrequency(kFrequency);
    tx.Start();
    tx.Queue(text);
    tx.Finish();
    // From keying up to the end of the tail: the receiver is measured on the transmission,
    // not on the noise around it.
    std::vector<float> audio;
    float block[256];
    while (tx.Transmitting()) {
        tx.Produce(block, std::size(block));
        audio.insert(audio.end(), std::begin(block), std::end(block));
    }
    return audio;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> double {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", arg.c_str());
                std::exit(2);
            }
            return std::atof(argv[++i]);
        };
        if (arg == "--chars") {
            o.chars = static_cast<std::size_t>(value());
        } else if (arg == "--from") {
            o.from = value();
        } else if (arg == "--to") {
            o.to = value();
        } else if (arg == "--offset") {
            o.offset = value();
        } else if (arg == "--afc") {
            o.afc = true;
        } else if (arg == "--ppm") {
            o.ppm = value();
        } else if (arg == "--seed") {
            o.seed = static_cast<std::uint32_t>(value());
        } else {
            std::fprintf(stderr, "usage: tarvis-psk31-bench [--chars N] [--from DB] [--to DB] "
                                 "[--offset HZ] [--afc] [--ppm PPM] [--seed S]\n");
            return 2;
        }
    }
    const std::string text = MixedText(o.chars, o.seed);
    const std::vector<float> clean = Transmission(text);
    const double power = SignalPower(clean);
    std::printf(
        "%zu characters, %.1f s of audio a point, offset %.1f Hz, AFC %s, clock %+.0f ppm\n",
        text.size(), static_cast<double>(clean.size()) / kSampleRate, o.offset,
        o.afc ? "on" : "off", o.ppm);
    std::printf("SNR(dB/3kHz)   CER\n");
    double receiveSeconds = 0.0;
    double audioSeconds = 0.0;
    double onePercent = NAN;
    bool allBelow = true;
    for (double snr = o.from; snr >= o.to - 1e-9; snr -= 1.0) {
        ChannelConditions conditions;
        conditions.noisePower3k = power / std::pow(10.0, snr / 10.0);
        conditions.offsetHz = o.offset;
        conditions.clockErrorPpm = o.ppm;
        conditions.seed = o.seed * 1000u + static_cast<std::uint32_t>(snr + 100.0);
        AudioChannel channel(conditions, kSampleRate);
        std::vector<float> heard;
        heard.reserve(clean.size() + clean.size() / 1000);
        channel.Pass(clean.data(), clean.size(), heard);

        Psk31Demodulator rx(kSampleRate);
        rx.SetFrequency(kFrequency, 10.0);
        rx.SetAfcLimit(o.afc ? 50.0 : 0.0);
        std::string decoded;
        const auto start = std::chrono::steady_clock::now();
        rx.Process(heard.data(), heard.size(),
                   [&decoded](std::uint8_t c) { decoded.push_back(static_cast<char>(c)); });
        receiveSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        audioSeconds += static_cast<double>(heard.size()) / kSampleRate;
        const double cer =
            static_cast<double>(EditDistance(text, decoded)) / static_cast<double>(text.size());
        std::printf("%+6.1f       %8.4f%%\n", snr, 100.0 * cer);
        std::fflush(stdout);
        if (cer > 0.01) {
            allBelow = false;
        } else if (allBelow) {
            onePercent = snr;
        }
    }
    std::printf("lowest SNR with CER <= 1%% (all points above it too): %+.1f dB\n", onePercent);
    std::printf("receiver CPU: %.3f%% of one core in real time\n",
                100.0 * receiveSeconds / audioSeconds);
    return 0;
}
