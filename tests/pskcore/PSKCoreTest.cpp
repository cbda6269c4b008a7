// The sound-card engine through its exported functions, with synthetic audio in place of the
// sound card.
#include "pskcore/PSKCore.h"
#include "platform/WindowMessage.h"
#include "pskcore/AudioSource.h"
#include "pskcore/Psk31Demodulator.h"
#include "pskcore/Psk31Modulator.h"
#include "pskcore/Varicode.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <mutex>
#include <numbers>
#include <random>
#include <thread>
#include <vector>

namespace {

using namespace tarvis;
using namespace tarvis::pskcore;
using namespace std::chrono_literals;

constexpr int kBins = 1025;

// What the engine's audio source did, shared between the test and the source it owns.
struct SourceLog {
    std::mutex mutex;
    SampleSink sink;
    bool opens = true;
    int device = -99;
    int sampleRate = 0;
    int factoryCalls = 0;

    void Feed(const std::vector<float>& samples) {
        std::lock_guard lock(mutex);
        if (sink) {
            // Delivered in sound-card sized pieces, as a capture would.
            for (std::size_t i = 0; i < samples.size(); i += 256) {
                sink(samples.data() + i, std::min<std::size_t>(256, samples.size() - i));
            }
        }
    }
};

class FakeSource final : public AudioSource {
public:
    explicit FakeSource(std::shared_ptr<SourceLog> log) : log_(std::move(log)) {}
    bool Start(int sampleRate, SampleSink sink) override {
        std::lock_guard lock(log_->mutex);
        log_->sampleRate = sampleRate;
        if (log_->opens) {
            log_->sink = std::move(sink);
        }
        return log_->opens;
    }
    void Stop() override {
        std::lock_guard lock(log_->mutex);
        log_->sink = nullptr;
    }

private:
    std::shared_ptr<SourceLog> log_;
};

// The engine's playback: the test asks for the transmitted audio, as a sound card would.
struct SinkLog {
    std::mutex mutex;
    SampleProvider provider;
    bool opens = true;
    std::size_t pulled = 0;
    std::vector<float> played;

    // Plays `count` samples; false when nothing is playing.
    bool Pull(std::size_t count) {
        std::lock_guard lock(mutex);
        if (!provider) {
            return false;
        }
        std::vector<float> out(count);
        provider(out.data(), count);
        played.insert(played.end(), out.begin(), out.end());
        pulled += count;
        return true;
    }
};

class FakeSink final : public AudioSink {
public:
    explicit FakeSink(std::shared_ptr<SinkLog> log) : log_(std::move(log)) {}
    bool Start(int /*sampleRate*/, SampleProvider provider) override {
        std::lock_guard lock(log_->mutex);
        if (log_->opens) {
            log_->provider = std::move(provider);
        }
        return log_->opens;
    }
    void Stop() override {
        std::lock_guard lock(log_->mutex);
        log_->provider = nullptr;
    }

private:
    std::shared_ptr<SinkLog> log_;
};

// Stands in for the main window: counts the spectrum messages it is sent and keeps the
// characters.
class Window final : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == static_cast<QEvent::Type>(kSoundCharMessage)) {
            const auto* message = static_cast<WindowMessageEvent*>(e);
            std::string& text = message->lParam() < 0 ? echoed : received;
            text.push_back(static_cast<char>(message->wParam() & 0xFF));
            if (message->lParam() < 0) {
                echoPulled.push_back(sinkLog ? sinkLog->pulled : 0);
            }
            return true;
        }
        if (e->type() == static_cast<QEvent::Type>(kFftDataMessage)) {
            const auto* message = static_cast<WindowMessageEvent*>(e);
            EXPECT_EQ(message->wParam(), 0);
            EXPECT_EQ(message->lParam(), 0);
            ++spectra;
            return true;
        }
        return QObject::event(e);
    }
    int spectra = 0;
    std::string received;
    std::string echoed;
    std::vector<std::size_t> echoPulled; // samples played when each echo arrived
    std::shared_ptr<SinkLog> sinkLog;
};

std::vector<float> Sine(double frequencyHz, double amplitude, std::size_t count,
                        std::size_t start = 0) {
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        samples[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * frequencyHz *
                                                             double(start + i) / 8000.0));
    }
    return samples;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

void PumpFor(std::chrono::milliseconds period) {
    WaitFor([] { return false; }, period);
}

int PeakBin(const std::vector<std::int32_t>& values) {
    return static_cast<int>(std::max_element(values.begin(), values.end()) - values.begin());
}

class PskCoreTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "pskcore_tests";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv); // lives for the whole test program
        }
    }

    void SetUp() override {
        SetAudioSourceFactory([log = log_](int device) -> std::unique_ptr<AudioSource> {
            std::lock_guard lock(log->mutex);
            log->device = device;
            ++log->factoryCalls;
            return std::make_unique<FakeSource>(log);
        });
        SetAudioSinkFactory([log = sinkLog_](int) -> std::unique_ptr<AudioSink> {
            return std::make_unique<FakeSink>(log);
        });
        window_.sinkLog = sinkLog_;
        fnSetFFTMode(0, 255, 1);
        fnSetAFCLimit(0, 0);
        fnSetSquelchThreshold(0, 0, 0);
        fnSetRXFrequency(1000, 10, 0);
        fnSetTXFrequency(1000);
    }

    void TearDown() override {
        fnStopSoundCard();
        SetAudioSourceFactory({});
        SetAudioSinkFactory({});
    }

    std::intptr_t Handle() { return WindowHandle(&window_); }

    std::int32_t Open() { return fnStartSoundCard(Handle(), -1, 1); }

    // The first spectrum of freshly started engine, made from exactly `samples`.
    std::vector<std::int32_t> FirstSpectrum(const std::vector<float>& samples, int maxValue = 255,
                                            int logarithmic = 1) {
        std::vector<std::int32_t> values(kBins, -1);
        EXPECT_EQ(Open(), kSoundCardOpen);
        EXPECT_EQ(fnSetFFTMode(1, maxValue, logarithmic), 0);
        const int before = window_.spectra;
        log_->Feed(samples);
        EXPECT_TRUE(WaitFor([&] { return window_.spectra > before; }));
        EXPECT_EQ(fnGetFFTData(values.data(), 0, kBins - 1), kBins);
        fnStopSoundCard();
        return values;
    }

    // Feeds audio no faster than the engine takes it: a spectrum for every 1024 samples tells
    // that the worker has had them, so its queue never overflows however slow the machine.
    void FeedInStep(const std::vector<float>& samples) {
        ASSERT_EQ(fnSetFFTMode(1, 255, 1), 0);
        std::vector<std::int32_t> values(kBins);
        for (std::size_t i = 0; i < samples.size(); i += 1024) {
            const int before = window_.spectra;
            const auto end =
                samples.begin() + static_cast<std::ptrdiff_t>(std::min(samples.size(), i + 1024));
            log_->Feed(std::vector<float>(samples.begin() + static_cast<std::ptrdiff_t>(i), end));
            // The first spectrum needs 2048 samples; a short last piece makes none.
            if (i >= 1024 && i + 1024 <= samples.size()) {
                ASSERT_TRUE(WaitFor([&] { return window_.spectra > before; }));
            }
            fnGetFFTData(values.data(), 0, kBins - 1);
        }
    }

    std::shared_ptr<SourceLog> log_ = std::make_shared<SourceLog>();
    std::shared_ptr<SinkLog> sinkLog_ = std::make_shared<SinkLog>();
    Window window_;
};

TEST_F(PskCoreTest, ThousandHertzSinePeaksAtBin256) {
    const auto values = FirstSpectrum(Sine(1000.0, 1.0, 2048));
    EXPECT_EQ(PeakBin(values), 256);
    EXPECT_EQ(values[256], 255);
    // Far from the tone the Hann window leaves nothing above the 80 dB floor.
    EXPECT_EQ(values[77], 0);
    EXPECT_EQ(values[512], 0);
    // Bin 77 is 300.78125 Hz.
    const auto low = FirstSpectrum(Sine(300.78125, 1.0, 2048));
    EXPECT_EQ(PeakBin(low), 77);
}

TEST_F(PskCoreTest, ValuesFollowTheChosenScale) {
    struct Case {
        double amplitude;
        int maxValue;
        int logarithmic;
        int expected; // at bin 256, within one step of rounding
    };
    const Case cases[] = {
        {1.0, 255, 1, 255},  // full scale
        {0.1, 255, 1, 191},  // -20 dB: 60 of 80 dB
        {0.01, 255, 1, 128}, // -40 dB: half way
        {0.0001, 255, 1, 0}, // -80 dB: the floor
        {10.0, 255, 1, 255}, // beyond full scale is held at the top
        {0.01, 100, 1, 50},  // a smaller range
        {0.5, 100, 0, 50},   // linear
        {10.0, 100, 0, 100}, // linear, beyond full scale
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "amplitude " << c.amplitude << " max " << c.maxValue
                                        << " log " << c.logarithmic);
        const auto values =
            FirstSpectrum(Sine(1000.0, c.amplitude, 2048), c.maxValue, c.logarithmic);
        EXPECT_NEAR(values[256], c.expected, 1);
        for (int v : values) {
            ASSERT_GE(v, 0);
            ASSERT_LE(v, c.maxValue);
        }
    }
}

TEST_F(PskCoreTest, SilenceNoiseAndBrokenSamplesStayInRange) {
    const auto silence = FirstSpectrum(std::vector<float>(2048, 0.0f));
    EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](int v) { return v == 0; }));

    std::mt19937 random(470);
    std::uniform_real_distribution<float> full(-1.0f, 1.0f);
    std::vector<float> noise(2048);
    for (float& s : noise) {
        s = 8.0f * full(random); // heavily over-driven
    }
    const auto loud = FirstSpectrum(noise, 200);
    EXPECT_TRUE(std::all_of(loud.begin(), loud.end(), [](int v) { return v > 0 && v <= 200; }));

    // Samples that are not numbers count as silence instead of poisoning the spectrum.
    auto broken = Sine(1000.0, 1.0, 2048);
    for (std::size_t i = 0; i < broken.size(); i += 7) {
        broken[i] = (i % 2 == 0) ? std::numeric_limits<float>::quiet_NaN()
                                 : std::numeric_limits<float>::infinity();
    }
    const auto mended = FirstSpectrum(broken);
    EXPECT_EQ(PeakBin(mended), 256);
    EXPECT_TRUE(
        std::all_of(mended.begin(), mended.end(), [](int v) { return v >= 0 && v <= 255; }));
}

TEST_F(PskCoreTest, NoSpectraUntilAskedAndOneMessageUntilFetched) {
    ASSERT_EQ(Open(), kSoundCardOpen);
    EXPECT_EQ(log_->sampleRate, 8000);
    log_->Feed(Sine(1000.0, 1.0, 4096));
    PumpFor(200ms);
    EXPECT_EQ(window_.spectra, 0) << "spectra posted before fnSetFFTMode(1, ...)";

    ASSERT_EQ(fnSetFFTMode(1, 255, 1), 0);
    log_->Feed(Sine(1000.0, 1.0, 1024, 4096));
    ASSERT_TRUE(WaitFor([&] { return window_.spectra == 1; }));
    // Four more spectra are made, but the first has not been fetched: no new message.
    log_->Feed(Sine(2000.0, 1.0, 4096));
    PumpFor(300ms);
    EXPECT_EQ(window_.spectra, 1);

    std::vector<std::int32_t> values(1023);
    ASSERT_EQ(fnGetFFTData(values.data(), 0, 1022), 1023);
    log_->Feed(Sine(2000.0, 1.0, 1024, 4096));
    ASSERT_TRUE(WaitFor([&] { return window_.spectra == 2; }));
    // The data fetched is the latest spectrum: the 2000 Hz tone at bin 512.
    EXPECT_TRUE(WaitFor([&] {
        fnGetFFTData(values.data(), 0, 1022);
        return PeakBin(values) == 512;
    }));

    ASSERT_EQ(fnSetFFTMode(0, 255, 1), 0);
    fnGetFFTData(values.data(), 0, 1022);
    const int seen = window_.spectra;
    log_->Feed(Sine(1000.0, 1.0, 4096));
    PumpFor(200ms);
    EXPECT_EQ(window_.spectra, seen) << "spectra posted after fnSetFFTMode(0, ...)";
}

TEST_F(PskCoreTest, GetFftDataWritesOnlyTheRangeAskedFor) {
    std::vector<std::int32_t> all(kBins + 1, -7);
    {
        // Before the sound card is open nothing is written.
        EXPECT_EQ(fnGetFFTData(all.data(), 0, 1022), 0);
        EXPECT_TRUE(std::all_of(all.begin(), all.end(), [](int v) { return v == -7; }));
    }
    ASSERT_EQ(Open(), kSoundCardOpen);
    ASSERT_EQ(fnSetFFTMode(1, 255, 1), 0);
    log_->Feed(Sine(3900.0, 1.0, 2048)); // near the top bin
    ASSERT_TRUE(WaitFor([&] { return window_.spectra == 1; }));
    ASSERT_EQ(fnGetFFTData(all.data(), 0, 1024), kBins);
    EXPECT_EQ(all[kBins], -7);

    std::vector<std::int32_t> part(26, -7);
    ASSERT_EQ(fnGetFFTData(part.data(), 1000, 1024), 25);
    EXPECT_TRUE(std::equal(part.begin(), part.begin() + 25, all.begin() + 1000));
    EXPECT_EQ(part[25], -7);
    ASSERT_EQ(fnGetFFTData(part.data(), 998, 998), 1);
    EXPECT_EQ(part[0], all[998]);
    EXPECT_EQ(part[1], all[1001]);

    struct Range {
        int first;
        int last;
    };
    for (const Range r : {Range{-1, 10}, Range{5, 4}, Range{0, 1025}, Range{1025, 1025},
                          Range{std::numeric_limits<int>::min(), 0}}) {
        std::vector<std::int32_t> untouched(kBins + 1, -7);
        EXPECT_EQ(fnGetFFTData(untouched.data(), r.first, r.last), -1) << r.first << ".." << r.last;
        EXPECT_TRUE(std::all_of(untouched.begin(), untouched.end(), [](int v) { return v == -7; }));
    }
    EXPECT_EQ(fnGetFFTData(nullptr, 0, 1022), -1);
}

TEST_F(PskCoreTest, StartArgumentsAndFailures) {
    struct Case {
        std::intptr_t window;
        int device;
        int channel;
    };
    for (const Case c :
         {Case{0, -1, 1}, Case{Handle(), -2, 1}, Case{Handle(), -1, 0}, Case{Handle(), -1, 2}}) {
        EXPECT_EQ(fnStartSoundCard(c.window, c.device, c.channel), kSoundCardBadArgument);
    }
    EXPECT_EQ(log_->factoryCalls, 0);

    log_->opens = false;
    EXPECT_EQ(Open(), kSoundCardNoDevice);
    std::int32_t value = -7;
    EXPECT_EQ(fnGetFFTData(&value, 0, 0), 0);
    EXPECT_EQ(value, -7);
    EXPECT_EQ(fnStartTX(0), -1);
    EXPECT_EQ(fnStopSoundCard(), 0);

    // Opening may be tried again, on a given device.
    log_->opens = true;
    EXPECT_EQ(fnStartSoundCard(Handle(), 3, 1), kSoundCardOpen);
    EXPECT_EQ(log_->device, 3);
    EXPECT_EQ(fnStartSoundCard(Handle(), -1, 1), kSoundCardAlreadyOpen);
    // The first opening still works.
    ASSERT_EQ(fnSetFFTMode(1, 255, 1), 0);
    log_->Feed(Sine(1000.0, 1.0, 2048));
    EXPECT_TRUE(WaitFor([&] { return window_.spectra == 1; }));
    EXPECT_EQ(fnStopSoundCard(), 0);
    EXPECT_EQ(fnStopSoundCard(), 0);
    EXPECT_EQ(fnGetFFTData(&value, 0, 0), 0);
}

TEST_F(PskCoreTest, SettingsAcceptOnlyTheirRanges) {
    struct Case {
        const char* call;
        std::function<std::int32_t()> run;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"AFC on", [] { return fnSetAFCLimit(50, 0); }, 0},
        {"AFC off", [] { return fnSetAFCLimit(0, 0); }, 0},
        {"AFC negative", [] { return fnSetAFCLimit(-1, 0); }, -1},
        {"AFC too wide", [] { return fnSetAFCLimit(501, 0); }, -1},
        {"AFC reserved", [] { return fnSetAFCLimit(50, 1); }, -1},
        {"squelch 1", [] { return fnSetSquelchThreshold(1, 0, 0); }, 0},
        {"squelch 99", [] { return fnSetSquelchThreshold(99, 0, 0); }, 0},
        {"squelch 100", [] { return fnSetSquelchThreshold(100, 0, 0); }, -1},
        {"squelch -1", [] { return fnSetSquelchThreshold(-1, 0, 0); }, -1},
        {"squelch speed", [] { return fnSetSquelchThreshold(50, 3, 0); }, -1},
        {"squelch channel", [] { return fnSetSquelchThreshold(50, 0, 1); }, -1},
        {"RX 1500", [] { return fnSetRXFrequency(1500, 10, 0); }, 0},
        {"RX 0 (click at x = 0)", [] { return fnSetRXFrequency(0, 10, 0); }, 0},
        {"RX 3999", [] { return fnSetRXFrequency(3999, 10, 0); }, 0},
        {"RX Nyquist", [] { return fnSetRXFrequency(4000, 10, 0); }, -1},
        {"RX negative", [] { return fnSetRXFrequency(-1, 10, 0); }, -1},
        {"RX range", [] { return fnSetRXFrequency(1500, 501, 0); }, -1},
        {"RX channel", [] { return fnSetRXFrequency(1500, 10, 1); }, -1},
        {"TX 2656", [] { return fnSetTXFrequency(2656); }, 0},
        {"TX Nyquist", [] { return fnSetTXFrequency(4000); }, -1},
        {"TX negative", [] { return fnSetTXFrequency(-5); }, -1},
        {"FFT on", [] { return fnSetFFTMode(1, 255, 1); }, 0},
        {"FFT enable 2", [] { return fnSetFFTMode(2, 255, 1); }, -1},
        {"FFT max 0", [] { return fnSetFFTMode(1, 0, 1); }, -1},
        {"FFT max 256", [] { return fnSetFFTMode(1, 256, 1); }, -1},
        {"FFT scale 2", [] { return fnSetFFTMode(1, 255, 2); }, -1},
    };
    // The same before the sound card is open and while it is.
    for (int open = 0; open < 2; ++open) {
        if (open == 1) {
            ASSERT_EQ(Open(), kSoundCardOpen);
        }
        for (const Case& c : cases) {
            EXPECT_EQ(c.run(), c.expected) << c.call << (open ? " (open)" : " (closed)");
        }
    }
}

std::string Decode(const std::vector<float>& audio, double frequency) {
    tarvis::pskcore::Psk31Demodulator rx(8000);
    rx.SetFrequency(frequency);
    rx.SetSquelch(69);
    std::string text;
    rx.Process(audio.data(), audio.size(), [&](std::uint8_t c) { text.push_back(char(c)); });
    return text;
}

TEST_F(PskCoreTest, TransmitCallsAndTheirLimits) {
    // Closed: nothing is accepted.
    EXPECT_EQ(fnStartTX(0), -1);
    EXPECT_EQ(fnSendTXCharacter('a', 0), -1);
    EXPECT_EQ(fnGetTXCharsRemaining(), 0);
    EXPECT_EQ(fnStopTX(), 0);

    ASSERT_EQ(Open(), kSoundCardOpen);
    EXPECT_EQ(fnStartTX(1), -1);
    struct Char {
        int character;
        int reserved;
        int expected;
    };
    for (const Char c : {Char{'a', 0, 0}, Char{-128, 0, 0}, Char{255, 0, 0}, Char{-1, 0, 0},
                         Char{-129, 0, -1}, Char{256, 0, -1}, Char{'b', 1, -1}}) {
        EXPECT_EQ(fnSendTXCharacter(c.character, c.reserved), c.expected) << c.character;
    }
    // Not keyed: the characters wait.
    ASSERT_EQ(fnGetTXCharsRemaining(), 4);
    ASSERT_TRUE(sinkLog_->Pull(8000));
    EXPECT_EQ(fnGetTXCharsRemaining(), 4);

    // The queue is bounded.
    int accepted = 0;
    while (fnSendTXCharacter('z', 0) == 0 && accepted < 100000) {
        ++accepted;
    }
    EXPECT_EQ(accepted, 4096 - 4);
    EXPECT_EQ(fnGetTXCharsRemaining(), 4096);

    // Closing drops everything.
    EXPECT_EQ(fnStopSoundCard(), 0);
    EXPECT_EQ(fnGetTXCharsRemaining(), 0);
    EXPECT_EQ(fnSendTXCharacter('a', 0), -1);
}

TEST_F(PskCoreTest, EachCharacterIsEchoedWhenItHasBeenPlayed) {
    ASSERT_EQ(Open(), kSoundCardOpen);
    EXPECT_EQ(fnSetTXFrequency(1200), 0);
    const std::string text = "cq de tarvis\r";
    EXPECT_EQ(fnStartTX(0), 0);
    EXPECT_EQ(fnStartTX(0), 0); // harmless
    for (const char c : text) {
        EXPECT_EQ(fnSendTXCharacter(c, 0), 0);
    }
    // The echoes arrive through the worker, which runs on captured audio.
    std::size_t characterEnd = 32 * 256; // after the preamble
    for (std::size_t i = 0; i < text.size(); ++i) {
        EXPECT_EQ(fnGetTXCharsRemaining(), static_cast<int>(text.size() - i));
        characterEnd +=
            (tarvis::pskcore::VaricodeOf(static_cast<std::uint8_t>(text[i])).size() + 2) * 256;
        // Just short of the character's last bit: no echo yet.
        while (sinkLog_->pulled + 256 < characterEnd) {
            sinkLog_->Pull(256);
        }
        log_->Feed(std::vector<float>(256, 0.0f));
        PumpFor(20ms);
        EXPECT_EQ(window_.echoed.size(), i) << "early echo of " << text[i];
        while (sinkLog_->pulled < characterEnd + 1) {
            sinkLog_->Pull(1);
        }
        log_->Feed(std::vector<float>(256, 0.0f));
        ASSERT_TRUE(WaitFor([&] { return window_.echoed.size() == i + 1; })) << text[i];
        EXPECT_EQ(window_.echoPulled[i], characterEnd + 1);
    }
    EXPECT_EQ(window_.echoed, text);
    EXPECT_EQ(fnGetTXCharsRemaining(), 0);

    // Stopping lets the tail go out, then the engine falls silent; the audio is the text.
    EXPECT_EQ(fnStopTX(), 0);
    sinkLog_->Pull(3 * 8000);
    EXPECT_EQ(std::count(sinkLog_->played.end() - 8000, sinkLog_->played.end(), 0.0f), 8000);
    EXPECT_EQ(Decode(sinkLog_->played, 1200.0), text);
    EXPECT_EQ(window_.received, ""); // a station does not hear itself
}

TEST_F(PskCoreTest, WithoutPlaybackTransmittingFollowsTheCaptureClock) {
    sinkLog_->opens = false;
    ASSERT_EQ(Open(), kSoundCardOpen);
    EXPECT_EQ(fnStartTX(0), 0);
    EXPECT_EQ(fnSendTXCharacter('e', 0), 0);
    EXPECT_EQ(fnStopTX(), 0); // the character still goes
    // Preamble of 32 symbols, then 'e' and its gap: 4 symbols.
    log_->Feed(std::vector<float>(35 * 256, 0.0f));
    PumpFor(50ms);
    EXPECT_EQ(fnGetTXCharsRemaining(), 1);
    log_->Feed(std::vector<float>(2 * 256, 0.0f));
    EXPECT_TRUE(WaitFor([&] { return window_.echoed == "e"; }));
    EXPECT_EQ(fnGetTXCharsRemaining(), 0);
}

TEST_F(PskCoreTest, ReceivedCharactersAreReportedAboveTheSquelch) {
    ASSERT_EQ(Open(), kSoundCardOpen);
    EXPECT_EQ(fnSetRXFrequency(1500, 10, 0), 0);
    EXPECT_EQ(fnSetSquelchThreshold(69, 0, 0), 0);
    tarvis::pskcore::Psk31Modulator tx(8000);
    tx.SetFrequency(1500);
    tx.Start();
    tx.Queue("hello from the other station\r");
    tx.Finish();
    std::vector<float> audio(8000, 0.0f);
    while (tx.Transmitting()) {
        float block[256];
        tx.Produce(block, 256);
        audio.insert(audio.end(), std::begin(block), std::end(block));
    }
    audio.resize(audio.size() / 1024 * 1024 + 2048, 0.0f);
    FeedInStep(audio);
    EXPECT_TRUE(WaitFor([&] { return window_.received == "hello from the other station\r"; }))
        << window_.received;

    // Noise with the squelch closed: nothing.
    std::mt19937 random(5);
    std::normal_distribution<float> gauss(0.0f, 0.3f);
    std::vector<float> noise(20 * 8000);
    for (float& v : noise) {
        v = gauss(random);
    }
    window_.received.clear();
    FeedInStep(noise);
    PumpFor(100ms);
    EXPECT_EQ(window_.received, "");
}

TEST_F(PskCoreTest, TransmitThreadMainThreadAndAudioTogether) {
    ASSERT_EQ(Open(), kSoundCardOpen);
    ASSERT_EQ(fnSetFFTMode(1, 255, 1), 0);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        for (std::size_t block = 0; block < 40; ++block) {
            log_->Feed(Sine(1000.0, 0.5, 1024, block * 1024));
            std::this_thread::sleep_for(1ms);
        }
        done = true;
    });
    std::thread transmit([&] {
        for (int i = 0; !done; ++i) {
            fnStartTX(0);
            fnSendTXCharacter('A' + i % 26, 0);
        }
    });
    std::vector<std::int32_t> values(1023);
    while (!done) {
        const int remaining = fnGetTXCharsRemaining();
        EXPECT_GE(remaining, 0);
        EXPECT_LE(remaining, 4096);
        fnGetFFTData(values.data(), 0, 1022);
        if (remaining > 100) {
            fnStopTX();
        }
        QCoreApplication::processEvents();
    }
    audio.join();
    transmit.join();
    EXPECT_EQ(fnStopSoundCard(), 0);
    EXPECT_GT(window_.spectra, 0);
}

bool MachineHasCaptureDevice() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("pcmC") && name.ends_with("c")) {
            return true;
        }
    }
    return false;
}

TEST_F(PskCoreTest, SoundCardThatCannotBeOpenedIsReportedPromptly) {
    SetAudioSourceFactory({});
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(fnStartSoundCard(Handle(), 9999, 1), kSoundCardNoDevice);
    const std::int32_t result = Open();
    if (!MachineHasCaptureDevice()) {
        EXPECT_EQ(result, kSoundCardNoDevice);
    }
    EXPECT_EQ(fnStopSoundCard(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
    EXPECT_EQ(fnGetTXCharsRemaining(), 0);
}

} // namespace
