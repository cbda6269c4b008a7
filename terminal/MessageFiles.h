#pragma once
// The canned message files in the message folder: hereis0.txt .. hereis9.txt (messages 0 to
// 9) and wru.txt (message 10, also the AMTOR answer-back text). They are read and written as
// bytes, exactly as they stand; a missing file is created with its default text.
#include <QByteArray>
#include <QString>

namespace tarvis {

inline constexpr int kFirstMessage = 0;
inline constexpr int kWruMessage = 10;

// The most of a message file that is read. A canned message is a few lines; a larger file
// (a log dropped into the folder by mistake) is cut here rather than filling the transmit
// pane with megabytes.
inline constexpr qsizetype kMessageFileLimit = 64 * 1024;

// "hereis0.txt" .. "hereis9.txt", "wru.txt"; empty for any other number.
QString MessageFileName(int number);
// "Here is #0" .. "Here is #9", "WRU" (without a line end); empty for any other number.
QByteArray MessageDefaultText(int number);

struct MessageFile {
    // What was read (or the default text just written), at most kMessageFileLimit bytes.
    QByteArray bytes;
    // The file holds more than kMessageFileLimit bytes; bytes are its beginning.
    bool truncated = false;
    // The file did not exist and was created with its default text.
    bool created = false;
    // The file does not exist and was left so (MissingMessage::Leave).
    bool missing = false;
    // Why the file could not be read or created, for the operator; empty when all went well.
    QString error;
};

enum class MissingMessage { Create, Leave };

// Reads message `number` from `folder` (which ends with a separator). A file that does not
// exist is created with the default text, or left missing. A folder, a device, a pipe or an
// unreadable file in its place is reported in `error`, left as it is and gives no bytes; nothing
// waits on it.
MessageFile ReadMessageFile(const QString& folder, int number,
                            MissingMessage missing = MissingMessage::Create);

// Replaces message `number` in `folder` with `bytes`, byte for byte. Returns the error for
// the operator, empty on success.
QString WriteMessageFile(const QString& folder, int number, const QByteArray& bytes);

} // namespace tarvis
