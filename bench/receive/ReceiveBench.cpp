// How fast received text reaches the receive pane: bytes written to a pseudo-terminal go
// through the port, the receive thread and its framing, the ring, the dispatch thread's hand-off
// and the receive display into a real pane. Prints characters per second, CPU time per
// character and the memory the pane takes, with the pane empty and holding 100,000 and
// 1,000,000 characters, and whether every character arrived once and in order.
#include "bench/ProcessFigures.h"
#include "config/ConfigFile.h"
#include "link/ModemLink.h"
#include "link/PosixSerialPort.h"
#include "link/ReceiveDisplay.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Sound.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <pty.h>
#include <string>
#include <thread>
#include <unistd.h>

using namespace tarvis;
using tarvis::bench::CpuSeconds;
using tarvis::bench::ResidentKiB;

namespace {

class Target final : public DispatchTarget {
public:
    explicit Target(ReceiveDisplay& display) : display_(display) {}
    void DecodeStatus(std::uint8_t) override {}
    void ShowCharacter(std::uint8_t c) override {
        display_.ShowCharacter(c);
        ++shown;
    }
    void BinaryControl(std::uint8_t) override {}
    void WriteReceivedByte(std::uint8_t) override {}
    long shown = 0;

private:
    ReceiveDisplay& display_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const long measured = argc > 1 ? std::stol(argv[1]) : 50000;

    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    ::close(slave);

    Settings settings;
    ReadConfiguration(QStringLiteral("/nonexistent"), settings, ScreenContext{});
    QTextEdit rx;
    QTextEdit tx;
    rx.resize(800, 400);
    rx.show();
    CaptureState capture;
    auto link = std::make_unique<ModemLink>(
        ModemLink::Context{SystemClock(), QtEventPump(), nullptr, [] {}, [] { return 1; }},
        std::make_unique<PosixSerialPort>());
    if (!link->OpenPort(name)) {
        std::fprintf(stderr, "cannot open %s\n", name);
        return 1;
    }
    ReceiveDisplay display(
        {rx, tx, link->Flags(), settings, SystemSound(), capture, [](int, const QString&) {}});
    Target target(display);
    link->StartIoThreads();
    link->CreateDisplayThread(target);
    link->Display()->Resume();

    // A line of text as the air brings it: 64 characters and a CR LF.
    std::string line;
    for (int i = 0; i < 64; ++i) {
        line.push_back(static_cast<char>('A' + i % 26));
    }
    line += "\r\n";

    std::printf("%-12s %12s %14s %16s %10s\n", "pane holds", "chars/s", "CPU us/char",
                "pane KiB/Mchar", "in order");
    for (const long prefill : {0L, 100000L, 1000000L}) {
        rx.clear();
        display.insertionPoint = 0;
        const long before = ResidentKiB();
        if (prefill > 0) {
            QString block;
            for (long n = 0; n < prefill; n += static_cast<long>(line.size()) - 1) {
                block += QString::fromLatin1(line.substr(0, line.size() - 2).c_str()) +
                         QLatin1Char('\n');
            }
            rx.setPlainText(block);
            display.insertionPoint = rx.document()->characterCount() - 1;
        }
        const long filled = ResidentKiB();
        target.shown = 0;
        std::atomic<bool> done{false};
        // Numbered lines, so that a lost, doubled or reordered character shows in the pane.
        std::string stream;
        std::string expected;
        for (long n = 0; static_cast<long>(stream.size()) < measured; ++n) {
            char number[24];
            std::snprintf(number, sizeof number, "%08ld", n);
            const std::string text = number + line.substr(8, line.size() - 10);
            stream += text + "\r\n";
            expected += text + "\n";
        }
        std::thread writer([&] {
            std::size_t written = 0;
            while (written < stream.size()) {
                const ssize_t n = ::write(master, stream.data() + written, stream.size() - written);
                if (n > 0) {
                    written += static_cast<std::size_t>(n);
                }
            }
            done = true;
        });
        const double cpu0 = CpuSeconds();
        QElapsedTimer timer;
        timer.start();
        // Every character, the LFs too, reaches the display as its own hand-off.
        while (target.shown < static_cast<long>(stream.size())) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        const double cpu = CpuSeconds() - cpu0;
        writer.join();
        const double perMillion =
            prefill > 0 ? static_cast<double>(filled - before) * 1e6 / static_cast<double>(prefill)
                        : 0.0;
        display.Flush();
        const QString pane = rx.toPlainText();
        const bool intact = pane.endsWith(QString::fromLatin1(expected.c_str()));
        std::printf("%-12ld %12.0f %14.2f %16.0f %10s\n", prefill, target.shown / seconds,
                    cpu * 1e6 / static_cast<double>(target.shown), perMillion,
                    intact ? "yes" : "NO");
        std::fflush(stdout);
    }
    link->StopDisplayThread();
    link->StopIoThreads();
    ::close(master);
    return 0;
}
