#include "terminal/MessageFiles.h"

#include "config/FileReplace.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarvis {

namespace {

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

MessageFile CannotRead(const QString& path, const QString& reason) {
    MessageFile result;
    result.error =
        QStringLiteral("The message file %1 cannot be read: %2.").arg(Shown(path), reason);
    return result;
}

// Closes a descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads up to limit + 1 bytes, so that a longer file is known to be longer.
bool ReadUpTo(int fd, qsizetype limit, QByteArray& out) {
    out.resize(limit + 1);
    qsizetype have = 0;
    while (have < out.size()) {
        const ssize_t n = ::read(fd, out.data() + have, static_cast<size_t>(out.size() - have));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        have += n;
    }
    out.resize(have);
    return true;
}

MessageFile CreateWithDefault(const QString& path, int number) {
    MessageFile result;
    const QByteArray name = QFile::encodeName(path);
    const QByteArray text = MessageDefaultText(number);
    // Exclusive: a file (or a dangling link) that appeared meanwhile is never overwritten.
    const Descriptor fd(::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    bool written = fd.get() >= 0;
    if (written) {
        const ssize_t n = ::write(fd.get(), text.constData(), static_cast<size_t>(text.size()));
        if (n >= 0 && n != text.size()) {
            errno = ENOSPC;
        }
        written = n == text.size();
        if (!written) {
            const int error = errno;
            ::unlink(name.constData());
            errno = error;
        }
    }
    if (!written) {
        result.error = QStringLiteral("The message file %1 cannot be created: %2.")
                           .arg(Shown(path), qt_error_string(errno));
        return result;
    }
    result.bytes = text;
    result.created = true;
    return result;
}

} // namespace

QString MessageFileName(int number) {
    if (number >= kFirstMessage && number <= 9) {
        return QStringLiteral("hereis%1.txt").arg(number);
    }
    if (number == kWruMessage) {
        return QStringLiteral("wru.txt");
    }
    return {};
}

QByteArray MessageDefaultText(int number) {
    if (number >= kFirstMessage && number <= 9) {
        return "Here is #" + QByteArray::number(number);
    }
    if (number == kWruMessage) {
        return "WRU";
    }
    return {};
}

MessageFile ReadMessageFile(const QString& folder, int number, MissingMessage missing) {
    const QString path = folder + MessageFileName(number);
    const QByteArray name = QFile::encodeName(path);
    // Not blocking: a pipe or a device in the file's place must not hold the program up.
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT && missing == MissingMessage::Create) {
            return CreateWithDefault(path, number);
        }
        if (errno == ENOENT) {
            MessageFile result;
            result.missing = true;
            return result;
        }
        return CannotRead(path, qt_error_string(errno));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return CannotRead(path, qt_error_string(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return CannotRead(path, QStringLiteral("it is a folder"));
    }
    if (!S_ISREG(info.st_mode)) {
        return CannotRead(path, QStringLiteral("it is not an ordinary file"));
    }
    MessageFile result;
    if (!ReadUpTo(fd.get(), kMessageFileLimit, result.bytes)) {
        return CannotRead(path, qt_error_string(errno));
    }
    if (result.bytes.size() > kMessageFileLimit) {
        result.bytes.truncate(kMessageFileLimit);
        result.truncated = true;
    }
    return result;
}

QString WriteMessageFile(const QString& folder, int number, const QByteArray& bytes) {
    const QString path = folder + MessageFileName(number);
    QString reason;
    if (ReplaceFile(path, bytes, &reason)) {
        return {};
    }
    return QStringLiteral("The message file %1 cannot be written: %2.").arg(Shown(path), reason);
}

} // namespace tarvis
