#pragma once
// Mono audio to and from WAV files for the PSK31 tool: 16-bit PCM at 8000 samples a second is
// written; reading also takes 8-, 24- and 32-bit PCM and 32- or 64-bit float, and mixes more
// than one channel down to one.
#include <string>
#include <vector>

namespace tarvis::pskcore {

struct WavAudio {
    int sampleRate = 0;
    std::vector<float> samples; // mono, -1..1
};

// Reads `path`; on failure returns false with a message for the operator in `error`.
bool ReadWav(const std::string& path, WavAudio& audio, std::string& error);

// Writes mono 16-bit PCM (samples clipped to -1..1); false with `error` on failure.
bool WriteWav(const std::string& path, const WavAudio& audio, std::string& error);

} // namespace tarvis::pskcore
