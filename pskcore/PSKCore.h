#pragma once
// The sound-card engine: owns the sound card, the spectrum analysis and the PSK31 modem. The
// program calls these twelve functions; the engine answers only by posting window messages to the
// window it was given at start:
//   2024  a new spectrum is ready; fetch it with fnGetFFTData (wParam, lParam 0)
//   2025  one received character (low byte of wParam; lParam < 0 for the echo of a sent one)
//   2026, 2028  engine notices the program may ignore
// Arguments and results are 32-bit integers or pointers. Unless said otherwise a function
// returns 0 when it did what was asked and -1 when an argument was out of range (the stored
// value is then unchanged). Every function may be called before fnStartSoundCard and after
// fnStopSoundCard; it then does nothing harmful.
//
// Threads: fnStartTX and fnSendTXCharacter may be called from the transmit thread, all the
// others from the main thread. Messages are delivered through the receiving window's event
// queue, so they are handled on the thread that owns it.
#include <stdint.h>

#if defined(__GNUC__)
#define PSKCORE_EXPORT __attribute__((visibility("default")))
#else
#define PSKCORE_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Results of fnStartSoundCard.
enum {
    kSoundCardOpen = 0,
    kSoundCardNoDevice = 1,    // the capture device could not be opened
    kSoundCardBadArgument = 2, // null window, device below -1 or a channel other than 1
    kSoundCardAlreadyOpen = 3, // the engine is already running; nothing was changed
};

// Opens capture device `device` (-1: the system's default capture device) at 8000 samples
// per second on mono channel `channel` (1 is the only one), and the playback device of the
// same number for transmitting, and starts the engine. A playback device that cannot be
// opened does not stop the start: the engine then receives only, and what it transmits is
// not heard. `window` is
// the address of the receiving window object: it is pointer-sized, not a 32-bit integer,
// because a 32-bit value cannot hold an address on a 64-bit system. Returns kSoundCardOpen
// or one of the other results above; it never blocks waiting for a device.
PSKCORE_EXPORT int32_t fnStartSoundCard(intptr_t window, int32_t device, int32_t channel);

// Spectrum reporting: `enable` 1 posts 2024 for each new spectrum, 0 stops it; values lie in
// 0..`maxValue` (1..255); `logarithmic` 1 maps 80 dB below full scale .. full scale onto the
// range, 0 maps magnitude linearly (full scale = maxValue). Default: off, 255, logarithmic.
// A new 2048-point spectrum is made for every 1024 captured samples (about 8 per second);
// after a 2024 the next one is posted only once the program has fetched the data.
PSKCORE_EXPORT int32_t fnSetFFTMode(int32_t enable, int32_t maxValue, int32_t logarithmic);

// Copies the latest values of spectrum bins first..last (0 <= first <= last <= 1024; bin k is
// k * 3.90625 Hz) into buffer[0..last-first]. Returns the number of values written, 0 when
// the sound card is not open (the buffer is left alone) and -1 for a null buffer or a range
// outside 0..1024 (nothing written).
PSKCORE_EXPORT int32_t fnGetFFTData(int32_t* buffer, int32_t first, int32_t last);

// Automatic frequency control: the receiver may pull up to `limitHz` (0..500; 0 = off) from
// the set frequency. `reserved` is kept for the modem and must be 0.
PSKCORE_EXPORT int32_t fnSetAFCLimit(int32_t limitHz, int32_t reserved);

// Squelch: received characters are posted only while the signal quality (0 for noise, near
// 100 for a clean signal) is above `threshold` (0..99; 0 = open).
// `speed` (0..2: slow, normal, fast) and `channel` (0) are kept for the modem.
PSKCORE_EXPORT int32_t fnSetSquelchThreshold(int32_t threshold, int32_t speed, int32_t channel);

// Receive frequency in Hz (0..3999); `captureRangeHz` (0..500) is how far the receiver
// follows a signal around it while AFC is off; `channel` must be 0. The receiver starts
// afresh on the new frequency.
PSKCORE_EXPORT int32_t fnSetRXFrequency(int32_t frequencyHz, int32_t captureRangeHz,
                                        int32_t channel);

// Transmit frequency in Hz (0..3999).
PSKCORE_EXPORT int32_t fnSetTXFrequency(int32_t frequencyHz);

// Starts transmitting in `mode` (0: BPSK31) or keeps transmitting; repeated calls are
// harmless. Keying up sends about a second of phase reversals before the first character.
// Each character is echoed with 2025 (lParam -1) once its last bit has been played.
// Returns -1 when the sound card is not open or the mode is unknown.
PSKCORE_EXPORT int32_t fnStartTX(int32_t mode);

// Queues one character (a byte, sign-extended or not: -128..255) for sending. `reserved`
// must be 0. Returns -1 when the sound card is not open, the character is out of range or
// the queue is full (4096 characters). Characters queued while not transmitting wait for
// fnStartTX.
PSKCORE_EXPORT int32_t fnSendTXCharacter(int32_t character, int32_t reserved);

// Characters queued or still going out (a character counts until its echo); 0 when the sound
// card is not open.
PSKCORE_EXPORT int32_t fnGetTXCharsRemaining(void);

// Ends transmitting once the characters already queued have gone: a short steady carrier,
// then silence. fnStartTX before then carries on transmitting.
PSKCORE_EXPORT int32_t fnStopTX(void);

// Stops the engine and releases the sound card. No message is posted once it has returned.
PSKCORE_EXPORT int32_t fnStopSoundCard(void);

#ifdef __cplusplus
} // extern "C"
#endif
