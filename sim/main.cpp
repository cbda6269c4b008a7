// qd470sim: QD470 modems on pseudo-terminals, joined by a simulated HF channel, for training,
// demonstrations and tests of Tarvis without a radio. One loop serves every station's terminal,
// the control channel (standard input and/or unix sockets), the channel's timed work and the
// signals that end the program.
#include "sim/control.h"
#include "sim/device.h"
#include "sim/log.h"
#include "sim/options.h"
#include "sim/station.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace qd470sim;

namespace {

constexpr std::size_t kMaxControlLine = 65536;
std::int64_t steadyMillis() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One source of control lines and the place its answers go.
struct ControlClient {
    int in = -1;
    int out = -1;
    bool socket = false; // a socket is closed when done; standard input and output are not
    std::string received;
    std::string replies;
    bool discarding = false; // inside a line that was too long, until its end
    bool closed = false;
    std::size_t station = 0; // the station its lines address unless they name one

    ~ControlClient() {
        if (socket && in >= 0)
            ::close(in);
    }
};

bool stdinCarriesControl() {
    struct stat st {};
    if (::fstat(STDIN_FILENO, &st) != 0)
        return false;
    return ::isatty(STDIN_FILENO) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
}

// A control socket and the station its clients address.
struct Listener {
    int fd = -1;
    std::string path;
    std::size_t station = 0;
};

class Simulator {
public:
    Simulator(const Options& options, FileLog& log)
        : options_(options), log_(log), channel_(log, steadyMillis, options.timing) {
        for (const StationOptions& st : options.stations) {
            stations_.push_back(std::make_unique<Station>(st.identity, log));
            channel_.attach(stations_.back()->modem());
        }
    }

    ~Simulator() {
        for (const Listener& l : listeners_) {
            ::close(l.fd);
            ::unlink(l.path.c_str());
        }
        if (signals_ >= 0)
            ::close(signals_);
    }

    int run() {
        std::string error;
        bool ok = setUpSignals(error) && setUpControl(error);
        for (std::size_t i = 0; ok && i < stations_.size(); ++i)
            ok = stations_[i]->start(options_.stations[i].link, error);
        if (!ok) {
            std::fprintf(stderr, "qd470sim: %s\n", error.c_str());
            return kExitFailure;
        }
        for (std::size_t i = 0; i < stations_.size(); ++i)
            log_.line("qd470sim ready: " +
                      (stations_.size() > 1 ? "station " + std::to_string(i + 1) + " " : "") +
                      stations_[i]->linkPath() + " -> " + stations_[i]->devicePath());
        const std::string reason = loop();
        for (auto& c : clients_)
            sendReplies(*c);
        for (auto& s : stations_)
            s->stop();
        log_.line("qd470sim stopped: " + reason);
        return kExitOk;
    }

private:
    bool setUpSignals(std::string& error) {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGINT);
        sigaddset(&set, SIGTERM);
        sigaddset(&set, SIGHUP);
        // Blocked so that they arrive only through the descriptor, in the loop.
        ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
        signals_ = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
        if (signals_ < 0) {
            error = std::string("cannot watch signals: ") + std::strerror(errno);
            return false;
        }
        // A control client that goes away must not end the program, nor a read of a terminal
        // the simulator was put in the background of.
        std::signal(SIGPIPE, SIG_IGN);
        std::signal(SIGTTIN, SIG_IGN);
        std::signal(SIGTTOU, SIG_IGN);
        return true;
    }

    bool listen(const std::string& path, std::size_t station, std::string& error) {
        const int fd = listenUnixSocket(path, error);
        if (fd < 0)
            return false;
        listeners_.push_back({fd, path, station});
        return true;
    }

    bool setUpControl(std::string& error) {
        if (!options_.control.empty() && !listen(options_.control, 0, error))
            return false;
        for (std::size_t i = 0; i < options_.stations.size(); ++i)
            if (!options_.stations[i].control.empty() &&
                !listen(options_.stations[i].control, i, error))
                return false;
        if (options_.controlStdin && stdinCarriesControl()) {
            auto c = std::make_unique<ControlClient>();
            c->in = STDIN_FILENO;
            c->out = STDOUT_FILENO;
            clients_.push_back(std::move(c));
        }
        return true;
    }

    // Milliseconds until the channel has something to do; -1 for nothing.
    int pollTimeout() const {
        const auto due = channel_.nextDue();
        if (!due)
            return -1;
        return static_cast<int>(std::clamp<std::int64_t>(*due - steadyMillis(), 0, 60000));
    }

    void flushAll() {
        for (auto& s : stations_)
            s->flush();
    }

    // Runs until quit or a signal; returns why it ended.
    std::string loop() {
        for (;;) {
            // Slots: signals, each station's terminal and watch, the sockets, the clients.
            std::vector<pollfd> fds;
            fds.push_back({signals_, POLLIN, 0});
            for (const auto& s : stations_) {
                fds.push_back(
                    {s->fd(), static_cast<short>(POLLIN | (s->wantsWrite() ? POLLOUT : 0)), 0});
                fds.push_back({s->watchFd(), POLLIN, 0});
            }
            for (const Listener& l : listeners_)
                fds.push_back({l.fd, POLLIN, 0});
            const std::size_t firstClient = fds.size();
            for (const auto& c : clients_) {
                const short events = static_cast<short>(
                    (c->closed ? 0 : POLLIN) | (c->socket && !c->replies.empty() ? POLLOUT : 0));
                fds.push_back({c->in, events, 0});
            }
            if (::poll(fds.data(), fds.size(), pollTimeout()) < 0) {
                if (errno == EINTR)
                    continue;
                return std::string("poll failed: ") + std::strerror(errno);
            }
            if (fds[0].revents & POLLIN)
                return signalReason();
            for (std::size_t i = 0; i < stations_.size(); ++i) {
                Station& s = *stations_[i];
                const pollfd& port = fds[1 + 2 * i];
                if (port.revents & POLLOUT)
                    s.writable();
                if (port.revents & POLLIN)
                    s.readable();
                if (fds[2 + 2 * i].revents & POLLIN)
                    s.portEvents();
            }
            channel_.advance();
            flushAll();
            // Only the clients that were polled; one accepted now waits for the next round.
            const std::size_t polled = fds.size() - firstClient;
            for (std::size_t i = 0; i < listeners_.size(); ++i)
                if (fds[firstClient - listeners_.size() + i].revents & POLLIN)
                    accept(listeners_[i]);
            for (std::size_t i = 0; i < polled && !quit_; ++i) {
                ControlClient& c = *clients_[i];
                if (fds[firstClient + i].revents & (POLLIN | POLLHUP | POLLERR))
                    readControl(c);
                if (fds[firstClient + i].revents & POLLOUT)
                    sendReplies(c);
            }
            if (quit_)
                return "quit";
            dropFinishedClients();
        }
    }

    std::string signalReason() {
        signalfd_siginfo info{};
        if (::read(signals_, &info, sizeof info) != static_cast<ssize_t>(sizeof info))
            return "signal";
        const char* name = sigabbrev_np(static_cast<int>(info.ssi_signo));
        return std::string("SIG") + (name ? name : std::to_string(info.ssi_signo).c_str());
    }

    void accept(const Listener& listener) {
        const int fd = ::accept4(listener.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        auto c = std::make_unique<ControlClient>();
        c->station = listener.station;
        c->in = fd;
        c->out = fd;
        c->socket = true;
        clients_.push_back(std::move(c));
    }

    void readControl(ControlClient& c) {
        char buf[4096];
        const ssize_t n = ::read(c.in, buf, sizeof buf);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (n <= 0) {
            // The other end is done; it no longer says anything, but the program goes on.
            c.closed = true;
            return;
        }
        for (ssize_t i = 0; i < n; ++i) {
            const char ch = buf[i];
            if (ch == '\n') {
                if (!c.discarding)
                    runLine(c, c.received);
                c.received.clear();
                c.discarding = false;
            } else if (!c.discarding) {
                c.received += ch;
                if (c.received.size() > kMaxControlLine) {
                    c.received.clear();
                    c.discarding = true;
                    c.replies += "error: line longer than " + std::to_string(kMaxControlLine) +
                                 " characters, ignored\n";
                }
            }
        }
        sendReplies(c);
    }

    void runLine(ControlClient& c, const std::string& line) {
        const auto last = line.find_last_not_of("\r\n \t");
        if (last == std::string::npos)
            return;
        log_.line("control: " + line.substr(0, last + 1));
        const ControlReply reply = runControl(channel_, c.station, line);
        flushAll();
        c.replies += reply.text + "\n";
        if (reply.quit)
            quit_ = true;
    }

    void sendReplies(ControlClient& c) {
        while (!c.replies.empty()) {
            const ssize_t n = c.socket ? ::send(c.out, c.replies.data(), c.replies.size(),
                                                MSG_NOSIGNAL | MSG_DONTWAIT)
                                       : ::write(c.out, c.replies.data(), c.replies.size());
            if (n > 0) {
                c.replies.erase(0, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN) {
                // Nobody reads the answers any more.
                c.replies.clear();
                c.closed = true;
            }
            return;
        }
    }

    void dropFinishedClients() {
        std::erase_if(clients_, [](const std::unique_ptr<ControlClient>& c) {
            return c->closed && c->replies.empty();
        });
    }

    const Options& options_;
    FileLog& log_;
    Channel channel_;
    std::vector<std::unique_ptr<Station>> stations_;
    std::vector<Listener> listeners_;
    int signals_ = -1;
    std::vector<std::unique_ptr<ControlClient>> clients_;
    bool quit_ = false;
};

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const ParsedOptions parsed = parseOptions(args);
    switch (parsed.outcome) {
    case ParsedOptions::Outcome::Help:
        std::fputs(usageText().data(), stdout);
        return kExitOk;
    case ParsedOptions::Outcome::Error:
        std::fprintf(stderr, "qd470sim: %s\nTry 'qd470sim --help' for more information.\n",
                     parsed.error.c_str());
        return kExitUsage;
    case ParsedOptions::Outcome::Run:
        break;
    }
    FileLog log;
    std::string error;
    if (!log.open(parsed.options.log, error)) {
        std::fprintf(stderr, "qd470sim: %s\n", error.c_str());
        return kExitFailure;
    }
    Simulator simulator(parsed.options, log);
    return simulator.run();
}
