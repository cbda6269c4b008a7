#include "link/ReceiveDisplay.h"
#include "config/Jw_utils.h"
#include "config/Settings.h"
#include "link/LinkFlags.h"
#include "platform/Sound.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>

namespace tarvis {

namespace {
// Arrived text is in the pane at most this long after it came: one display frame.
constexpr int kFrameMs = 20;
// The pane keeps the newest lines. Hours of reception would otherwise grow it, and the
// program's memory and the cost of drawing it, without bound; a receive capture to disk keeps
// everything. Past the limit the oldest lines go, down to the kept number, so that trimming is
// rare work.
constexpr int kPaneLineLimit = 50000;
constexpr int kPaneLinesKept = 45000;
} // namespace

ReceiveDisplay::ReceiveDisplay(ReceiveDisplayContext context)
    : c_(std::move(context)), flushTimer_(std::make_unique<QTimer>()) {
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(kFrameMs);
    QObject::connect(flushTimer_.get(), &QTimer::timeout, [this] { Flush(); });
    // Received text is never undone; an undo history would keep a copy of all of it.
    c_.receivePane.setUndoRedoEnabled(false);
}

int ReceiveDisplay::PaneLineLimit() {
    return kPaneLineLimit;
}

void ReceiveDisplay::TrimOldestLines() {
    QTextDocument* document = c_.receivePane.document();
    if (document->blockCount() <= kPaneLineLimit) {
        return;
    }
    const QTextBlock firstKept =
        document->findBlockByNumber(document->blockCount() - kPaneLinesKept);
    QTextCursor cut(document);
    cut.setPosition(firstKept.position(), QTextCursor::KeepAnchor);
    const int removed = cut.selectionEnd();
    cut.removeSelectedText();
    insertionPoint = std::max(0, insertionPoint - removed);
}

ReceiveDisplay::~ReceiveDisplay() = default;

void ReceiveDisplay::Insert(char shown, const QString& colourName) {
    if (!pending_.isEmpty() && colourName != pendingColour_) {
        Flush();
    }
    if (pending_.isEmpty()) {
        pendingColour_ = colourName;
        pendingFormat_ = QTextCharFormat();
        pendingFormat_.setForeground(ColorFromName(colourName));
    }
    pending_ += QLatin1Char(shown);
    if (!flushTimer_->isActive()) {
        flushTimer_->start();
    }
}

void ReceiveDisplay::Flush() {
    flushTimer_->stop();
    if (pending_.isEmpty()) {
        return;
    }
    QTextCursor cursor(c_.receivePane.document());
    cursor.setPosition(
        std::clamp(insertionPoint, 0, c_.receivePane.document()->characterCount() - 1));
    cursor.insertText(pending_, pendingFormat_);
    pending_.clear();
    insertionPoint = cursor.position();
    TrimOldestLines();
    cursor.setPosition(
        std::clamp(insertionPoint, 0, c_.receivePane.document()->characterCount() - 1));
    c_.receivePane.setTextCursor(cursor);
    c_.receivePane.ensureCursorVisible();
}

void ReceiveDisplay::Capture(std::uint8_t c) {
    if (!c_.capture.on || c_.capture.file == nullptr) {
        return;
    }
    // Capture files are text with CR LF line ends.
    if (c == 0x0A) {
        c_.capture.file->write("\r\n", 2);
    } else {
        const char byte = static_cast<char>(c);
        c_.capture.file->write(&byte, 1);
    }
    c_.capture.file->flush();
    ++c_.capture.count;
    c_.setPane(6, c_.capture.name + QStringLiteral(": ") + QString::number(c_.capture.count));
}

void ReceiveDisplay::ShowCharacter(std::uint8_t c) {
    if (c_.faxPanel != nullptr && c_.faxPanel->isVisible()) {
        return;
    }
    if (c_.flags.echo) {
        if (c_.echoed) {
            c_.echoed(c);
        }
        if (c_.sendingBinary != nullptr && *c_.sendingBinary) {
            return;
        }
        if (c == 0x0A) {
            return;
        }
        if (c == 0x0D) {
            c = 0x0A;
        }
        // Compared exactly: only "ON" shows echoes.
        if (c_.settings.EchoEnable == QLatin1String("ON") && IsShownCharacter(c)) {
            Insert(static_cast<char>(c == 0x0A ? '\n' : c), c_.settings.EchoTextColor);
        }
    } else {
        if (c == 0x07 && bell) {
            c_.sound.DefaultSound();
        }
        if (c == 0x0A) {
            return;
        }
        if (c == 0x0D) {
            c = 0x0A;
        }
        if (IsShownCharacter(c)) {
            Insert(static_cast<char>(c == 0x0A ? '\n' : c), c_.settings.ReceiveTextColor);
        }
    }
    Capture(c);
    c_.transmitPane.setFocus();
}

} // namespace tarvis
