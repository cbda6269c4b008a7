#pragma once
// The receive display: every text item that is not binary-transfer data ends here, one
// character per call, on the user-interface thread. Received text and the modem's echoes of
// what it sent are written into the receive pane in their colours and, while capture is on,
// into the capture file.
#include <QString>
#include <QTextCharFormat>
#include <cstdint>
#include <functional>
#include <memory>

class QFile;
class QTextEdit;
class QTimer;
class QWidget;

namespace tarvis {

class Sound;
struct LinkFlags;
struct Settings;

// Receive capture: text as it arrives, to a file.
struct CaptureState {
    bool on = false;
    QFile* file = nullptr;
    QString name;
    int count = 0;
};

struct ReceiveDisplayContext {
    QTextEdit& receivePane;
    QTextEdit& transmitPane;
    LinkFlags& flags;
    const Settings& settings;
    Sound& sound;
    CaptureState& capture;
    std::function<void(int pane, const QString& text)> setPane;
    // Each echo lowers the count of characters handed to the modem and not yet echoed.
    std::function<void(std::uint8_t echoed)> echoed{};
    // While a fax transfer is shown, received text is neither shown nor captured.
    QWidget* faxPanel = nullptr;
    // While a binary file is being sent its echoes are counted but not shown.
    const bool* sendingBinary = nullptr;
};

class ReceiveDisplay {
public:
    explicit ReceiveDisplay(ReceiveDisplayContext context);
    ~ReceiveDisplay();

    void ShowCharacter(std::uint8_t c);
    // Puts what has arrived into the pane now. Characters are written into the pane in runs,
    // at most a display frame after they arrived (a pane redrawn per character cannot keep up
    // with the line); whoever reads or changes the pane's text calls this first.
    void Flush();

    // A received BEL sounds while this is on (a hot key switches it).
    bool bell = true;
    // Where the next character goes, whatever the operator has clicked meanwhile.
    int insertionPoint = 0;

    // How many lines the pane keeps at the most; the oldest go first.
    static int PaneLineLimit();

private:
    void Insert(char shown, const QString& colourName);
    void TrimOldestLines();
    void Capture(std::uint8_t c);

    ReceiveDisplayContext c_;
    QString pending_;
    QString pendingColour_;
    QTextCharFormat pendingFormat_;
    std::unique_ptr<QTimer> flushTimer_;
};

// Whether a character is shown: a line feed, or 20..7E.
inline bool IsShownCharacter(std::uint8_t c) {
    return c == 0x0A || (c >= 0x20 && c <= 0x7E);
}

} // namespace tarvis
