// One simulated station: a modem on its own pseudo-terminal, named by its link path, with the
// bytes waiting to go to the host.
#pragma once

#include "sim/device.h"
#include "sim/modem.h"

#include <string>

namespace qd470sim {

class Station {
public:
    Station(const ModemIdentity& identity, LogSink& log);
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;
    ~Station();

    // Opens the pseudo-terminal and makes `linkPath` point to it.
    bool start(const std::string& linkPath, std::string& error);
    // Removes the link (if it is still ours).
    void stop();

    int fd() const { return pty_.master(); }
    // Reports the host opening and closing the port; see `portEvents`.
    int watchFd() const { return pty_.watch(); }
    const std::string& linkPath() const { return linkPath_; }
    const std::string& devicePath() const { return pty_.devicePath(); }
    bool wantsWrite() const { return !pending_.empty(); }

    // The host has written: read it all, let the modem answer, send what can be sent.
    void readable();
    // The terminal can take more of what waits.
    void writable();
    // Sends whatever the modem has queued since (after control commands, for example).
    void flush();
    // The host opened or closed the port. Once it has closed it, what still waited for it is
    // dropped: nobody will read it, and the next host must not take it for an answer of its own.
    void portEvents();

    Modem& modem() { return modem_; }

private:
    LogSink& log_;
    Modem modem_;
    PseudoTerminal pty_;
    std::string linkPath_;
    bool linked_ = false;
    Bytes pending_;
};

} // namespace qd470sim
