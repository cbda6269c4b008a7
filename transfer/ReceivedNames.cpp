#include "transfer/ReceivedNames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarvis {

std::string SafeReceivedName(std::string_view received) {
    const auto separator = received.find_last_of("/\\");
    const std::string_view last =
        separator == std::string_view::npos ? received : received.substr(separator + 1);
    if (last.empty() || last == "." || last == ".." || last.size() > kMaxReceivedName) {
        return {};
    }
    std::string name;
    for (const char ch : last) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            return {};
        }
        if (c < 0x80) {
            name.push_back(ch);
        } else {
            name.push_back(static_cast<char>(0xC0 | (c >> 6)));
            name.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return name;
}

std::string NameStem(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

PathKind KindAt(const std::string& path, long long* size) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return errno == ENOENT ? PathKind::Missing : PathKind::Unreachable;
    }
    if (size != nullptr) {
        *size = static_cast<long long>(st.st_size);
    }
    return S_ISREG(st.st_mode) ? PathKind::RegularFile : PathKind::Other;
}

std::FILE* OpenReceivedFile(const std::string& path, bool create) {
    const int flags = O_WRONLY | O_NOFOLLOW | O_CLOEXEC | (create ? O_CREAT | O_EXCL : O_APPEND);
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, create ? "wb" : "ab");
    if (file == nullptr) {
        ::close(fd);
    }
    return file;
}

bool MoveWithoutReplacing(const std::string& from, const std::string& to) {
    // A hard link fails when the target exists; only then is the old name given up.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    return false;
}

} // namespace tarvis
