// The PSK31 modem on its own: the alphabet, the transmitted waveform, and the receiver on
// clean, noisy, shifted and hostile audio.
#include "pskcore/AudioChannel.h"
#include "pskcore/Psk31Demodulator.h"
#include "pskcore/Psk31Modulator.h"
#include "pskcore/Varicode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace tarvis::pskcore;

constexpr int kRate = 8000;
constexpr int kSymbol = 256; // samples a symbol at 31.25 baud

std::vector<float> Transmit(const std::string& text, double frequency, float amplitude = 0.5f) {
    Psk31Modulator tx(kRate);
    tx.SetFrequency(frequency);
    tx.SetAmplitude(amplitude);
    tx.Start();
    tx.Queue(text);
    tx.Finish();
    std::vector<float> audio(kRate / 2, 0.0f);
    float block[100];
    while (tx.Transmitting()) {
        tx.Produce(block, std::size(block));
        audio.insert(audio.end(), std::begin(block), std::end(block));
    }
    audio.resize(audio.size() + kRate / 2, 0.0f);
    return audio;
}

struct Reception {
    double frequency = 1000.0;
    double afcLimit = 0.0;
    int squelch = 0;
};

std::string Receive(const std::vector<float>& audio, const Reception& r = {}) {
    Psk31Demodulator rx(kRate);
    rx.SetFrequency(r.frequency, 10.0);
    rx.SetAfcLimit(r.afcLimit);
    rx.SetSquelch(r.squelch);
    std::string text;
    rx.Process(audio.data(), audio.size(),
               [&text](std::uint8_t c) { text.push_back(static_cast<char>(c)); });
    return text;
}

std::vector<float> ThroughChannel(const std::vector<float>& audio, double snrDb,
                                  double offsetHz = 0.0, double ppm = 0.0, std::uint32_t seed = 7) {
    ChannelConditions c;
    c.noisePower3k = SignalPower(audio) / std::pow(10.0, snrDb / 10.0);
    c.offsetHz = offsetHz;
    c.clockErrorPpm = ppm;
    c.seed = seed;
    AudioChannel channel(c, kRate);
    std::vector<float> out;
    channel.Pass(audio.data(), audio.size(), out);
    return out;
}

// Every byte value, printable text first so a failure is easy to read.
std::string AllBytes() {
    std::string text = "The quick brown fox jumps over the lazy dog 0123456789 "
                       "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~\r\n";
    for (int c = 0; c < 256; ++c) {
        text.push_back(static_cast<char>(c));
    }
    return text;
}

TEST(Varicode, CodesAreDistinctGapFreeAndDecodeBack) {
    std::set<std::string_view> seen;
    VaricodeDecoder decoder;
    for (int c = 0; c < 256; ++c) {
        const std::string_view code = VaricodeOf(static_cast<std::uint8_t>(c));
        ASSERT_FALSE(code.empty()) << c;
        EXPECT_TRUE(seen.insert(code).second) << "duplicate code for " << c;
        EXPECT_EQ(code.find("00"), std::string_view::npos) << c;
        EXPECT_EQ(code.front(), '1') << c;
        EXPECT_EQ(code.back(), '1') << c;
        int decoded = -1;
        for (const char bit : "00" + std::string(code) + "00") {
            const int out = decoder.Push(bit == '1');
            if (out >= 0) {
                EXPECT_EQ(decoded, -1) << "two characters from one code " << c;
                decoded = out;
            }
        }
        EXPECT_EQ(decoded, c);
    }
    // The established codes of a few characters.
    EXPECT_EQ(VaricodeOf(' '), "1");
    EXPECT_EQ(VaricodeOf('e'), "11");
    EXPECT_EQ(VaricodeOf('a'), "1011");
    EXPECT_EQ(VaricodeOf('E'), "1110111");
    EXPECT_EQ(VaricodeOf('\r'), "11111");
    EXPECT_EQ(VaricodeOf('\n'), "11101");
    EXPECT_EQ(VaricodeOf('0'), "10110111");
}

TEST(Varicode, IdleLongRunsAndGarbageGiveNothing) {
    VaricodeDecoder decoder;
    int characters = 0;
    // Bits before the first gap may be the end of a character missed.
    for (const char bit : std::string("1011") + "00") {
        characters += decoder.Push(bit == '1') >= 0;
    }
    for (int i = 0; i < 100; ++i) {
        characters += decoder.Push(0) >= 0; // idle
    }
    for (int i = 0; i < 100; ++i) {
        characters += decoder.Push(1) >= 0; // steady carrier
    }
    characters += decoder.Push(0) >= 0;
    characters += decoder.Push(0) >= 0; // the end of a run too long for any code
    EXPECT_EQ(characters, 0);
    for (const char bit : std::string("1011") + "00") {
        characters += decoder.Push(bit == '1') == 'a';
    }
    EXPECT_EQ(characters, 1);
}

TEST(Psk31Modulator, EnvelopeReversesAlongACosineAtTheSymbolRate) {
    // At 0 Hz the output is the envelope itself.
    Psk31Modulator tx(kRate);
    tx.SetFrequency(0.0);
    tx.SetAmplitude(1.0f);
    tx.Start();
    tx.Queue("e"); // 11 then the gap 00
    tx.Finish();
    std::vector<float> out;
    float block[kSymbol];
    while (tx.Transmitting()) {
        tx.Produce(block, kSymbol);
        out.insert(out.end(), std::begin(block), std::end(block));
    }
    const int preamble = 32;
    // Keying up: the first symbol rises from silence, then every symbol reverses.
    EXPECT_NEAR(out[0], 0.0, 1e-6);
    EXPECT_NEAR(out[kSymbol - 1], 1.0, 1e-3);
    for (int s = 1; s < preamble; ++s) {
        const float from = (s % 2 == 1) ? 1.0f : -1.0f;
        for (int i = 0; i < kSymbol; i += 16) {
            EXPECT_NEAR(out[s * kSymbol + i], from * std::cos(std::numbers::pi * i / kSymbol), 1e-4)
                << "symbol " << s << " sample " << i;
        }
    }
    // "e": two ones keep the phase, the gap reverses twice, the tail holds it, then it fades.
    const float level = out[preamble * kSymbol];
    const std::vector<float> expected = {level, level, -level, level};
    for (std::size_t s = 0; s < expected.size(); ++s) {
        EXPECT_NEAR(out[(preamble + 1 + s) * kSymbol], expected[s], 1e-6) << "data symbol " << s;
    }
    EXPECT_NEAR(out[(preamble + 5) * kSymbol + kSymbol / 2], level, 1e-6); // steady tail
    EXPECT_NEAR(out.back(), 0.0, 1e-3);                                    // faded out
    EXPECT_EQ(out.size(), static_cast<std::size_t>((preamble + 5 + 32 + 1) * kSymbol));
}

TEST(Psk31Modulator, IdleSignalIsTwoLinesHalfTheSymbolRateEitherSide) {
    Psk31Modulator tx(kRate);
    tx.SetFrequency(1000.0);
    tx.Start();
    std::vector<float> out(64 * kSymbol);
    tx.Produce(out.data(), out.size());
    // Skip the rise from silence; look at a whole number of periods of every line.
    const std::size_t first = 2 * kSymbol;
    const std::size_t count = 32 * kSymbol;
    auto power = [&](double hz) {
        std::complex<double> sum = 0.0;
        for (std::size_t n = first; n < first + count; ++n) {
            sum += static_cast<double>(out[n]) *
                   std::polar(1.0, -2.0 * std::numbers::pi * hz * n / kRate);
        }
        return 2.0 * std::norm(sum) / (static_cast<double>(count) * count);
    };
    double total = 0.0;
    for (std::size_t n = first; n < first + count; ++n) {
        total += static_cast<double>(out[n]) * out[n];
    }
    total /= static_cast<double>(count);
    const double lines = power(1000.0 - 15.625) + power(1000.0 + 15.625);
    EXPECT_GT(lines / total, 0.999);
    EXPECT_LT(power(1000.0) / total, 1e-4);
    EXPECT_LT((power(1000.0 - 46.875) + power(1000.0 + 46.875)) / total, 1e-4);
}

TEST(Psk31Modulator, CharactersCountUntilTheirLastBitHasGone) {
    Psk31Modulator tx(kRate);
    tx.SetFrequency(1000.0);
    tx.Queue("ab");
    EXPECT_EQ(tx.CharactersRemaining(), 2u);
    float block[kSymbol];
    tx.Produce(block, kSymbol); // not keyed: the characters wait
    EXPECT_FALSE(tx.Transmitting());
    EXPECT_EQ(tx.CharactersRemaining(), 2u);
    tx.Start();
    std::vector<std::pair<std::uint8_t, std::size_t>> sent;
    std::size_t produced = 0;
    for (int s = 0; s < 60; ++s) {
        tx.Produce(block, kSymbol, [&](std::uint8_t c) { sent.emplace_back(c, produced); });
        produced += kSymbol;
    }
    // 'a' is 1011 + 00 and 'b' 1011111 + 00: six and nine symbols after the preamble of 32.
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].first, 'a');
    EXPECT_EQ(sent[0].second, (32 + 6) * kSymbol);
    EXPECT_EQ(sent[1].first, 'b');
    EXPECT_EQ(sent[1].second, (32 + 6 + 9) * kSymbol);
    EXPECT_EQ(tx.CharactersRemaining(), 0u);
    EXPECT_TRUE(tx.Transmitting()); // idling until told to finish
    tx.Abort();
    tx.Produce(block, kSymbol);
    EXPECT_FALSE(tx.Transmitting());
}

TEST(Psk31Receiver, CleanSignalGivesTheTextExactly) {
    const std::string text = AllBytes();
    for (const double frequency : {500.0, 1000.0, 1500.0, 2750.0}) {
        Reception r;
        r.frequency = frequency;
        EXPECT_EQ(Receive(Transmit(text, frequency), r), text) << frequency << " Hz";
    }
    // Quiet or loud: only the shape of the signal matters.
    EXPECT_EQ(Receive(Transmit(text, 1000.0, 0.001f)), text);
    EXPECT_EQ(Receive(Transmit(text, 1000.0, 1.0f)), text);
}

TEST(Psk31Receiver, ModerateNoiseOffsetsAndClockErrorsStillGiveTheText) {
    const std::string text = "CQ CQ de K1ABC K1ABC pse k\rThe quick brown fox 0123456789\r";
    struct Case {
        double snr;
        double offset;
        double ppm;
        double afc;
    } cases[] = {
        {0.0, 0.0, 0.0, 0.0},                              // noise
        {0.0, 4.0, 0.0, 0.0},                              // within the capture range
        {0.0, 0.0, 200.0, 0.0},                            // sound card clocks apart
        {0.0, 0.0, -200.0, 0.0},  {-5.0, 30.0, 0.0, 50.0}, // AFC pulls the carrier in
        {-5.0, -45.0, 0.0, 50.0},
    };
    for (const Case& c : cases) {
        Reception r;
        r.afcLimit = c.afc;
        r.squelch = 69; // what is heard before the signal is noise
        const std::string got =
            Receive(ThroughChannel(Transmit(text, 1000.0), c.snr, c.offset, c.ppm), r);
        if (c.afc == 0.0) {
            EXPECT_EQ(got, text) << "SNR " << c.snr << " offset " << c.offset << " ppm " << c.ppm;
        } else {
            // Pulling a far carrier in takes about a second: the first word may be lost,
            // but nothing else, and nothing is made up.
            EXPECT_TRUE(text.ends_with(got) && got.size() + 8 >= text.size())
                << "offset " << c.offset << ": " << got;
        }
    }
}

TEST(Psk31Receiver, WithoutAfcAFarSignalIsNotFollowed) {
    const std::string text = "The quick brown fox jumps over the lazy dog";
    const std::vector<float> audio = ThroughChannel(Transmit(text, 1000.0), 10.0, 30.0);
    const std::string pulledIn = Receive(audio, {1000.0, 50.0, 69});
    EXPECT_TRUE(text.ends_with(pulledIn) && pulledIn.size() + 8 >= text.size()) << pulledIn;
    EXPECT_EQ(Receive(audio, {1000.0, 0.0, 0}).find("quick"), std::string::npos);
}

TEST(Psk31Receiver, SquelchKeepsNoiseAndHostileAudioOut) {
    std::mt19937 random(3);
    std::normal_distribution<float> gauss(0.0f, 0.3f);
    std::vector<float> noise(60 * kRate);
    for (float& s : noise) {
        s = gauss(random);
    }
    // Open, the receiver makes characters of noise; the default threshold keeps them all out.
    EXPECT_GT(Receive(noise, {1000.0, 0.0, 0}).size(), 10u);
    EXPECT_EQ(Receive(noise, {1000.0, 0.0, 69}), "");
    EXPECT_EQ(Receive(noise, {1000.0, 50.0, 69}), "");

    // Silence, a steady carrier on the frequency, a strong carrier beside it, DC, clipped
    // noise and broken samples: no characters, no crash.
    std::vector<std::vector<float>> hostile;
    hostile.emplace_back(10 * kRate, 0.0f);
    hostile.emplace_back(10 * kRate, 0.7f);
    std::vector<float> carrier(10 * kRate);
    std::vector<float> beside(10 * kRate);
    for (std::size_t n = 0; n < carrier.size(); ++n) {
        carrier[n] =
            0.9f * static_cast<float>(std::cos(2.0 * std::numbers::pi * 1000.0 * n / kRate));
        beside[n] =
            1.0f * static_cast<float>(std::cos(2.0 * std::numbers::pi * 1040.0 * n / kRate));
    }
    hostile.push_back(carrier);
    hostile.push_back(beside);
    std::vector<float> clipped(noise.begin(), noise.begin() + 10 * kRate);
    for (float& s : clipped) {
        s = std::clamp(s * 10.0f, -1.0f, 1.0f);
    }
    hostile.push_back(clipped);
    std::vector<float> broken(10 * kRate, std::numeric_limits<float>::quiet_NaN());
    broken[5] = std::numeric_limits<float>::infinity();
    hostile.push_back(broken);
    for (std::size_t i = 0; i < hostile.size(); ++i) {
        EXPECT_EQ(Receive(hostile[i], {1000.0, 50.0, 69}), "") << "case " << i;
    }
    // A clean carrier holds no reversals, so even open it gives nothing.
    EXPECT_EQ(Receive(carrier, {1000.0, 0.0, 0}), "");

    // The receiver recovers after broken samples.
    std::vector<float> after = broken;
    const std::vector<float> signal = Transmit("hello world", 1000.0);
    after.insert(after.end(), signal.begin(), signal.end());
    EXPECT_EQ(Receive(after, {1000.0, 0.0, 69}), "hello world");
}

} // namespace
