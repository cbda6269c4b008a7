#pragma once
#include "platform/Sound.h"

#include <string>
#include <vector>

namespace tarvis::test {

// Remembers the sounds asked for: "default", "exclamation", "beep", "tone 800 1000".
class RecordingSound final : public Sound {
public:
    std::vector<std::string> played;
    void DefaultSound() override { played.emplace_back("default"); }
    void Exclamation() override { played.emplace_back("exclamation"); }
    void Beep() override { played.emplace_back("beep"); }
    void Tone(int frequencyHz, int durationMs) override {
        played.push_back("tone " + std::to_string(frequencyHz) + " " + std::to_string(durationMs));
    }
};

} // namespace tarvis::test
