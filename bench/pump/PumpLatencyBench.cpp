// How long a key typed in CHAR mode takes to reach the serial port: a transmit pane, the
// transmit pump on TxReady, the modem link's transmit thread and a real port (one end of a
// pseudo-terminal), the byte read back at the other end. Prints the percentiles; the goal is
// under 250 ms at the 99th percentile.
//
//   tarvis-pump-bench [samples]     (default 300)
#include "config/Settings.h"
#include "link/LinkStatus.h"
#include "link/ModemLink.h"
#include "link/PosixSerialPort.h"
#include "link/TransmitPump.h"
#include "modes/TerminalState.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Sound.h"
#include "platform/WindowMessage.h"
#include "terminal/TextEntry.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextEdit>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <pty.h>
#include <random>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;
constexpr int kGoalMs = 250;

// Hands TxReady to the pump, as the main window does.
class TxReadyWindow final : public QObject {
public:
    tarvis::TransmitPump* pump = nullptr;
    bool event(QEvent* e) override {
        if (e->type() == static_cast<QEvent::Type>(tarvis::kTxReadyMessage)) {
            if (pump != nullptr) {
                pump->OnTxReady();
            }
            return true;
        }
        return QObject::event(e);
    }
};

// Reads the far end of the port; stamps the arrival of each byte.
class PortWatcher {
public:
    PortWatcher(int fd, QObject* wake) : fd_(fd), wake_(wake) {
        thread_ = std::thread([this] { Run(); });
    }
    ~PortWatcher() {
        stop_ = true;
        thread_.join();
    }
    std::atomic<long> received{0};
    std::atomic<Steady::rep> lastArrival{0};

private:
    void Run() {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) {
                continue;
            }
            unsigned char buffer[256];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                lastArrival = Steady::now().time_since_epoch().count();
                received += n;
                // Wakes the user-interface thread's wait.
                tarvis::PostWindowMessage(wake_, QEvent::User + 1);
            }
        }
    }
    int fd_;
    QObject* wake_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index =
        static_cast<std::size_t>(p / 100.0 * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int samples = argc > 1 ? std::atoi(argv[1]) : 300;
    if (samples <= 0) {
        std::fprintf(stderr,
                     "tarvis-pump-bench: the number of samples must be a positive number\n");
        return 2;
    }

    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("tarvis-pump-bench: openpty");
        return 1;
    }

    using namespace tarvis;
    Settings settings;
    settings.HighLightTextColor = QStringLiteral("Red");
    settings.TransmitTextColor = QStringLiteral("Blue");
    TerminalState terminal;
    terminal.OperatingMode = kModeMirvol;
    terminal.TextEntryMode = kTextEntryChar;
    terminal.TxEnabled = true;
    LinkStatus status;
    status.linkEstablished = true;

    TxReadyWindow window;
    ModemLink link(ModemLink::Context{SystemClock(), QtEventPump(), nullptr,
                                      [&window] { PostWindowMessage(&window, kTxReadyMessage); },
                                      [&terminal] { return terminal.OperatingMode; }},
                   std::make_unique<PosixSerialPort>());
    if (!link.OpenPort(name)) {
        std::fprintf(stderr, "tarvis-pump-bench: cannot open %s: %s\n", name,
                     link.Port().ErrorText().c_str());
        return 1;
    }
    ::close(slave);

    QTextEdit edit;
    TextEditTransmitPane pane(edit);
    ModemLinkPumpModem modem(link);
    TransmitPump pump(TransmitPump::Context{pane, modem, nullptr, terminal, status, settings,
                                            SystemClock(), QtEventPump(),
                                            [](int, const QString&) {}});
    TransmitKeyGuard guard(TransmitKeyGuard::Context{edit, pump, settings, SystemSound(), {}});
    window.pump = &pump;
    PortWatcher watcher(master, &window);
    link.StartIoThreads();

    std::mt19937 random(1224);
    std::uniform_int_distribution<int> pause(0, 250);
    std::vector<double> latencies;
    latencies.reserve(static_cast<std::size_t>(samples));
    int lost = 0;
    for (int i = 0; i < samples; ++i) {
        // Keys come at random moments against the transmit thread's 200 ms rhythm.
        Delay(SystemClock(), QtEventPump(), pause(random));
        const long before = watcher.received;
        const auto typed = Steady::now();
        const QChar letter(QLatin1Char(static_cast<char>('a' + i % 26)));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + i % 26, Qt::NoModifier, QString(letter));
        QApplication::sendEvent(&edit, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + i % 26, Qt::NoModifier, QString(letter));
        QApplication::sendEvent(&edit, &release);
        while (watcher.received == before && Steady::now() - typed < std::chrono::seconds(2)) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        if (watcher.received == before) {
            ++lost;
            continue;
        }
        const auto arrived = Steady::time_point(Steady::duration(watcher.lastArrival.load()));
        latencies.push_back(std::chrono::duration<double, std::milli>(arrived - typed).count());
        // The modem's echo of the character.
        pump.InFlight().Echo(static_cast<std::uint8_t>(letter.unicode()));
    }
    link.StopIoThreads();
    link.ClosePort();

    if (latencies.empty()) {
        std::fprintf(stderr, "tarvis-pump-bench: no typed character reached the port\n");
        return 1;
    }
    const double p99 = Percentile(latencies, 99);
    std::printf(
        "key to port, CHAR mode, %zu keys (%d lost): p50 %.1f ms  p90 %.1f ms  p99 %.1f ms  "
        "max %.1f ms\n",
        latencies.size(), lost, Percentile(latencies, 50), Percentile(latencies, 90), p99,
        *std::max_element(latencies.begin(), latencies.end()));
    std::printf("goal p99 < %d ms: %s\n", kGoalMs, p99 < kGoalMs && lost == 0 ? "met" : "missed");
    return p99 < kGoalMs && lost == 0 ? 0 : 1;
}
