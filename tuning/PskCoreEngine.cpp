#include "platform/WindowMessage.h"
#include "pskcore/PSKCore.h"
#include "tuning/SoundCardEngine.h"

namespace tarvis {

namespace {

// The engine library's functions, with the constant arguments the program always passes.
class LibraryEngine final : public SoundCardEngine {
public:
    int StartSoundCard(QObject* window) override {
        return fnStartSoundCard(WindowHandle(window), -1, 1);
    }
    void SetFFTMode(int mode, int range, int flag) override { fnSetFFTMode(mode, range, flag); }
    void GetFFTData(std::int32_t* buffer, int first, int last) override {
        fnGetFFTData(buffer, first, last);
    }
    void SetAFCLimit(int limit) override { fnSetAFCLimit(limit, 0); }
    void SetSquelchThreshold(int threshold) override { fnSetSquelchThreshold(threshold, 0, 0); }
    void SetRXFrequency(int frequency) override { fnSetRXFrequency(frequency, 10, 0); }
    void SetTXFrequency(int frequency) override { fnSetTXFrequency(frequency); }
    void StartTX() override { fnStartTX(0); }
    void SendTXCharacter(int character) override { fnSendTXCharacter(character, 0); }
    int GetTXCharsRemaining() override { return fnGetTXCharsRemaining(); }
    void StopTX() override { fnStopTX(); }
    void StopSoundCard() override { fnStopSoundCard(); }
};

} // namespace

SoundCardEngine& LibrarySoundCardEngine() {
    static LibraryEngine engine;
    return engine;
}

} // namespace tarvis
