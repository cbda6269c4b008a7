#pragma once
// A sound-card engine that records its calls; the sound card "opens" or not as the test says.
#include "tuning/SoundCardEngine.h"

#include <mutex>
#include <string>
#include <vector>

namespace tarvis::test {

class FakeSoundCardEngine final : public SoundCardEngine {
public:
    int startResult = 0;
    int charsRemaining = 0;

    std::vector<std::string> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::vector<int> SentCharacters() {
        std::lock_guard lock(mutex_);
        return sent_;
    }

    int StartSoundCard(QObject*) override {
        Record("StartSoundCard");
        return startResult;
    }
    void SetFFTMode(int a, int b, int c) override {
        Record("SetFFTMode " + std::to_string(a) + " " + std::to_string(b) + " " +
               std::to_string(c));
    }
    void GetFFTData(std::int32_t*, int, int) override { Record("GetFFTData"); }
    void SetAFCLimit(int limit) override { Record("SetAFCLimit " + std::to_string(limit)); }
    void SetSquelchThreshold(int t) override { Record("SetSquelchThreshold " + std::to_string(t)); }
    void SetRXFrequency(int f) override { Record("SetRXFrequency " + std::to_string(f)); }
    void SetTXFrequency(int f) override { Record("SetTXFrequency " + std::to_string(f)); }
    void StartTX() override { Record("StartTX"); }
    void SendTXCharacter(int c) override {
        std::lock_guard lock(mutex_);
        sent_.push_back(c);
    }
    int GetTXCharsRemaining() override { return charsRemaining; }
    void StopTX() override { Record("StopTX"); }
    void StopSoundCard() override { Record("StopSoundCard"); }

private:
    void Record(const std::string& call) {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
    }
    std::mutex mutex_;
    std::vector<std::string> calls_;
    std::vector<int> sent_;
};

} // namespace tarvis::test
