#pragma once
// A station home folder with its configuration and a port link, and the main window's
// environment made of test doubles: fake clock, scripted dialogs, recorded sounds, a fake
// sound card, and an in-process port with a modem that answers the start-up exchange.
#include "shell/Environment.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeModem.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/FakeSoundCardEngine.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/ScriptedDialogs.h"

#include "tests/support/QtPrinters.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

namespace tarvis::test {

inline std::string Hex(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(bytes[i]));
        out += (i ? " " : "") + std::string(buf);
    }
    return out;
}

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class Station : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        QDir(home.path()).mkpath(QStringLiteral("Config"));
        // The port named in the configuration is a link in the Config folder.
        std::filesystem::create_symlink("/dev/null", (home.path() + "/Config/COM1").toStdString());
        WriteFile(home.path() + "/Config/tarvis.ini", "[system]\r\nComPort=1\r\n");
    }

    Environment MakeEnvironment() {
        Environment env;
        env.clock = &clock;
        env.pump = &pump;
        env.dialogs = &dialogs;
        env.sound = &sound;
        env.engine = &engine;
        env.makePort = [this] {
            auto p = std::make_unique<FakeSerialPort>();
            port = p.get();
            port->SetOpenable(openable);
            modem = std::make_unique<FakeModem>(*port);
            return p;
        };
        env.endProcess = [this](int code) { endedWith = code; };
        env.workingDirectory = home.path();
        return env;
    }

    QString IniPath() const { return home.path() + "/Config/tarvis.ini"; }

    QTemporaryDir home;
    FakeClock clock;
    CountingPump pump;
    ScriptedDialogs dialogs;
    RecordingSound sound;
    FakeSoundCardEngine engine;
    FakeSerialPort* port = nullptr;
    // Outlives the window, whose threads write to the port it listens on.
    std::unique_ptr<FakeModem> modem;
    bool openable = true;
    int endedWith = -1;
};

} // namespace tarvis::test
