// Hours of reception: a station runs against the modem simulator while text arrives at the
// modem's line rate (9600 baud, 960 characters a second) with link-state reports mixed in.
// Every interval it prints the resident memory, the characters the receive pane holds and the
// CPU time the station used per received character in that interval, so a trend shows.
// With a rate of 0 nothing arrives and the figures are the idle station's CPU share.
//   tarvis-soak-bench [MINUTES] [INTERVAL-SECONDS] [CHARS-PER-SECOND]
//   (default 60 minutes, a line every 60 s, 960 characters a second)
#include "bench/ProcessFigures.h"
#include "shell/Splash.h"
#include "shell/Unit1.h"
#include "tests/e2e/SimProcess.h"
#include "tests/e2e/StationHome.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

using namespace tarvis;
using tarvis::bench::CpuSeconds;
using tarvis::bench::ResidentKiB;
using namespace tarvis::test;

namespace {

// One line of operator-like traffic, 64 characters and CR LF.
std::string TrafficLine(long n) {
    char line[80];
    std::snprintf(line, sizeof line, "%08ld THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789",
                  n);
    std::string s(line);
    s.resize(64, '.');
    return s + "\\r\\n";
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const double minutes = argc > 1 ? std::stod(argv[1]) : 60.0;
    const int intervalSeconds = argc > 2 ? std::stoi(argv[2]) : 60;
    const int kCharsPerSecond = argc > 3 ? std::stoi(argv[3]) : 960;
    constexpr int kTickMs = 100;
    constexpr int kLineChars = 66;

    StationHome home{"[callsigns]\r\nMYCALL=AA1AA\r\n[system]\r\nComPort=1\r\n"};
    SimProcess sim(home.Link(), home.home.path() + "/sim.log", home.home.path() + "/sim.sock", {});
    if (!sim.Ready()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    TForm1 form(home.MakeEnvironment());
    form.CreateStartWindows();
    if (!form.SplashFrm()->RunSequence()) {
        std::fprintf(stderr, "the station did not start\n");
        return 1;
    }
    form.show();

    std::printf("# %d characters a second for %.1f minutes, a line every %d s\n", kCharsPerSecond,
                minutes, intervalSeconds);
    std::printf("%8s %12s %12s %10s %14s %10s\n", "minutes", "sent", "pane-chars", "rss-KiB",
                "cpu-us/char", "cpu-%core");
    std::fflush(stdout);

    QElapsedTimer clock;
    clock.start();
    const qint64 endMs = static_cast<qint64>(minutes * 60000.0);
    long lines = 0;
    long sent = 0;
    long ticks = 0;
    double owed = 0;
    long sentAtReport = 0;
    double cpuAtReport = CpuSeconds();
    qint64 msAtReport = 0;
    int reports = 0;
    auto report = [&] {
        const double cpu = CpuSeconds();
        const long chars = sent - sentAtReport;
        const qint64 ms = clock.elapsed();
        std::printf("%8.1f %12ld %12d %10ld %14.1f %10.2f\n", ms / 60000.0, sent,
                    form.reRXData->document()->characterCount(), ResidentKiB(),
                    chars > 0 ? (cpu - cpuAtReport) * 1e6 / static_cast<double>(chars) : 0.0,
                    ms > msAtReport
                        ? (cpu - cpuAtReport) * 1e5 / static_cast<double>(ms - msAtReport)
                        : 0.0);
        std::fflush(stdout);
        sentAtReport = sent;
        cpuAtReport = cpu;
        msAtReport = ms;
    };
    report();
    // The event loop waits between ticks, so the figures are the station's own work.
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        ++ticks;
        owed += kCharsPerSecond * kTickMs / 1000.0;
        std::string text;
        while (owed >= kLineChars) {
            text += TrafficLine(lines++);
            owed -= kLineChars;
            sent += kLineChars;
        }
        if (!text.empty() && kCharsPerSecond > 0) {
            sim.Control("text " + text);
        }
        // Link-state reports, as a linked modem gives them at every change of direction.
        if (kCharsPerSecond > 0 && ticks % (1000 / kTickMs) == 0) {
            sim.Control((ticks / (1000 / kTickMs)) % 2 == 0 ? "status 7A 06" : "status 7A 07");
        }
        if (clock.elapsed() >= static_cast<qint64>(reports + 1) * intervalSeconds * 1000) {
            ++reports;
            report();
        }
        if (clock.elapsed() >= endMs) {
            QCoreApplication::quit();
        }
    });
    // An idle run wakes only once a second itself, so what it measures is the station.
    tick.start(kCharsPerSecond > 0 ? kTickMs : 1000);
    app.exec();
    form.close();
    return 0;
}
