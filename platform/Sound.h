#pragma once
// The sounds the program makes: the default notification sound, the exclamation sound, a
// plain beep and a tone of a given frequency and duration. Tests record the calls.

namespace tarvis {

class Sound {
public:
    virtual ~Sound() = default;
    virtual void DefaultSound() = 0;
    virtual void Exclamation() = 0;
    virtual void Beep() = 0;
    // Returns once the tone has been played (or could not be).
    virtual void Tone(int frequencyHz, int durationMs) = 0;
};

// The machine's sounds: the desktop bell, and tones through the default audio output.
Sound& SystemSound();

} // namespace tarvis
