#pragma once
// Finding the modem at start-up: open the configured port (or one the operator picks), shake
// hands, learn whether the firmware is intact and read the modem's identification.
#include "link/LinkStatus.h"
#include "link/ModemIdentity.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace tarvis {

class Clock;
class Dialogs;
class EventPump;
class ModemLink;
class Sound;

struct HandshakeContext {
    ModemLink& link;
    LinkStatus& status;
    Clock& clock;
    EventPump& pump;
    Dialogs& dialogs;
    Sound& sound;
    // The home folder, for the port names' links.
    QString homeFolder;
    // Shows the port dialog; false when the operator cancelled, else the chosen number.
    std::function<bool(int& portNumber)> choosePort;
    std::function<void()> hideMainWindow;
    // Ends the process at once, without the closing steps.
    std::function<void(int)> endProcess;
    // Runs the firmware loader for a damaged image; true when it has ended the program, false
    // when it returned without sending anything.
    std::function<bool()> reloadFirmware;
};

enum class HandshakeResult {
    Success,   // port open, threads running, identification known
    Cancelled, // the operator cancelled the port choice; the main window is hidden
    Ended,     // the process has been ended from inside
};

// Every wait for the modem gives up after this many seconds of calendar time.
constexpr int kModemAnswerLimitSeconds = 25;

// "major.minor" of two version bytes, each taken as its low seven bits, in decimal.
QString VersionText(std::uint8_t major, std::uint8_t minor);
// Four upper-case hexadecimal digits of two bytes.
QString HexWordText(std::uint8_t high, std::uint8_t low);

// The whole exchange. `portName` may change (the operator's choice), and then
// `configChanged` is set when the change came after a modem that did not answer.
HandshakeResult OpenAndHandshake(HandshakeContext& context, QString& portName, bool& configChanged,
                                 ModemIdentity& identity);

} // namespace tarvis
