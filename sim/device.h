// The simulator's presence in the file system: the pseudo-terminal that stands in for the
// modem's serial port, the symbolic link that names it as a port, and the control socket.
#pragma once

#include <string>

namespace qd470sim {

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    // Opens a new pseudo-terminal in raw mode with a non-blocking master. The simulator keeps
    // its own descriptor of the device side open, so the host may close and reopen the port
    // (as it does when it tries ports in turn) without the master seeing a hang-up.
    bool open(std::string& error);

    int master() const { return master_; }
    const std::string& devicePath() const { return devicePath_; }

private:
    int master_ = -1;
    int device_ = -1;
    std::string devicePath_;
};

// Makes `path` a symbolic link to `target`. An existing symbolic link at `path` is replaced (a
// simulator that was killed leaves one behind); any other kind of file is refused.
bool makeLink(const std::string& path, const std::string& target, std::string& error);

// Removes `path` if it is still the symbolic link to `target` (another simulator may since have
// taken the name over).
void removeLink(const std::string& path, const std::string& target);

// Listens on a unix stream socket at `path` and returns its descriptor, or -1 with `error`. A
// socket file nobody listens on any more is replaced; a live one or any other file is refused.
int listenUnixSocket(const std::string& path, std::string& error);

} // namespace qd470sim
