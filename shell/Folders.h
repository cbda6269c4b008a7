#pragma once
// The folders the program keeps beneath its home folder (the working directory at start),
// each ending in a separator.
#include <QString>
#include <QStringList>

namespace tarvis {

struct Folders {
    QString home;
    QString upload;   // Out/
    QString download; // In/
    QString config;   // Config/
    QString message;  // Msg/
};

Folders ComputeFolders(const QString& workingDirectory);

// Creates each folder that does not exist; the message of each one that could not be made,
// in the order upload, download, config, message.
QStringList CreateMissingFolders(const Folders& folders);

} // namespace tarvis
