#include "terminal/CannedMessages.h"

#include "config/Jw_utils.h"
#include "link/TransmitPump.h"
#include "modes/LinkOperations.h"
#include "platform/Dialogs.h"
#include "platform/Sound.h"
#include "terminal/HereIsPanel.h"
#include "terminal/MessageFiles.h"

#include <QAction>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

namespace tarvis {

namespace {

QString Latin1(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

void SetTypingColour(CannedWindow& c) {
    c.modes.reTXData->setTextColor(ColorFromName(c.modes.settings.TransmitTextColor));
}

void InsertIntoPane(CannedWindow& c, const QString& text) {
    if (c.modes.reTXData == nullptr) {
        return;
    }
    SetTypingColour(c);
    InsertAtCaret(*c.modes.reTXData, c.pump.SentPosition(), text);
}

bool SendingBinary(const CannedWindow& c) {
    return c.sendingBinary && c.sendingBinary();
}

void FocusTransmitPane(CannedWindow& c) {
    if (c.modes.reTXData != nullptr) {
        c.modes.reTXData->setFocus();
    }
}

// The preview shows the message file's lines; a file that cannot be read shows nothing.
void LoadPreview(CannedWindow& c, int number) {
    c.hereIs->edHereIs->clear();
    const MessageFile file = ReadMessageFile(c.modes.messageFolder, number);
    ReportMessageFile(c.dialogs, file);
    c.hereIs->edHereIs->setPlainText(MessageLines(file.bytes).join(QLatin1Char('\n')));
}

// A number edit text from "1" to "10" previews that message; 10 is shown as "WRU".
void LoadSelected(CannedWindow& c, int number) {
    if (number == kWruMessage) {
        c.hereIs->edHereIsNumber->setText(QStringLiteral("WRU"));
    }
    LoadPreview(c, number);
}

void SetMirvolCallCqCaption(CannedWindow& c, const QString& caption) {
    if (QAction* button = c.modes.bars.butMVLCallCQ) {
        button->setText(caption);
    }
}

void Enable(QAction* button, bool on) {
    if (button != nullptr) {
        button->setEnabled(on);
    }
}

void CloseHereIsPanel(CannedWindow& c) {
    if (c.setDispatchPaused) {
        c.setDispatchPaused(false);
    }
    c.hereIs->hide();
    FocusTransmitPane(c);
}

} // namespace

QStringList MessageLines(const QByteArray& bytes) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char ch = bytes.at(i);
        if (ch != '\r' && ch != '\n') {
            continue;
        }
        lines << Latin1(bytes.mid(start, i - start));
        if (ch == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < bytes.size()) {
        lines << Latin1(bytes.mid(start));
    }
    return lines;
}

void AppendLines(QTextEdit& pane, const QStringList& lines) {
    QTextCursor cursor(pane.document());
    cursor.movePosition(QTextCursor::End);
    const bool lineBegun = !pane.document()->isEmpty() && cursor.positionInBlock() != 0;
    QString text = lineBegun ? QStringLiteral("\n") : QString();
    for (const QString& line : lines) {
        text += line + QLatin1Char('\n');
    }
    cursor.insertText(text, pane.currentCharFormat());
    pane.setTextCursor(cursor);
    pane.ensureCursorVisible();
}

void InsertAtCaret(QTextEdit& pane, int sentPosition, const QString& text) {
    QTextCursor cursor = pane.textCursor();
    if (sentPosition > 0 && cursor.selectionStart() < sentPosition) {
        cursor.clearSelection();
        cursor.movePosition(QTextCursor::End);
    }
    cursor.insertText(text);
    pane.setTextCursor(cursor);
}

void ReportMessageFile(Dialogs& dialogs, const MessageFile& file) {
    if (!file.error.isEmpty()) {
        dialogs.MessageBox(file.error, QStringLiteral("ERROR"), BoxButtons::Ok, BoxIcon::Stop);
    } else if (file.truncated) {
        dialogs.ShowMessage(
            QStringLiteral("The message file is larger than %1 KB; only its first %1 KB are used.")
                .arg(kMessageFileLimit / 1024));
    }
}

void butMsg0Click(CannedWindow& c) {
    if (SendingBinary(c) || c.modes.reTXData == nullptr) {
        return;
    }
    const MessageFile file = ReadMessageFile(c.modes.messageFolder, kFirstMessage);
    ReportMessageFile(c.dialogs, file);
    if (!file.error.isEmpty()) {
        return;
    }
    SetTypingColour(c);
    AppendLines(*c.modes.reTXData, MessageLines(file.bytes));
}

void butMsgPlusClick(CannedWindow& c) {
    if (SendingBinary(c)) {
        return;
    }
    OpenHereIsPanel(c, 1);
}

void OpenHereIsPanel(CannedWindow& c, int number) {
    if (c.hereIs == nullptr) {
        return;
    }
    if (number >= 1 && number <= kWruMessage) {
        c.hereIs->HereIsSelector->SetPosition(number);
    }
    c.hereIs->edHereIsNumber->setText(QString::number(number));
    LoadSelected(c, number);
    if (c.showCentred) {
        c.showCentred(*c.hereIs);
    }
    c.hereIs->edHereIsNumber->setFocus();
}

void HereIsSelectorClick(CannedWindow& c) {
    bool ok = false;
    const QString text = c.hereIs->edHereIsNumber->text();
    const int number = text.toInt(&ok);
    if (ok && text == QString::number(number) && number >= 1 && number <= kWruMessage) {
        LoadSelected(c, number);
    }
}

void edHereIsNumberKeyUp(CannedWindow& c, int key, const QString& text) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        return;
    }
    // Shift, the arrows and the like change nothing; nor does a deletion that leaves the
    // edit empty for the next digit.
    const bool typed = !text.isEmpty() && text.at(0).isPrint();
    QLineEdit& edit = *c.hereIs->edHereIsNumber;
    int number = -1;
    if (edit.text().isEmpty()) {
        if (!typed) {
            return;
        }
        number = text.at(0).isDigit() ? text.at(0).digitValue() : -1;
    } else if (typed || key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        bool ok = false;
        number = edit.text().toInt(&ok, 10);
        if (!ok) {
            number = -1;
        }
    } else {
        return;
    }
    if (number < 1 || number > kWruMessage) {
        edit.clear();
        edit.setFocus();
        c.sound.Beep();
        return;
    }
    c.hereIs->HereIsSelector->SetPosition(number);
    LoadSelected(c, number);
}

void Button4MouseUp(CannedWindow& c) {
    const QString preview = c.hereIs->edHereIs->toPlainText();
    if (!preview.isEmpty() && c.modes.reTXData != nullptr) {
        SetTypingColour(c);
        AppendLines(*c.modes.reTXData, preview.split(QLatin1Char('\n')));
    }
    CloseHereIsPanel(c);
}

void Button5Click(CannedWindow& c) {
    CloseHereIsPanel(c);
}

void butDeMYClick(CannedWindow& c) {
    if (SendingBinary(c)) {
        return;
    }
    InsertIntoPane(c, QStringLiteral("DE ") + c.modes.settings.MYCALL + QLatin1Char(' '));
}

void butHISdeMYClick(CannedWindow& c) {
    if (SendingBinary(c)) {
        return;
    }
    const Settings& s = c.modes.settings;
    InsertIntoPane(c, s.HISCALL + QStringLiteral(" DE ") + s.MYCALL + QLatin1Char(' '));
}

void butCallCQClick(CannedWindow& c) {
    if (SendingBinary(c)) {
        return;
    }
    TerminalState& t = c.modes.terminal;
    const Settings& s = c.modes.settings;
    t.BaseMode = t.OperatingMode;
    switch (t.OperatingMode) {
    case kModeBaudot:
    case kModeAscii:
    case kModeMirvolBroadcast:
    case kModePModeUnproto:
    case kModePsk31:
        InsertIntoPane(c, QStringLiteral("CQ CQ CQ DE ") + s.MYCALL);
        InsertIntoPane(c, QStringLiteral("\n"));
        break;
    case kModeAmtorBroadcast:
        InsertIntoPane(c,
                       QStringLiteral("CQ CQ CQ DE ") + s.MYCALL476 + QLatin1Char(' ') + s.MYCALL);
        InsertIntoPane(c, QStringLiteral("\n"));
        break;
    case kModeMirvol: {
        ModeToolBars& b = c.modes.bars;
        if (c.link.answerCq) {
            if (c.CQTimer != nullptr) {
                c.CQTimer->stop();
            }
            SetMirvolCallCqCaption(c, QStringLiteral("Answering CQ"));
            c.link.answerCq = false;
            c.modes.sendCommand(ByteCommand(kCmdMirvolAnswerCq, 0));
        } else {
            c.modes.sendCommand(ByteCommand(kCmdMirvolCq, 0));
        }
        Enable(b.butMVLConnect, false);
        Enable(b.butMVLFEC, false);
        Enable(b.butMVLCallCQ, false);
        Enable(b.butMVLPanic, true);
        break;
    }
    default:
        break;
    }
}

void CQTimerTimer(CannedWindow& c) {
    if (c.modes.terminal.OperatingMode != kModeMirvol) {
        return;
    }
    SetMirvolCallCqCaption(c, QStringLiteral("Call CQ"));
    if (c.CQTimer != nullptr) {
        c.CQTimer->stop();
    }
    c.link.answerCq = false;
    c.modes.setStatusPane(1, StandbyText(c.modes.terminal));
}

void butFoxesClick(CannedWindow& c) {
    if (SendingBinary(c) || c.modes.reTXData == nullptr) {
        return;
    }
    const int mode = c.modes.terminal.OperatingMode;
    const bool listedMode = mode == kModeBaudot || mode == kModeAscii ||
                            mode == kModeMirvolBroadcast || mode == kModeAmtorBroadcast ||
                            mode == kModePModeUnproto || mode == kModePsk31;
    if (!c.link.linkEstablished && !listedMode) {
        return;
    }
    QTextEdit& pane = *c.modes.reTXData;
    pane.moveCursor(QTextCursor::End);
    SetTypingColour(c);
    AppendLines(pane, {QLatin1String(kFoxLine)});
}

} // namespace tarvis
