#include "shell/Folders.h"

#include <QDir>
#include <QFileInfo>

namespace tarvis {

Folders ComputeFolders(const QString& workingDirectory) {
    Folders f;
    f.home = QDir(workingDirectory).absolutePath();
    if (!f.home.endsWith(QLatin1Char('/'))) {
        f.home += QLatin1Char('/');
    }
    f.upload = f.home + QStringLiteral("Out/");
    f.download = f.home + QStringLiteral("In/");
    f.config = f.home + QStringLiteral("Config/");
    f.message = f.home + QStringLiteral("Msg/");
    return f;
}

QStringList CreateMissingFolders(const Folders& folders) {
    const std::pair<const QString*, const char*> checks[] = {
        {&folders.upload, "Error Creating Upload Directory!"},
        {&folders.download, "Error Creating Download Directory!"},
        {&folders.config, "Error Creating Config Directory!"},
        {&folders.message, "Error Creating Message Directory!"},
    };
    QStringList failures;
    for (const auto& [path, message] : checks) {
        if (QFileInfo(*path).isDir()) {
            continue;
        }
        if (!QDir().mkdir(*path)) {
            failures << QString::fromLatin1(message);
        }
    }
    return failures;
}

} // namespace tarvis
