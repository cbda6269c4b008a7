// tarvis-psk31: the program's PSK31 modem on recordings.
//   tarvis-psk31 decode [--freq HZ] [--afc] [--squelch N] FILE.wav   prints the decoded text
//   tarvis-psk31 encode [--freq HZ] FILE.wav TEXT                    writes TEXT as PSK31
#include "pskcore/Psk31Demodulator.h"
#include "pskcore/Psk31Modulator.h"
#include "pskcore/WavFile.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tarvis::pskcore;

constexpr int kSampleRate = 8000;
// As the program asks of the engine: AFC pulls up to 50 Hz, without it the receiver follows a
// signal within 10 Hz of the frequency.
constexpr double kAfcLimitHz = 50.0;
constexpr double kCaptureHz = 10.0;

int Usage() {
    std::cerr << "usage: tarvis-psk31 decode [--freq HZ] [--afc] [--squelch N] FILE.wav\n"
                 "       tarvis-psk31 encode [--freq HZ] FILE.wav TEXT\n";
    return 2;
}

std::optional<int> Number(const std::string& text, int low, int high) {
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size() && value >= low && value <= high) {
            return value;
        }
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

struct Options {
    int frequency = 1000;
    bool afc = false;
    int squelch = 0;
    std::vector<std::string> rest;
};

bool Parse(int argc, char** argv, bool decoding, Options& o) {
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--freq" && i + 1 < argc) {
            const auto f = Number(argv[++i], 100, kSampleRate / 2 - 100);
            if (!f) {
                std::cerr << "tarvis-psk31: --freq takes a frequency from 100 to 3900 Hz\n";
                return false;
            }
            o.frequency = *f;
        } else if (decoding && arg == "--afc") {
            o.afc = true;
        } else if (decoding && arg == "--squelch" && i + 1 < argc) {
            const auto s = Number(argv[++i], 0, 99);
            if (!s) {
                std::cerr << "tarvis-psk31: --squelch takes a threshold from 0 to 99\n";
                return false;
            }
            o.squelch = *s;
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            std::cerr << "tarvis-psk31: unknown option " << arg << "\n";
            return false;
        } else {
            o.rest.push_back(arg);
        }
    }
    return true;
}

int Decode(const Options& o) {
    if (o.rest.size() != 1) {
        return Usage();
    }
    WavAudio audio;
    std::string error;
    if (!ReadWav(o.rest[0], audio, error)) {
        std::cerr << "tarvis-psk31: " << error << "\n";
        return 1;
    }
    Psk31Demodulator receiver(kSampleRate);
    receiver.SetFrequency(o.frequency, kCaptureHz);
    receiver.SetAfcLimit(o.afc ? kAfcLimitHz : 0.0);
    receiver.SetSquelch(o.squelch);
    std::string text;
    receiver.Process(audio.samples.data(), audio.samples.size(),
                     [&text](std::uint8_t c) { text.push_back(static_cast<char>(c)); });
    // Flush the receiver with a moment of silence so the last character comes out.
    const std::vector<float> silence(kSampleRate / 2, 0.0f);
    receiver.Process(silence.data(), silence.size(),
                     [&text](std::uint8_t c) { text.push_back(static_cast<char>(c)); });
    std::cout << text;
    if (!text.empty() && text.back() != '\n') {
        std::cout << '\n';
    }
    return std::cout.good() ? 0 : 1;
}

int Encode(const Options& o) {
    if (o.rest.size() != 2) {
        return Usage();
    }
    Psk31Modulator transmitter(kSampleRate);
    transmitter.SetFrequency(o.frequency);
    transmitter.Start();
    transmitter.Queue(o.rest[1]);
    transmitter.Finish();
    WavAudio audio;
    audio.sampleRate = kSampleRate;
    float block[256];
    while (transmitter.Transmitting()) {
        transmitter.Produce(block, std::size(block));
        audio.samples.insert(audio.samples.end(), std::begin(block), std::end(block));
    }
    std::string error;
    if (!WriteWav(o.rest[0], audio, error)) {
        std::cerr << "tarvis-psk31: " << error << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    const bool decoding = command == "decode";
    if (!decoding && command != "encode") {
        return Usage();
    }
    Options options;
    if (!Parse(argc, argv, decoding, options)) {
        return 2;
    }
    return decoding ? Decode(options) : Encode(options);
}
