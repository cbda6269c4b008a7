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
    // The speed the host has set its side of the line to, in baud; 0 when it cannot be read.
    int hostBaud() const;
    const std::string& devicePath() const { return devicePath_; }

    // Opens and closes of the device by others (the host) are seen on this descriptor.
    int watch() const { return watch_; }

    struct PortActivity {
        int opened = 0;        // opens of the device by other programs
        int closed = 0;        // their closes
        bool released = false; // the last of them has closed it
    };
    // Reads what the watch reports. When the last opener has closed the device, it is made
    // ready for the next: the exclusive-use flag a host set is cleared (the simulator keeps the
    // device open, so the flag would outlive the host and lock every later opener out),
    // answers the host never read are discarded, and the line is raw again.
    PortActivity readWatch();

private:
    void makeRaw(std::string& error);

    int master_ = -1;
    int device_ = -1;
    int watch_ = -1;
    int openers_ = 0;
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
