#pragma once
// A station's home folder with its configuration, and the environment an in-process Tarvis
// station gets there: the machine's clock, event loop and serial ports, scripted dialogs,
// recorded sounds and a sound card that does not open.
#include "link/PosixSerialPort.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "shell/Environment.h"
#include "tests/support/FakeSoundCardEngine.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

namespace tarvis::test {

struct StationHome {
    explicit StationHome(const QByteArray& ini) {
        QDir(home.path()).mkpath(QStringLiteral("Config"));
        QFile f(home.path() + "/Config/tarvis.ini");
        if (f.open(QIODevice::WriteOnly)) {
            f.write(ini);
        }
    }
    QString Link() const { return home.path() + "/Config/COM1"; }
    Environment MakeEnvironment() {
        Environment env;
        env.clock = &SystemClock();
        env.pump = &QtEventPump();
        env.dialogs = &dialogs;
        env.sound = &sound;
        env.engine = &engine;
        env.makePort = [] { return std::make_unique<PosixSerialPort>(); };
        env.endProcess = [](int) {};
        env.workingDirectory = home.path();
        return env;
    }
    QTemporaryDir home;
    ScriptedDialogs dialogs;
    RecordingSound sound;
    FakeSoundCardEngine engine;
};

// Runs the event loop until the condition holds; false when it did not within the time.
inline bool WaitFor(const std::function<bool()>& condition, int milliseconds = 15000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace tarvis::test
