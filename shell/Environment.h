#pragma once
// What the program is given by the machine it runs on; tests hand in their own.
#include <QString>
#include <functional>
#include <memory>

namespace tarvis {

class Clock;
class Dialogs;
class EventPump;
class SerialPort;
class Sound;
class SoundCardEngine;

struct Environment {
    Clock* clock = nullptr;
    EventPump* pump = nullptr;
    Dialogs* dialogs = nullptr;
    Sound* sound = nullptr;
    SoundCardEngine* engine = nullptr;
    std::function<std::unique_ptr<SerialPort>()> makePort;
    // Ends the process at once, without the closing steps (a modem that cannot be talked to).
    std::function<void(int)> endProcess;
    // The working directory at start.
    QString workingDirectory;
};

// The real machine: its clock, Qt's dialogs and event loop, its sound, the engine library,
// termios ports, the current directory.
Environment MachineEnvironment();

} // namespace tarvis
