#include "shell/InitialSettings.h"
#include "config/Utils.h"
#include "tuning/ToolWindows.h"

namespace tarvis {

namespace {

const QString& EndOfLineSettingOfMode(const Settings& s, int mode) {
    switch (mode) {
    case kModeAmtor:
        return s.A_EndOfLine;
    case kModePMode:
        return s.P_EndOfLine;
    case kModeBaudot:
        return s.B_EndOfLine;
    case kModeAscii:
        return s.S_EndOfLine;
    default:
        return s.EndOfLine;
    }
}

std::uint8_t AudioChannelParameter(int channel) {
    return channel >= 1 && channel <= 3 ? static_cast<std::uint8_t>(channel) : 0x04;
}

} // namespace

InitialSettingsOutcome SendInitialModemSettings(const Settings& s, const ModemIdentity& identity,
                                                TerminalState& terminal,
                                                const std::function<void(const Bytes&)>& send) {
    InitialSettingsOutcome outcome;
    EndOfLineFromSetting(EndOfLineSettingOfMode(s, terminal.OperatingMode), terminal.EndOfLineText);

    const bool continuous = s.ScanControl.compare(QLatin1String("CONT"), Qt::CaseInsensitive) == 0;
    send(ByteCommand(kCmdScanControl, continuous ? 0x00 : 0x01));

    const bool cwId = s.CWID.compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0;
    send(Command(cwId ? kCmdCwIdOn : kCmdCwIdOff));

    const bool squelch = s.PrintSquelchEnable == QLatin1String("ON");
    send(ByteCommand(kCmdPrintSquelch, squelch ? LowByte(s.PrintSquelchSetting) : 0x00));

    outcome.squelchMarkerLeft = PrintSquelchMarkerLeft(s.PrintSquelchSetting);
    outcome.squelchMarkersHidden = PrintSquelchMarkersHidden(s.PrintSquelchSetting);

    if (!identity.mirvol2000) {
        send(ByteCommand(kCmdAudioChannel, AudioChannelParameter(s.AFChannel)));
    }
    send(ByteCommand(kCmdSetupEE, 0x07));
    send(ByteCommand(kCmdAudioGain, LowByte(s.RXGain)));
    if (HasTransmitGain(identity.hardwareVersion) && s.TXGain >= 32) {
        send(ByteCommand(kCmdAudioGain, LowByte(s.TXGain)));
    }
    outcome.escapeMode = UsesEscapeMode(identity.hardwareVersion);
    return outcome;
}

} // namespace tarvis
