#pragma once
// Replacing a file's whole contents so that a crash or a full disk never leaves it half
// written: the bytes go to a temporary file beside it, which then takes the file's place.
#include <QByteArray>
#include <QString>

namespace tarvis {

// Replaces (or creates) the file at path with bytes. A symbolic link is kept and its target
// replaced; the old file's permissions are kept. On failure returns false with the reason
// (the system's error text, or "a folder of that name is in the way") and leaves the file as
// it was.
bool ReplaceFile(const QString& path, const QByteArray& bytes, QString* reason);

} // namespace tarvis
