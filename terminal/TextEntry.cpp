#include "terminal/TextEntry.h"

#include "config/Jw_utils.h"
#include "config/Settings.h"
#include "link/LinkStatus.h"
#include "modes/TerminalState.h"
#include "platform/Sound.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextEdit>

namespace tarvis {

namespace {

// Where the first line ends inside the first paragraph (a soft line break, or a CR or LF
// that came in with pasted text), or -1.
qsizetype LineEndInBlock(const QString& block) {
    for (qsizetype i = 0; i < block.size(); ++i) {
        const QChar ch = block.at(i);
        if (ch == QChar::LineSeparator || ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) {
            return i;
        }
    }
    return -1;
}

bool IsOn(const QString& value) {
    return value.compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0;
}

void SendSyncIdle(const ClearContext& c) {
    if ((IsOn(c.settings.B_SyncIdle) || IsOn(c.settings.S_SyncIdle)) && c.link.transmitting) {
        c.modem.SendText(c.terminal.EndOfLineText);
    }
}

void ClearTransmitPane(const ClearContext& c) {
    c.transmitPane.clear();
    c.transmitPane.document()->clearUndoRedoStacks();
    // Whatever is typed next starts a new first line: nothing of it has been released.
    c.pump.ResetSentPosition();
    c.transmitPane.setTextColor(ColorFromName(c.settings.TransmitTextColor));
}

void ClearReceivePane(const ClearContext& c) {
    c.receivePane.clear();
    if (c.receiveCleared) {
        c.receiveCleared();
    }
}

} // namespace

QString TextEditTransmitPane::FirstLine() {
    const QString block = edit_.document()->begin().text();
    const qsizetype end = LineEndInBlock(block);
    return end < 0 ? block : block.left(end);
}

bool TextEditTransmitPane::HasLineBreak() {
    return edit_.document()->blockCount() > 1 ||
           LineEndInBlock(edit_.document()->begin().text()) >= 0;
}

void TextEditTransmitPane::DeleteFirstLine() {
    QTextDocument* doc = edit_.document();
    const QString block = doc->begin().text();
    const qsizetype end = LineEndInBlock(block);
    qsizetype length = 0;
    if (end >= 0) {
        length = end + 1;
        if (block.at(end) == QLatin1Char('\r') && end + 1 < block.size() &&
            block.at(end + 1) == QLatin1Char('\n')) {
            ++length;
        }
    } else {
        // The paragraph and its separator; the last paragraph has none.
        length = doc->blockCount() > 1 ? block.size() + 1 : block.size();
    }
    QTextCursor cursor(doc);
    cursor.setPosition(static_cast<int>(length), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    doc->clearUndoRedoStacks();
}

void TextEditTransmitPane::ColourRange(int from, int to, const QColor& colour) {
    if (to <= from) {
        return;
    }
    const QSignalBlocker blocker(&edit_);
    QTextCursor cursor(edit_.document());
    const int last = edit_.document()->characterCount() - 1;
    cursor.setPosition(std::min(from, last));
    cursor.setPosition(std::min(to, last), QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setForeground(colour);
    cursor.mergeCharFormat(format);
    edit_.document()->clearUndoRedoStacks();
}

void TextEditTransmitPane::CaretToEnd() {
    QTextCursor cursor = edit_.textCursor();
    cursor.movePosition(QTextCursor::End);
    edit_.setTextCursor(cursor);
}

void TextEditTransmitPane::SetTypingColour(const QColor& colour) {
    edit_.setTextColor(colour);
}

CaretPlace CaretPlaceOf(const QTextEdit& edit) {
    const QTextCursor cursor = edit.textCursor();
    const QTextDocument* doc = edit.document();
    CaretPlace place;
    place.caret = cursor.position();
    place.selectionStart = cursor.selectionStart();
    place.line = cursor.blockNumber();
    place.countedLines = doc->blockCount() - (doc->lastBlock().length() <= 1 ? 1 : 0);
    return place;
}

KeyVerdict GuardKey(int key, bool modifiesText, const CaretPlace& place, int sentPosition) {
    const int r = sentPosition;
    const int c = place.caret;
    switch (key) {
    case Qt::Key_Backspace:
        if (r >= c || place.selectionStart < r) {
            return KeyVerdict::Refuse;
        }
        return KeyVerdict::Allow;
    case Qt::Key_Left:
        return r < c ? KeyVerdict::Allow : KeyVerdict::Refuse;
    case Qt::Key_Home:
    case Qt::Key_PageUp:
        return r < c - 1 ? KeyVerdict::Allow : KeyVerdict::Refuse;
    case Qt::Key_Up:
        return place.line == 0 ? KeyVerdict::AllowWithBeep : KeyVerdict::Allow;
    case Qt::Key_Down:
        return place.line >= place.countedLines ? KeyVerdict::AllowWithBeep : KeyVerdict::Allow;
    default:
        // The caret can still reach released text by the mouse; typing, deleting or pasting
        // there would change what has already gone on the air.
        if (modifiesText && place.selectionStart < r) {
            return KeyVerdict::Refuse;
        }
        return KeyVerdict::Allow;
    }
}

bool KeyModifiesText(const QKeyEvent& event) {
    if (event.matches(QKeySequence::Copy) || event.matches(QKeySequence::SelectAll)) {
        return false;
    }
    if (event.matches(QKeySequence::Paste) || event.matches(QKeySequence::Cut) ||
        event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo) ||
        event.matches(QKeySequence::Delete) || event.matches(QKeySequence::DeleteEndOfWord) ||
        event.matches(QKeySequence::DeleteStartOfWord) ||
        event.matches(QKeySequence::DeleteEndOfLine) ||
        event.matches(QKeySequence::DeleteCompleteLine)) {
        return true;
    }
    switch (event.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        return true;
    default:
        break;
    }
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

TransmitKeyGuard::TransmitKeyGuard(Context context)
    : QObject(&context.pane), c_(std::move(context)) {
    c_.pane.installEventFilter(this);
}

bool TransmitKeyGuard::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &c_.pane || event->type() != QEvent::KeyPress) {
        return false;
    }
    c_.pane.setTextColor(ColorFromName(c_.settings.TransmitTextColor));
    if (c_.sendingBinary && c_.sendingBinary()) {
        return false;
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    CaretPlace place = CaretPlaceOf(c_.pane);
    if (key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo)) {
        // Undo and redo act anywhere in the pane, not at the caret: they may run only while
        // nothing of the first line has been released.
        place.selectionStart = 0;
    }
    const KeyVerdict verdict =
        GuardKey(key.key(), KeyModifiesText(key), place, c_.pump.SentPosition());
    if (verdict != KeyVerdict::Allow) {
        c_.sound.Exclamation();
    }
    return verdict == KeyVerdict::Refuse;
}

void ClearAll(const ClearContext& c) {
    ClearReceivePane(c);
    ClearTransmitPane(c);
    SendSyncIdle(c);
}

void ClearRX(const ClearContext& c) {
    ClearReceivePane(c);
}

void ClearTX(const ClearContext& c) {
    ClearTransmitPane(c);
    SendSyncIdle(c);
}

bool ToggleEchoEnable(Settings& settings) {
    const bool on = settings.EchoEnable == QLatin1String("ON");
    settings.EchoEnable = on ? QStringLiteral("OFF") : QStringLiteral("ON");
    return !on;
}

} // namespace tarvis
