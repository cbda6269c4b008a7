#include "sim/station.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace qd470sim {

Station::Station(const ModemIdentity& identity, LogSink& log) : log_(log), modem_(identity, log) {}

Station::~Station() {
    stop();
}

bool Station::start(const std::string& linkPath, std::string& error) {
    if (!pty_.open(error))
        return false;
    if (!makeLink(linkPath, pty_.devicePath(), error))
        return false;
    linkPath_ = linkPath;
    linked_ = true;
    return true;
}

void Station::stop() {
    if (linked_)
        removeLink(linkPath_, pty_.devicePath());
    linked_ = false;
}

void Station::readable() {
    std::uint8_t buf[4096];
    for (;;) {
        const ssize_t n = ::read(pty_.master(), buf, sizeof buf);
        if (n > 0) {
            modem_.setHostLineSpeed(pty_.hostBaud());
            modem_.fromHost({buf, static_cast<std::size_t>(n)});
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            log_.line(std::string("error: reading the terminal: ") + std::strerror(errno));
        break;
    }
    flush();
}

void Station::portEvents() {
    const PseudoTerminal::PortActivity activity = pty_.readWatch();
    for (int i = 0; i < activity.opened; ++i)
        log_.line("port opened by the host");
    for (int i = 0; i < activity.closed; ++i)
        log_.line("port closed by the host");
    if (activity.released) {
        pending_.clear();
        modem_.portReleased();
    }
}

void Station::flush() {
    const Bytes out = modem_.takeOutput();
    pending_.insert(pending_.end(), out.begin(), out.end());
    writable();
}

void Station::writable() {
    while (!pending_.empty()) {
        const ssize_t n = ::write(pty_.master(), pending_.data(), pending_.size());
        if (n > 0) {
            pending_.erase(pending_.begin(), pending_.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            log_.line(std::string("error: writing the terminal: ") + std::strerror(errno) +
                      "; dropped " + std::to_string(pending_.size()) + " bytes");
            pending_.clear();
        }
        break;
    }
}

} // namespace qd470sim
