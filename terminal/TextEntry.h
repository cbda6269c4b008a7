#pragma once
// Text entry in the transmit pane: the pane as the transmit pump sees it, the editing guard
// that keeps released text from being edited, the Clear All / RX / TX operations and the
// echo switch.
#include "link/TransmitPump.h"

#include <QObject>
#include <functional>

class QKeyEvent;
class QTextEdit;

namespace tarvis {

class Sound;
struct LinkStatus;
struct Settings;
struct TerminalState;

// The transmit pane over the main window's text edit. A paragraph or a soft line break
// (Shift+Enter) ends a line. Edits the pump makes are not undoable: undoing them would bring
// released text back into the pane and send it a second time.
class TextEditTransmitPane final : public TransmitPane {
public:
    explicit TextEditTransmitPane(QTextEdit& edit) : edit_(edit) {}
    QString FirstLine() override;
    bool HasLineBreak() override;
    void DeleteFirstLine() override;
    void ColourRange(int from, int to, const QColor& colour) override;
    void CaretToEnd() override;
    void SetTypingColour(const QColor& colour) override;

private:
    QTextEdit& edit_;
};

// Where the caret stands when a key is pressed in the transmit pane.
struct CaretPlace {
    // Characters from the start of the text.
    int caret = 0;
    // The start of the selection (the caret itself when nothing is selected).
    int selectionStart = 0;
    // The caret's line, from 0, and the number of lines the pane counts (a last empty line
    // after a line break is not counted).
    int line = 0;
    int countedLines = 0;
};

CaretPlace CaretPlaceOf(const QTextEdit& edit);

enum class KeyVerdict {
    Allow,
    // The key acts, with the warning beep.
    AllowWithBeep,
    // The key is cancelled, with the warning beep.
    Refuse,
};

// The editing guard's decision for one key. `modifiesText` says the key would insert or
// delete text at the caret or selection (typed characters, Enter, Delete, paste, cut, undo).
KeyVerdict GuardKey(int key, bool modifiesText, const CaretPlace& place, int sentPosition);

// Whether a key event would change the text (as opposed to moving the caret or copying).
bool KeyModifiesText(const QKeyEvent& event);

// Installs the editing guard on the transmit pane; lives as long as the pane.
class TransmitKeyGuard final : public QObject {
public:
    struct Context {
        QTextEdit& pane;
        const TransmitPump& pump;
        const Settings& settings;
        Sound& sound;
        // A binary file is being sent: every key is allowed.
        std::function<bool()> sendingBinary;
    };
    explicit TransmitKeyGuard(Context context);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Context c_;
};

// Clear All, Clear RX and Clear TX of the Special menu.
struct ClearContext {
    QTextEdit& receivePane;
    QTextEdit& transmitPane;
    TransmitPump& pump;
    PumpModem& modem;
    const Settings& settings;
    const LinkStatus& link;
    const TerminalState& terminal;
    // The receive pane was cleared: the receive display starts again at its beginning.
    std::function<void()> receiveCleared;
};
void ClearAll(const ClearContext& c);
void ClearRX(const ClearContext& c);
void ClearTX(const ClearContext& c);

// The echo switch of the View menu: "ON" exactly becomes "OFF", anything else "ON". Returns
// whether the menu item is now checked. The setting is not marked changed.
bool ToggleEchoEnable(Settings& settings);

} // namespace tarvis
