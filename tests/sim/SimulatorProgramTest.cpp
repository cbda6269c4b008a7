// Runs the qd470sim program and talks to it as a host does: through the link it makes, with
// the port set up by termios, and through its control channel.
#include "tests/sim/TestBytes.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::string hex(const Bytes& bytes) {
    std::string s;
    char buf[4];
    for (const auto b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        s += (s.empty() ? "" : " ") + std::string(buf);
    }
    return s;
}

template <typename Pred> bool waitFor(Pred pred, std::chrono::milliseconds limit = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

bool present(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0;
}

// Reads from `fd` until `count` bytes have come or `limit` has passed.
Bytes readBytes(int fd, std::size_t count, std::chrono::milliseconds limit = 3000ms) {
    Bytes out;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (out.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        std::uint8_t buf[256];
        const ssize_t n = ::read(fd, buf, std::min(sizeof buf, count - out.size()));
        if (n <= 0)
            break;
        out.insert(out.end(), buf, buf + n);
    }
    return out;
}

// A unique folder for one test, removed afterwards.
struct TempFolder {
    fs::path path;
    TempFolder() {
        char name[] = "/tmp/qd470sim-test-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempFolder() { fs::remove_all(path); }
};

class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args) {
        // A simulator that has ended must fail the test, not kill it.
        std::signal(SIGPIPE, SIG_IGN);
        std::vector<char*> argv{const_cast<char*>(QD470SIM_PATH)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        int in[2], out[2], err[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
            ::pipe2(err, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            ::execv(QD470SIM_PATH, argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        ::close(err[1]);
        stdin_ = in[1];
        stdout_ = out[0];
        stderr_ = err[0];
    }

    ~SimProcess() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        for (const int fd : {stdin_, stdout_, stderr_})
            if (fd >= 0)
                ::close(fd);
    }

    void writeStdin(const std::string& text) {
        EXPECT_EQ(::write(stdin_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // Writes one control line to standard input and returns the answer line.
    std::string control(const std::string& line) {
        writeStdin(line + "\n");
        return readLine(stdout_);
    }

    static std::string readLine(int fd) {
        std::string s;
        for (;;) {
            const Bytes b = readBytes(fd, 1);
            if (b.empty() || b[0] == '\n')
                return s;
            s += static_cast<char>(b[0]);
        }
    }

    void signal(int sig) { ::kill(pid_, sig); }

    // The exit status, or -1 when the program did not end in time.
    int wait(std::chrono::milliseconds limit = 5000ms) {
        int status = 0;
        const bool ended =
            waitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, limit);
        if (!ended)
            return -1;
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::string allStderr() { return drain(stderr_); }
    std::string allStdout() { return drain(stdout_); }

private:
    static std::string drain(int fd) {
        std::string s;
        for (;;) {
            const Bytes b = readBytes(fd, 4096, 200ms);
            if (b.empty())
                return s;
            s.append(b.begin(), b.end());
        }
    }

    pid_t pid_ = -1;
    bool exited_ = false;
    int stdin_ = -1, stdout_ = -1, stderr_ = -1;
};

// The host's side of the port: opened through the link and set up as a serial line.
class HostPort {
public:
    explicit HostPort(const fs::path& link) {
        fd_ = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0)
            return;
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(fd_, TCSANOW, &tio);
    }
    ~HostPort() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    void send(const char* hexText) {
        const Bytes b = hexToBytes(hexText);
        EXPECT_EQ(::write(fd_, b.data(), b.size()), static_cast<ssize_t>(b.size()));
    }
    // Sends a query and returns the answer of `count` bytes, in hexadecimal.
    std::string ask(const char* query, std::size_t count) {
        send(query);
        return hex(readBytes(fd_, count));
    }
    // Whatever arrives within `limit` (for answers that must not come).
    std::string quietFor(std::chrono::milliseconds limit) {
        return hex(readBytes(fd_, 4096, limit));
    }
    std::string read(std::size_t count) { return hex(readBytes(fd_, count)); }

private:
    int fd_ = -1;
};

// The complete lines of `file`; a line still being written is left for the next look.
std::vector<std::string> readLines(const fs::path& file) {
    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

// "HH:MM:SS.mmm " at the start of a log line.
bool stamped(const std::string& line) {
    static const std::string shape = "dd:dd:dd.ddd ";
    if (line.size() < shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(line[i]))
                            : line[i] != shape[i])
            return false;
    return true;
}

// The log's lines without their time stamps, once each has the form "HH:MM:SS.mmm text".
std::vector<std::string> logEntries(const fs::path& file) {
    std::vector<std::string> out;
    for (const auto& l : readLines(file)) {
        if (!stamped(l)) {
            ADD_FAILURE() << "log line without time stamp: " << l;
            continue;
        }
        out.push_back(l.substr(13));
    }
    return out;
}

bool logHas(const fs::path& file, const std::string& entry) {
    return waitFor([&] {
        const auto e = logEntries(file);
        return std::find(e.begin(), e.end(), entry) != e.end();
    });
}

class Simulator : public ::testing::Test {
protected:
    TempFolder home;
    fs::path link = home.path / "COM1";
    fs::path log = home.path / "sim.log";

    std::unique_ptr<SimProcess> start(std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"--link", link.string(), "--log", log.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        fs::remove(log); // a log left by an earlier run in the same test says nothing of this one
        auto sim = std::make_unique<SimProcess>(args);
        // Ready once it says so; by then the link names its terminal.
        const std::string ready = "qd470sim ready: " + link.string() + " -> ";
        std::string device;
        EXPECT_TRUE(waitFor([&] {
            for (const auto& e : present(log) ? logEntries(log) : std::vector<std::string>{})
                if (e.starts_with(ready))
                    device = e.substr(ready.size());
            return !device.empty();
        })) << "not ready: "
            << sim->allStderr();
        EXPECT_TRUE(device.starts_with("/dev/pts/")) << device;
        EXPECT_EQ(fs::read_symlink(link).string(), device);
        return sim;
    }
};

struct StartupCase {
    const char* name;
    std::vector<std::string> options;
    // Answers to 80 02, 80 76, 80 77, 80 78, 80 7B, 80 A0.
    std::array<const char*, 6> answers;
};

void PrintTo(const StartupCase& c, std::ostream* os) {
    *os << c.name;
}

class SimulatorStartup : public Simulator, public ::testing::WithParamInterface<StartupCase> {};

TEST_P(SimulatorStartup, AnswersTheHostsStartupExchangeExactly) {
    auto sim = start(GetParam().options);
    HostPort port(link);
    ASSERT_TRUE(port.isOpen());
    port.send("80 41");
    port.send("80 46");
    port.send("80 84");
    EXPECT_EQ(port.quietFor(150ms), "");
    const char* queries[] = {"80 02", "80 76", "80 77", "80 78", "80 7B", "80 A0"};
    for (int i = 0; i < 6; ++i) {
        const std::string expected = GetParam().answers[i];
        EXPECT_EQ(port.ask(queries[i], hexToBytes(expected).size()), expected) << queries[i];
    }
    EXPECT_EQ(port.quietFor(100ms), "");

    std::vector<std::string> commands;
    for (const auto& e : logEntries(log))
        if (e.starts_with("80 "))
            commands.push_back(e);
    EXPECT_EQ(commands, (std::vector<std::string>{"80 41", "80 46", "80 84", "80 02", "80 76",
                                                  "80 77", "80 78", "80 7B", "80 A0"}));
    EXPECT_TRUE(logHas(log, std::string("sent ") + GetParam().answers[5]));
    sim->signal(SIGTERM);
    EXPECT_EQ(sim->wait(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SimulatorStartup,
    ::testing::Values(StartupCase{"Defaults",
                                  {},
                                  {"80 02 80 0A", "80 76 80 04 80 02", "80 77 80 04 80 01",
                                   "80 78 80 01 80 00", "80 7B 80 00 80 2F", "80 A0 80 80 80 04"}},
                      StartupCase{
                          "TextItems",
                          {"--answers", "text", "--dsp-version", "5.3", "--mirvol2000",
                           "--cpu-version", "12.10", "--boot-version", "1.0", "--product-id",
                           "002F", "--hardware", "800A", "--firmware-status", "01"},
                          {"02 01", "76 85 03", "77 0C 0A", "78 01 00", "7B 00 2F", "A0 81 80 0A"}},
                      StartupCase{"MixedItems",
                                  {"--answers=mixed", "--firmware-status=06", "--hardware=800b",
                                   "--product-id=81ff", "--dsp-version=0.0", "--mirvol2000"},
                                  {"80 02 06", "80 76 81 80 00", "80 77 04 01", "80 78 01 00",
                                   "80 7B 81 81 FF", "80 A0 81 80 0B"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Simulator, FirmwareStatusNoneNeverAnswersTheStatusQuery) {
    auto sim = start({"--firmware-status", "none"});
    HostPort port(link);
    for (int i = 0; i < 5; ++i)
        port.send("80 02");
    EXPECT_EQ(port.quietFor(300ms), "");
    EXPECT_EQ(port.ask("80 76", 6), "80 76 80 04 80 02");
}

TEST_F(Simulator, LogsCommandsAndTextReadably) {
    auto sim = start();
    HostPort port(link);
    port.send("80 13 80 4D 80 59 80 43 80 41 80 4C 80 4C 80 00");
    ASSERT_TRUE(logHas(log, "80 13 \"MYCALL\""));
    port.send("80 EC 80 04 80 FB 80 05 80 A5");
    ASSERT_TRUE(logHas(log, "80 EC 04FB 05A5 (1275, 1445)"));
    port.send("80 63 80 02");
    ASSERT_TRUE(logHas(log, "80 63 02"));
    port.send("48 45 4C 4C 4F 81 80 0D");
    EXPECT_TRUE(logHas(log, "text \"HELLO\\x80\\r\""));
    EXPECT_EQ(sim->control("state").substr(0, 3), "ok ");
}

TEST_F(Simulator, HostMayCloseAndReopenThePort) {
    auto sim = start();
    {
        HostPort first(link);
        EXPECT_EQ(first.ask("80 02", 4), "80 02 80 0A");
    }
    HostPort second(link);
    EXPECT_EQ(second.ask("80 7B", 6), "80 7B 80 00 80 2F");
}

// A host that set exclusive use and left answers unread must not lock out or mislead the next
// one, as the simulator keeps the terminal open across hosts.
TEST_F(Simulator, APortLeftByItsHostIsReadyForTheNext) {
    auto sim = start();
    {
        HostPort first(link);
        ASSERT_EQ(::ioctl(first.fd(), TIOCEXCL), 0);
        first.send("80 02");
        ASSERT_TRUE(logHas(log, "sent 80 02 80 0A"));
    }
    ASSERT_TRUE(logHas(log, "port closed by the host"));
    HostPort second(link);
    ASSERT_TRUE(second.isOpen());
    int exclusive = -1;
    ASSERT_EQ(::ioctl(second.fd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(second.quietFor(150ms), "");
    EXPECT_EQ(second.ask("80 7B", 6), "80 7B 80 00 80 2F");
    const auto entries = logEntries(log);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "port opened by the host"), 2);
}

TEST_F(Simulator, ControlOnStandardInputReachesTheHost) {
    auto sim = start();
    HostPort port(link);
    EXPECT_EQ(sim->control("send 80 09"), "ok sent 80 09");
    EXPECT_EQ(port.read(2), "80 09");
    EXPECT_EQ(sim->control("status 20 4E 30 43 41 4C 4C 00"), "ok sent 80 20 4E 30 43 41 4C 4C 00");
    EXPECT_EQ(port.read(9), "80 20 4E 30 43 41 4C 4C 00");
    EXPECT_EQ(sim->control("text R\\x81"), "ok sent 52 81 81");
    EXPECT_EQ(port.read(3), "52 81 81");

    EXPECT_EQ(sim->control("silent on"), "ok silent on");
    port.send("80 02 80 76");
    EXPECT_EQ(port.quietFor(200ms), "");
    EXPECT_EQ(sim->control("silent off"), "ok silent off");
    EXPECT_EQ(port.ask("80 02", 4), "80 02 80 0A");

    port.send("80 13 80 4E 80 30 80 00 80 81");
    ASSERT_TRUE(logHas(log, "80 81"));
    const std::string state = sim->control("state");
    EXPECT_NE(state.find(" mode=AMTOR "), std::string::npos) << state;
    EXPECT_NE(state.find(" mycall=\"N0\" "), std::string::npos) << state;
    EXPECT_EQ(sim->control("nonsense"), "error: unknown command 'nonsense' (try 'help')");

    EXPECT_EQ(sim->control("quit"), "ok bye");
    EXPECT_EQ(sim->wait(), 0);
    EXPECT_FALSE(present(link));
    EXPECT_EQ(logEntries(log).back(), "qd470sim stopped: quit");
}

TEST_F(Simulator, EscapeModeFollowsTheHardwareVersion) {
    for (const auto& [hardware, escapes] : std::vector<std::pair<std::string, bool>>{
             {"800A", true}, {"800B", true}, {"8004", false}}) {
        auto sim = start({"--hardware", hardware});
        HostPort port(link);
        EXPECT_EQ(sim->control("status 11"), "ok sent 80 11");
        EXPECT_EQ(port.read(2), "80 11");
        port.send("80 02");
        port.read(4);
        EXPECT_EQ(port.ask("80 A0", 6).substr(0, 5), "80 A0");
        if (escapes) {
            EXPECT_EQ(sim->control("status 11 13 91"), "ok sent 80 91 31 91 33 91 B1");
            EXPECT_EQ(port.read(7), "80 91 31 91 33 91 B1");
            EXPECT_EQ(sim->control("xoff"), "ok sent 13");
            EXPECT_EQ(sim->control("xon"), "ok sent 11");
            EXPECT_EQ(port.read(2), "13 11");
        } else {
            EXPECT_EQ(sim->control("status 11 13 91"), "ok sent 80 11 13 91");
            EXPECT_EQ(port.read(4), "80 11 13 91");
            EXPECT_TRUE(sim->control("xoff").starts_with("error: xoff needs escape mode"));
            EXPECT_EQ(port.quietFor(100ms), "");
        }
        EXPECT_NE(sim->control("state").find(escapes ? " escape=on " : " escape=off "),
                  std::string::npos);
        sim->signal(SIGTERM);
        EXPECT_EQ(sim->wait(), 0);
    }
}

int connectTo(const fs::path& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socketPath.c_str(), sizeof addr.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string socketCommand(int fd, const std::string& line) {
    const std::string l = line + "\n";
    EXPECT_EQ(::write(fd, l.data(), l.size()), static_cast<ssize_t>(l.size()));
    return SimProcess::readLine(fd);
}

TEST_F(Simulator, ControlSocketServesSeveralClientsAndGoesAwayWithTheSimulator) {
    const fs::path socketPath = home.path / "control.sock";
    auto sim = start({"--control", socketPath.string(), "--no-stdin"});
    HostPort port(link);
    const int a = connectTo(socketPath);
    const int b = connectTo(socketPath);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_EQ(socketCommand(a, "send 80 7A 80 0E"), "ok sent 80 7A 80 0E");
    EXPECT_EQ(port.read(4), "80 7A 80 0E");
    // A command split over two writes is one line.
    EXPECT_EQ(::write(b, "sta", 3), 3);
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(socketCommand(b, "te").starts_with("ok firmware-status=0A"));
    ::close(a);
    EXPECT_EQ(socketCommand(b, "text A"), "ok sent 41");
    EXPECT_EQ(port.read(1), "41");
    // Standard input is not read with --no-stdin: nothing answers there.
    sim->writeStdin("send 41\n");
    EXPECT_EQ(port.quietFor(100ms), "");
    EXPECT_EQ(socketCommand(b, "quit"), "ok bye");
    ::close(b);
    EXPECT_EQ(sim->wait(), 0);
    EXPECT_FALSE(present(link));
    EXPECT_FALSE(present(socketPath));
    EXPECT_EQ(sim->allStdout(), "");
}

TEST_F(Simulator, SignalsEndItCleanlyAndRemoveTheLink) {
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        auto sim = start();
        HostPort port(link);
        EXPECT_EQ(port.ask("80 02", 4), "80 02 80 0A");
        sim->signal(sig);
        EXPECT_EQ(sim->wait(), 0) << sig;
        EXPECT_FALSE(present(link)) << sig;
        EXPECT_EQ(logEntries(log).back(), std::string("qd470sim stopped: SIG") + sigabbrev_np(sig));
    }
}

TEST_F(Simulator, ReplacesALeftOverLinkButNeverAFile) {
    fs::create_symlink("/dev/pts/nonexistent", link);
    {
        auto sim = start();
        EXPECT_NE(fs::read_symlink(link), "/dev/pts/nonexistent");
        HostPort port(link);
        EXPECT_EQ(port.ask("80 02", 4), "80 02 80 0A");
        sim->signal(SIGTERM);
        EXPECT_EQ(sim->wait(), 0);
    }
    std::ofstream(link) << "keep me\n";
    SimProcess sim({"--link", link.string(), "--log", log.string()});
    EXPECT_EQ(sim.wait(), 1);
    EXPECT_EQ(sim.allStderr(), "qd470sim: cannot create link " + link.string() +
                                   ": it exists and is not a symbolic link; not replacing it\n");
    EXPECT_EQ(readLines(link), std::vector<std::string>{"keep me"});
}

TEST_F(Simulator, ClearErrorsAndExitCodes) {
    {
        const fs::path missing = home.path / "no-such-folder" / "COM1";
        SimProcess sim({"--link", missing.string(), "--log", log.string()});
        EXPECT_EQ(sim.wait(), 1);
        EXPECT_EQ(sim.allStderr(), "qd470sim: cannot create link " + missing.string() +
                                       ": folder " + missing.parent_path().string() +
                                       " does not exist\n");
    }
    {
        SimProcess sim({"--link", link.string(), "--hardware", "80A"});
        EXPECT_EQ(sim.wait(), 2);
        EXPECT_EQ(sim.allStderr(), "qd470sim: bad value '80A' for --hardware: expected four "
                                   "hexadecimal digits such as 800A\nTry 'qd470sim --help' for "
                                   "more information.\n");
        EXPECT_FALSE(present(link));
    }
    {
        SimProcess sim({"--link", link.string(), "--log", (home.path / "none" / "x.log").string()});
        EXPECT_EQ(sim.wait(), 1);
        EXPECT_TRUE(sim.allStderr().starts_with("qd470sim: cannot open log "));
        EXPECT_FALSE(present(link));
    }
    {
        std::ofstream(home.path / "taken.sock") << "";
        SimProcess sim({"--link", link.string(), "--control", (home.path / "taken.sock").string()});
        EXPECT_EQ(sim.wait(), 1);
        EXPECT_EQ(sim.allStderr(), "qd470sim: cannot listen on " +
                                       (home.path / "taken.sock").string() +
                                       ": it exists and is not a socket; not replacing it\n");
        EXPECT_FALSE(present(link));
    }
    {
        SimProcess sim({"--help"});
        EXPECT_EQ(sim.wait(), 0);
        const std::string help = sim.allStdout();
        EXPECT_TRUE(help.starts_with("Usage: qd470sim --link PATH [options]\n")) << help;
        for (const char* option : {"--log",
                                   "--firmware-status",
                                   "--dsp-version",
                                   "--cpu-version",
                                   "--boot-version",
                                   "--product-id",
                                   "--hardware",
                                   "--mirvol2000",
                                   "--answers",
                                   "--control",
                                   "--no-stdin",
                                   "--station",
                                   "--call-delay",
                                   "--call-timeout",
                                   "--report-interval",
                                   "--air-rate",
                                   "station N COMMAND",
                                   "settings",
                                   "quality 0..100",
                                   "lose"})
            EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

} // namespace

namespace {

// Two stations on one simulator, each with its own home folder and port; station 2 also has
// its own control socket. The channel runs fast so that a contact takes milliseconds.
class TwoStations : public ::testing::Test {
protected:
    TempFolder home;
    fs::path linkA = home.path / "A" / "COM1";
    fs::path linkB = home.path / "B" / "COM1";
    fs::path socketB = home.path / "B.sock";
    fs::path log = home.path / "sim.log";
    std::unique_ptr<SimProcess> sim;

    void SetUp() override {
        fs::create_directories(linkA.parent_path());
        fs::create_directories(linkB.parent_path());
        sim = std::make_unique<SimProcess>(std::vector<std::string>{
            "--station", linkA.string(), "--station",
            linkB.string() + ",control=" + socketB.string(), "--log", log.string(), "--call-delay",
            "50", "--call-timeout", "300", "--report-interval", "0", "--air-rate", "all=200"});
        ASSERT_TRUE(waitFor([&] {
            const auto e = present(log) ? logEntries(log) : std::vector<std::string>{};
            return std::any_of(e.begin(), e.end(), [&](const std::string& l) {
                return l.starts_with("qd470sim ready: station 2 " + linkB.string() + " -> ");
            });
        })) << sim->allStderr();
    }

    // Own calls A1 and B2 (476 AAAA and BBBB, 625 AAAAAAA and BBBBBBB), both in `mode`.
    void setUpHosts(HostPort& a, HostPort& b, const char* mode) {
        a.send("80 13 80 41 80 31 80 00 80 90 80 41 80 41 80 41 80 41 80 00");
        a.send("80 91 80 41 80 41 80 41 80 41 80 41 80 41 80 41 80 00");
        b.send("80 13 80 42 80 32 80 00 80 90 80 42 80 42 80 42 80 42 80 00");
        b.send("80 91 80 42 80 42 80 42 80 42 80 42 80 42 80 42 80 00");
        a.send(mode);
        b.send(mode);
        // Both have taken it all in once the settings show the mode.
        const std::string want =
            std::string("ok mode=") + (std::string(mode) == "80 80"   ? "MIRVOL"
                                       : std::string(mode) == "80 81" ? "AMTOR"
                                       : std::string(mode) == "80 85" ? "Baudot"
                                                                      : "P-Mode");
        ASSERT_TRUE(waitFor([&] {
            return sim->control("station 1 settings").starts_with(want) &&
                   sim->control("station 2 settings").starts_with(want);
        }));
    }
};

TEST_F(TwoStations, AMirvolContactFromCallToDisconnect) {
    HostPort a(linkA), b(linkB);
    ASSERT_TRUE(a.isOpen() && b.isOpen());
    setUpHosts(a, b, "80 80");
    const std::string settingsB = sim->control("station 2 settings");
    EXPECT_NE(settingsB.find(" mycall=\"B2\" mycall476=\"BBBB\" mycall625=\"BBBBBBB\" "),
              std::string::npos)
        << settingsB;

    a.send("80 11 80 42 80 32 80 00");
    EXPECT_EQ(a.read(16), "80 28 42 32 00 80 20 42 32 00 80 7A 0E 80 7A 06");
    EXPECT_EQ(b.read(16), "80 22 41 31 00 80 20 41 31 00 80 7A 0F 80 7A 07");
    EXPECT_EQ(sim->control("air"), "ok air=linked link-mode=MIRVOL peer=2 role=ISS quality=80 "
                                   "queued=0");

    // Text with a literal 80: echoed inside 31 ... 30, received at the other end.
    a.send("48 49 81 80 0D");
    EXPECT_EQ(a.read(9), "80 31 48 49 81 80 0D 80 30");
    EXPECT_EQ(b.read(5), "48 49 81 80 0D");

    // B answers: the link turns round.
    b.send("4F 4B");
    EXPECT_EQ(a.read(8), "80 7A 0F 80 7A 07 4F 4B");
    EXPECT_EQ(b.read(12), "80 7A 0E 80 7A 06 80 31 4F 4B 80 30");

    // A disconnects: both ends report the end.
    a.send("80 07");
    EXPECT_EQ(a.read(3), "80 23 00");
    EXPECT_EQ(b.read(6), "80 7A 07 80 23 00");
    EXPECT_EQ(a.quietFor(100ms) + b.quietFor(1ms), "");
    EXPECT_EQ(sim->control("station 2 air"), "ok air=idle queued=0");
}

TEST_F(TwoStations, CqAndItsAnswerThenALinkLostOnTheOtherStationsSocket) {
    HostPort a(linkA), b(linkB);
    setUpHosts(a, b, "80 80");
    a.send("80 14 80 00");
    EXPECT_EQ(a.read(3), "80 73 66");
    EXPECT_EQ(b.read(5), "80 26 41 31 00");
    b.send("80 15 80 00");
    EXPECT_EQ(b.read(16), "80 28 41 31 00 80 20 41 31 00 80 7A 0E 80 7A 06");
    EXPECT_EQ(a.read(16), "80 22 42 32 00 80 20 42 32 00 80 7A 0F 80 7A 07");

    const int control = connectTo(socketB);
    ASSERT_GE(control, 0);
    // The station's own socket addresses it without naming it.
    EXPECT_EQ(socketCommand(control, "air"),
              "ok air=linked link-mode=MIRVOL peer=1 role=ISS quality=80 queued=0");
    EXPECT_EQ(socketCommand(control, "lose"), "ok link lost");
    EXPECT_EQ(b.read(6), "80 7A 07 80 24 00");
    EXPECT_EQ(a.read(3), "80 24 00");
    // Any report on command, to the station the socket belongs to.
    EXPECT_EQ(socketCommand(control, "status 09"), "ok sent 80 09");
    EXPECT_EQ(b.read(2), "80 09");
    EXPECT_EQ(a.quietFor(50ms), "");
    ::close(control);
}

TEST_F(TwoStations, AmtorAndPModeCallsWithChangeOverAndForcedOver) {
    HostPort a(linkA), b(linkB);
    setUpHosts(a, b, "80 81");
    a.send("80 16 80 42 80 42 80 42 80 42 80 00");
    EXPECT_EQ(a.read(16), "80 28 42 42 42 42 00 80 29 00 80 7A 0E 80 7A 06");
    EXPECT_EQ(b.read(16), "80 22 41 41 41 41 00 80 29 00 80 7A 0F 80 7A 07");
    // "+?" hands the sending over; forced over (80 87) from the receiving side takes it back.
    a.send("2B 3F");
    EXPECT_EQ(a.read(12), "80 31 2B 3F 80 30 80 7A 0F 80 7A 07");
    EXPECT_EQ(b.read(8), "2B 3F 80 7A 0E 80 7A 06");
    a.send("80 87");
    EXPECT_EQ(a.read(6), "80 7A 0E 80 7A 06");
    EXPECT_EQ(b.read(6), "80 7A 0F 80 7A 07");
    a.send("80 07");
    EXPECT_EQ(a.read(6), "80 7A 07 80 23 00");
    EXPECT_EQ(b.read(3), "80 23 00");

    // The 625 call, then a P-Mode call on the long path.
    a.send("80 17 80 42 80 42 80 42 80 42 80 42 80 42 80 42 80 00");
    EXPECT_EQ(a.read(26), "80 28 42 42 42 42 42 42 42 00 80 2A 42 42 42 42 42 42 42 00 "
                          "80 7A 0E 80 7A 06");
    EXPECT_EQ(b.read(26), "80 22 41 41 41 41 41 41 41 00 80 2A 41 41 41 41 41 41 41 00 "
                          "80 7A 0F 80 7A 07");
    b.send("80 07");
    EXPECT_EQ(b.read(3), "80 23 00");
    EXPECT_EQ(a.read(6), "80 7A 07 80 23 00");
    a.send("80 1A 80 42 80 32 80 00");
    EXPECT_EQ(a.read(16), "80 28 42 32 00 80 2B 42 32 00 80 7A 0E 80 7A 06");
    EXPECT_EQ(b.read(16), "80 22 41 31 00 80 2B 41 31 00 80 7A 0F 80 7A 07");
}

TEST_F(TwoStations, BroadcastReachesTheOtherStationAndEndsAfterItsText) {
    HostPort a(linkA), b(linkB);
    setUpHosts(a, b, "80 80");
    b.send("80 58"); // B listens
    ASSERT_TRUE(waitFor([&] {
        return sim->control("station 2 settings").find(" listen=on ") != std::string::npos;
    }));
    a.send("80 12 80 00");
    EXPECT_EQ(a.read(3), "80 7A 12");
    EXPECT_EQ(b.read(8), "80 21 41 31 00 80 7A 13");
    a.send("43 51 80 07");
    EXPECT_EQ(a.read(9), "80 31 43 51 80 30 80 23 00"); // the end, as of a link
    EXPECT_EQ(b.read(5), "43 51 80 7A 10");
}

TEST_F(TwoStations, RttyTextGoesStraightToTheAirAndBack) {
    HostPort a(linkA), b(linkB);
    setUpHosts(a, b, "80 85");
    a.send("80 8E");
    EXPECT_EQ(a.read(3), "80 7A 06");
    a.send("52 59 20 5A 5A 5A 5A 80 07");
    EXPECT_EQ(a.read(14), "80 31 52 59 20 5A 5A 5A 5A 80 30 80 7A 07");
    EXPECT_EQ(b.read(7), "52 59 20 5A 5A 5A 5A");
    b.send("4F 4B 80 07");
    EXPECT_EQ(b.read(12), "80 7A 06 80 31 4F 4B 80 30 80 7A 07");
    EXPECT_EQ(a.read(2), "4F 4B");
}

TEST_F(TwoStations, AnUnansweredCallFails) {
    HostPort a(linkA), b(linkB);
    setUpHosts(a, b, "80 80");
    a.send("80 11 80 5A 80 39 80 00");
    EXPECT_EQ(a.read(5), "80 28 5A 39 00");
    EXPECT_EQ(a.read(3), "80 24 00");
    EXPECT_EQ(b.quietFor(50ms), "");
}

} // namespace

namespace {

void setSpeed(int fd, speed_t speed) {
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    ::tcsetattr(fd, TCSANOW, &tio);
}

} // namespace

TEST_F(Simulator, FollowsTheHostToTheDownloadSpeedAndRefusesBytesSentAtTheOldOne) {
    auto sim = start();
    HostPort port(link);
    ASSERT_TRUE(port.isOpen());
    EXPECT_EQ(port.ask("80 6A 80 07", 1), "6A");
    // Still at 9600 baud: the modem, now at 57600, cannot make sense of it.
    port.send("80 0F");
    EXPECT_TRUE(logHas(log, "error: 2 bytes sent at 9600 baud while the modem listens at 57600 "
                            "baud; they arrive garbled and are lost"));
    EXPECT_EQ(port.quietFor(100ms), "");
    setSpeed(port.fd(), B57600);
    EXPECT_EQ(port.ask("80 0F", 1), "0F");
    EXPECT_EQ(port.ask("80 01", 1), "01");
    port.send("53 39 0A"); // "S9\n", the end record
    EXPECT_EQ(port.read(3), "02 80 0A");
    port.send("80 09");
    EXPECT_TRUE(logHas(log, "download: modem reset; normal operation at 9600 baud"));
    setSpeed(port.fd(), B9600);
    EXPECT_EQ(port.ask("80 02", 4), "80 02 80 0A");
    sim->signal(SIGTERM);
    EXPECT_EQ(sim->wait(), 0);
}
