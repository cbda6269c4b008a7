#pragma once
// A main window on a station folder whose mode commands are recorded one string per
// SendCommand call, as the modem would receive them.
#include "shell/Unit1.h"
#include "tests/shell/StationFixture.h"

#include <QStringList>

namespace tarvis::test {

// "80 c" for every character, then "80 00": a text parameter as the modem reads it.
inline std::string TextParameter(const std::string& text) {
    std::string out;
    for (char c : text) {
        char buf[8];
        std::snprintf(buf, sizeof buf, " 80 %02X", static_cast<unsigned char>(c));
        out += buf;
    }
    return out + " 80 00";
}

class ModeStation : public Station {
protected:
    // Reads the configuration (after [system] ComPort=1) into a new window.
    void Open(const QByteArray& ini = {}, const QString& hardware = QStringLiteral("8004")) {
        WriteFile(IniPath(), "[system]\r\nComPort=1\r\n" + ini);
        form = std::make_unique<TForm1>(MakeEnvironment());
        form->LoadConfiguration();
        form->identity.hardwareVersion = hardware;
        form->Modes().sendCommand = [this](const Bytes& command) { sent.push_back(Hex(command)); };
    }

    std::unique_ptr<TForm1> form;
    std::vector<std::string> sent;
};

} // namespace tarvis::test
