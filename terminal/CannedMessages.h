#pragma once
// The canned texts of the tool bars: message 0, the Here-Is chooser for messages 1 to 9 and
// WRU, "DE " and the own call, the other station's call before it, a CQ call (in MIRVOL
// standby the modem's own CQ call and its answer) and the quick brown fox line. Every text
// goes into the transmit pane and leaves through the transmit pump like typed text; only the
// MIRVOL CQ commands go straight to the modem.
#include "modes/ModeWindow.h"

#include <QStringList>
#include <functional>

class QTextEdit;
class QTimer;

namespace tarvis {

class Dialogs;
class Sound;
class THereIsPanel;
class TransmitPump;
struct MessageFile;

struct CannedWindow {
    ModeWindow& modes;
    // The answer-CQ flag.
    LinkStatus& link;
    // Where the pane's released text ends.
    const TransmitPump& pump;
    Dialogs& dialogs;
    Sound& sound;
    THereIsPanel* hereIs = nullptr;
    QTimer* CQTimer = nullptr;
    // A binary file is being sent: the canned texts stay out of the pane.
    std::function<bool()> sendingBinary{};
    // Centres a panel on the main window and shows it.
    std::function<void(QWidget&)> showCentred{};
    // Keeps the dispatch thread off the ring (the hot key that opens the Here-Is panel sets it).
    std::function<void(bool)> setDispatchPaused{};
};

inline constexpr const char* kFoxLine =
    "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG'S BACK 0123456789";

// A message file's bytes as lines: CR LF, LF or CR ends a line; a last line without an end
// counts, an end at the very end adds no empty line. Each byte becomes the character of the
// same number, so the pump sends it back as that byte.
QStringList MessageLines(const QByteArray& bytes);

// Adds each line as a new line at the end of the pane, each followed by a line break; a line
// already begun at the end is ended first.
void AppendLines(QTextEdit& pane, const QStringList& lines);
// Inserts text at the caret, replacing any selection; a caret (or selection) inside text the
// pump has already released moves to the end first, so released text is never changed.
void InsertAtCaret(QTextEdit& pane, int sentPosition, const QString& text);

// Tells the operator when a message file could not be read or created, or was cut.
void ReportMessageFile(Dialogs& dialogs, const MessageFile& file);

void butMsg0Click(CannedWindow& c);
void butMsgPlusClick(CannedWindow& c);
// Opens the Here-Is panel previewing message `number` (the selector at 1 for MSG 1+).
void OpenHereIsPanel(CannedWindow& c, int number);
void HereIsSelectorClick(CannedWindow& c);
void edHereIsNumberKeyUp(CannedWindow& c, int key, const QString& text);
void Button4MouseUp(CannedWindow& c);
void Button5Click(CannedWindow& c);
void butDeMYClick(CannedWindow& c);
void butHISdeMYClick(CannedWindow& c);
void butCallCQClick(CannedWindow& c);
void CQTimerTimer(CannedWindow& c);
void butFoxesClick(CannedWindow& c);

} // namespace tarvis
