#pragma once
// The sound-card engine as the program calls it: the twelve functions of the engine library,
// behind an interface so that tests can stand in for the sound card.
#include <cstdint>

class QObject;

namespace tarvis {

class SoundCardEngine {
public:
    virtual ~SoundCardEngine() = default;
    // 0 when the sound card is open; the engine then posts its messages to the window.
    virtual int StartSoundCard(QObject* window) = 0;
    virtual void SetFFTMode(int mode, int range, int flag) = 0;
    virtual void GetFFTData(std::int32_t* buffer, int first, int last) = 0;
    virtual void SetAFCLimit(int limit) = 0;
    virtual void SetSquelchThreshold(int threshold) = 0;
    virtual void SetRXFrequency(int frequency) = 0;
    virtual void SetTXFrequency(int frequency) = 0;
    // Called from the transmit thread.
    virtual void StartTX() = 0;
    // Called from the transmit thread.
    virtual void SendTXCharacter(int character) = 0;
    virtual int GetTXCharsRemaining() = 0;
    virtual void StopTX() = 0;
    virtual void StopSoundCard() = 0;
};

// The engine library linked into the program.
SoundCardEngine& LibrarySoundCardEngine();

} // namespace tarvis
