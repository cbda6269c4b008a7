#include "config/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarvis {

namespace {

// Writes all of bytes to fd, going on after partial writes and interrupted calls.
bool WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = EIO;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

// Makes a finished rename survive a power cut; a folder that cannot be synced is no failure.
void SyncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool ReplaceFile(const QString& path, const QByteArray& bytes, QString* reason) {
    auto fail = [&](const QString& why) {
        if (reason != nullptr)
            *reason = why;
        return false;
    };
    // A linked file is replaced where the link points, so the link stays.
    const QFileInfo info(path);
    const QFileInfo target(info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath());
    if (target.isDir())
        return fail(QStringLiteral("a folder of that name is in the way"));

    const QByteArray finalName = QFile::encodeName(target.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempName = folder + "/." + QFile::encodeName(target.fileName()) + '.' +
                   QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return fail(qt_error_string(errno));

    // Keep the permissions of the file being replaced.
    struct stat old {};
    if (::stat(finalName.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);

    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        const int error = written ? errno : writeError;
        ::unlink(tempName.constData());
        return fail(qt_error_string(error));
    }
    if (::rename(tempName.constData(), finalName.constData()) != 0) {
        const int error = errno;
        ::unlink(tempName.constData());
        return fail(qt_error_string(error));
    }
    SyncFolder(folder);
    return true;
}

} // namespace tarvis
