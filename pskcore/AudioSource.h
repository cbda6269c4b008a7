#pragma once
// Where the engine's audio comes from. The engine normally captures from the sound card;
// tests and tools substitute a source of their own.
#include "pskcore/PSKCore.h"

#include <cstddef>
#include <functional>
#include <memory>

namespace tarvis::pskcore {

// Receives mono samples, nominally within -1..1, from the source's own thread.
using SampleSink = std::function<void(const float* samples, std::size_t count)>;

class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Opens the capture at `sampleRate` samples per second and starts calling `sink`.
    // Returns false, promptly, when it cannot be opened.
    virtual bool Start(int sampleRate, SampleSink sink) = 0;
    // Stops the capture. Once it returns, `sink` is not called again.
    virtual void Stop() = 0;
};

// Makes the source for a capture device number (-1: the system default).
using AudioSourceFactory = std::function<std::unique_ptr<AudioSource>(int device)>;

// The sound card through PortAudio.
PSKCORE_EXPORT std::unique_ptr<AudioSource> MakeSoundCardSource(int device);

// Replaces the factory fnStartSoundCard uses; an empty factory restores the sound card.
// Takes effect at the next start.
PSKCORE_EXPORT void SetAudioSourceFactory(AudioSourceFactory factory);

} // namespace tarvis::pskcore
