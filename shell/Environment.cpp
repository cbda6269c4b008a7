#include "shell/Environment.h"
#include "link/PosixSerialPort.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/Sound.h"
#include "tuning/SoundCardEngine.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>

namespace tarvis {

Environment MachineEnvironment() {
    Environment env;
    env.clock = &SystemClock();
    env.pump = &QtEventPump();
    env.dialogs = &QtDialogs();
    env.sound = &SystemSound();
    env.engine = &LibrarySoundCardEngine();
    env.makePort = [] { return std::make_unique<PosixSerialPort>(); };
    env.endProcess = [](int code) {
        std::fflush(nullptr);
        std::_Exit(code);
    };
    env.workingDirectory = QDir::currentPath();
    return env;
}

} // namespace tarvis
