#pragma once
// Window messages between the worker threads, the sound-card engine and the main window.
// Each travels as a Qt event whose type number is the message number, carrying the two
// message parameters.
#include <QEvent>
#include <QObject>
#include <cstdint>

namespace tarvis {

enum WindowMessageId : int {
    kTxReadyMessage = 1224,   // transmit thread can take more (WM_USER + 200)
    kFftDataMessage = 2024,   // sound-card engine: a new spectrum is ready
    kSoundCharMessage = 2025, // sound-card engine: one character (lParam < 0: echo)
    kSoundMessage2026 = 2026, // sound-card engine: ignored by the main window
    kSoundMessage2028 = 2028, // sound-card engine: ignored by the main window
    kTuneClickMessage = 3029, // tuning views: operator clicked at x = wParam
};

class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(int message, std::intptr_t wParam, std::intptr_t lParam)
        : QEvent(static_cast<QEvent::Type>(message)), wParam_(wParam), lParam_(lParam) {}
    int message() const { return static_cast<int>(type()); }
    std::intptr_t wParam() const { return wParam_; }
    std::intptr_t lParam() const { return lParam_; }

private:
    std::intptr_t wParam_;
    std::intptr_t lParam_;
};

// Posts a message to the window; safe from any thread. A null window is ignored.
void PostWindowMessage(QObject* window, int message, std::intptr_t wParam = 0,
                       std::intptr_t lParam = 0);

// The window handle the engine library is given is the address of the receiving QObject.
inline std::intptr_t WindowHandle(QObject* window) {
    return reinterpret_cast<std::intptr_t>(window);
}
inline QObject* WindowFromHandle(std::intptr_t handle) {
    return reinterpret_cast<QObject*>(handle);
}

} // namespace tarvis
