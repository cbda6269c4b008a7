#include "sim/device.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

namespace qd470sim {

namespace {

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Fails with a message when the folder that is to hold `path` is missing.
bool folderExists(const std::string& path, std::string& error) {
    const std::string folder = folderOf(path);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = "folder " + folder + " does not exist";
        return false;
    }
    return true;
}

} // namespace

PseudoTerminal::~PseudoTerminal() {
    if (watch_ >= 0)
        ::close(watch_);
    if (device_ >= 0)
        ::close(device_);
    if (master_ >= 0)
        ::close(master_);
}

int PseudoTerminal::hostBaud() const {
    // The two sides of a pseudo-terminal share one set of line settings, so the master sees
    // the speed the host gave the device.
    termios tio{};
    if (master_ < 0 || ::tcgetattr(master_, &tio) != 0)
        return 0;
    switch (::cfgetospeed(&tio)) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}

void PseudoTerminal::makeRaw(std::string& error) {
    termios tio{};
    if (::tcgetattr(device_, &tio) != 0) {
        error = systemError("cannot read the settings of " + devicePath_);
        return;
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(device_, TCSANOW, &tio) != 0)
        error = systemError("cannot set " + devicePath_ + " to raw mode");
}

bool PseudoTerminal::open(std::string& error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) {
        error = systemError("cannot open a pseudo-terminal");
        return false;
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = systemError("cannot unlock the pseudo-terminal");
        return false;
    }
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        error = systemError("cannot name the pseudo-terminal");
        return false;
    }
    devicePath_ = name;
    device_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (device_ < 0) {
        error = systemError("cannot open " + devicePath_);
        return false;
    }
    makeRaw(error);
    if (!error.empty())
        return false;
    // Watched only after the simulator's own open, so every open seen is another program's.
    watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ < 0 || ::inotify_add_watch(watch_, name, IN_OPEN | IN_CLOSE) < 0) {
        error = systemError("cannot watch " + devicePath_);
        return false;
    }
    return true;
}

PseudoTerminal::PortActivity PseudoTerminal::readWatch() {
    PortActivity activity;
    alignas(inotify_event) char buf[4096];
    ssize_t n;
    while ((n = ::read(watch_, buf, sizeof buf)) > 0) {
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buf + at);
            if (e->mask & IN_OPEN) {
                ++openers_;
                ++activity.opened;
            }
            if ((e->mask & IN_CLOSE) && openers_ > 0) {
                --openers_;
                ++activity.closed;
                activity.released = openers_ == 0;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
    }
    activity.released = activity.released && openers_ == 0;
    if (activity.released) {
        ::ioctl(device_, TIOCNXCL);
        ::tcflush(device_, TCIFLUSH);
        std::string ignored; // the line stays usable with the host's last settings
        makeRaw(ignored);
    }
    return activity;
}

bool makeLink(const std::string& path, const std::string& target, std::string& error) {
    const std::string what = "cannot create link " + path;
    const std::string prefix = what + ": ";
    if (!folderExists(path, error)) {
        error = prefix + error;
        return false;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        error = prefix + "it exists and is not a symbolic link; not replacing it";
        return false;
    }
    // Made under a temporary name and renamed into place, so the name never points nowhere.
    const std::string temporary = path + ".qd470sim-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0) {
        error = systemError(what);
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = systemError(what);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

void removeLink(const std::string& path, const std::string& target) {
    char buf[4096];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf - 1);
    if (n < 0)
        return;
    buf[n] = '\0';
    if (target == buf)
        ::unlink(path.c_str());
}

int listenUnixSocket(const std::string& path, std::string& error) {
    const std::string what = "cannot listen on " + path;
    const std::string prefix = what + ": ";
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        error = prefix + "the path is longer than " + std::to_string(sizeof addr.sun_path - 1) +
                " characters";
        return -1;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    if (!folderExists(path, error)) {
        error = prefix + error;
        return -1;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            error = prefix + "it exists and is not a socket; not replacing it";
            return -1;
        }
        const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool live =
            probe >= 0 && ::connect(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        if (probe >= 0)
            ::close(probe);
        if (live) {
            error = prefix + "another program is listening there";
            return -1;
        }
        ::unlink(path.c_str());
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = systemError(what);
        return -1;
    }
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0) {
        error = systemError(what);
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace qd470sim
