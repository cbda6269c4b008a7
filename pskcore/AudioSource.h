#pragma once
// Where the engine's audio comes from and where its transmitted audio goes. The engine
// normally captures from and plays to the sound card; tests and tools substitute their own.
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

// Fills `count` samples, nominally within -1..1, of audio to be played; called from the sink's
// own thread.
using SampleProvider = std::function<void(float* samples, std::size_t count)>;

class AudioSink {
public:
    virtual ~AudioSink() = default;
    // Opens the playback at `sampleRate` samples per second and starts asking `provider` for
    // audio at that pace. Returns false, promptly, when it cannot be opened.
    virtual bool Start(int sampleRate, SampleProvider provider) = 0;
    // Stops the playback. Once it returns, `provider` is not called again.
    virtual void Stop() = 0;
};

// Makes the sink for a playback device number (-1: the system default).
using AudioSinkFactory = std::function<std::unique_ptr<AudioSink>(int device)>;

// The sound card's output through PortAudio.
PSKCORE_EXPORT std::unique_ptr<AudioSink> MakeSoundCardSink(int device);

// Replaces the factory fnStartSoundCard uses for playback; an empty factory restores the
// sound card. Takes effect at the next start.
PSKCORE_EXPORT void SetAudioSinkFactory(AudioSinkFactory factory);

} // namespace tarvis::pskcore
