#include "shell/StationLock.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace tarvis {

StationLock::~StationLock() {
    if (fd_ >= 0) {
        // Closing drops the lock; the file stays, so no other process can lose a race with
        // its removal.
        ::close(fd_);
    }
}

bool StationLock::Acquire(const QString& home, QString* why) {
    const QString folder = QDir(home).filePath(QStringLiteral("Config"));
    const QString path = QDir(folder).filePath(QStringLiteral("tarvis.lock"));
    QDir().mkpath(folder);
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        if (why != nullptr) {
            *why = QStringLiteral("Tarvis cannot use the station folder %1.\n\n%2: %3")
                       .arg(QDir::toNativeSeparators(home), path,
                            QString::fromLocal8Bit(std::strerror(errno)));
        }
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        char holder[32] = {};
        const ssize_t n = ::pread(fd, holder, sizeof holder - 1, 0);
        const QString pid = QString::fromLatin1(holder, n > 0 ? static_cast<int>(n) : 0).trimmed();
        ::close(fd);
        if (why != nullptr) {
            *why = QStringLiteral("Tarvis is already running in the station folder %1%2.\n\n"
                                  "Only one Tarvis at a time can use a station's settings and "
                                  "its modem. Close the other one first.")
                       .arg(QDir::toNativeSeparators(home),
                            pid.isEmpty() ? QString() : QStringLiteral(" (process %1)").arg(pid));
        }
        return false;
    }
    // The holder's process number, for the message another start shows.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(fd, pid.data(), pid.size(), 0);
    }
    fd_ = fd;
    return true;
}

} // namespace tarvis
