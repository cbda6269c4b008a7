#include "link/Handshake.h"
#include "link/Commands.h"
#include "link/ModemLink.h"
#include "link/PortNames.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/Sound.h"

#include <optional>

namespace tarvis {

namespace {

const QString kErrorCaption = QStringLiteral("ERROR");
// The maker's support, quoted in the firmware failure messages.
const QString kSupportLines = QStringLiteral("Contact Vantor Communications Corp.\n"
                                             "Telephone +1 555 0100\n"
                                             "www.vantor.example/support");

QString DigitsOf(int v) {
    return QString::number(v);
}

// One run of the exchange on one port; each step reports whether to go on.
class Exchange {
public:
    Exchange(HandshakeContext& c, QString& portName, bool& configChanged, ModemIdentity& identity)
        : c_(c), portName_(portName), configChanged_(configChanged), identity_(identity) {}

    HandshakeResult Run() {
        for (;;) {
            if (!OpenPortOrChooseAnother()) {
                c_.hideMainWindow();
                return HandshakeResult::Cancelled;
            }
            c_.status.linkEstablished = false;
            c_.link.Flags().dispatchPaused = false;
            c_.link.Ring().Reset();
            c_.link.StartIoThreads();

            switch (FindFirmwareStatus()) {
            case Found::Yes:
                break;
            case Found::TryAnotherPort:
                continue;
            case Found::Ended:
                return HandshakeResult::Ended;
            }
            if (!ActOnFirmwareStatus() || !ReadIdentification()) {
                return HandshakeResult::Ended;
            }
            c_.link.ApplyLineSettings();
            c_.link.Flags().dispatchPaused = false;
            c_.status.normalOperation = true;
            return HandshakeResult::Success;
        }
    }

private:
    enum class Found { Yes, TryAnotherPort, Ended };

    bool OpenPortOrChooseAnother() {
        for (;;) {
            const std::string device =
                ComPortDevice(c_.homeFolder.toStdString(), portName_.toStdString());
            if (!device.empty() && c_.link.OpenPort(device)) {
                return true;
            }
            int number = 1;
            if (!c_.choosePort(number)) {
                return false;
            }
            portName_ = QStringLiteral("COM") + QString::number(number);
        }
    }

    std::int64_t Now() { return c_.clock.UtcNow().toSecsSinceEpoch(); }
    bool Expired(std::int64_t since) { return Now() - since >= kModemAnswerLimitSeconds; }
    void Breathe() {
        c_.pump.ProcessPendingEvents();
        c_.clock.Sleep(1);
    }

    // Waits for the condition, keeping the interface alive, within the answer limit.
    bool WaitUntil(const std::function<bool()>& condition, std::int64_t since) {
        while (!condition()) {
            if (Expired(since)) {
                return false;
            }
            Breathe();
        }
        return true;
    }
    bool WaitForOutputToDrain() {
        return WaitUntil([this] { return c_.link.PendingTransmitCount() == 0; }, Now());
    }
    std::optional<std::uint8_t> TakeOne() {
        std::uint32_t item = 0;
        if (c_.link.Ring().Take(item)) {
            return static_cast<std::uint8_t>(item & 0xFF);
        }
        return std::nullopt;
    }
    std::optional<std::uint8_t> TakeWithin(std::int64_t since) {
        std::optional<std::uint8_t> byte;
        WaitUntil([&] { return (byte = TakeOne()).has_value(); }, since);
        return byte;
    }

    Found FindFirmwareStatus() {
        // A modem that keeps talking is not waited for forever.
        WaitUntil([this] { return c_.link.Port().InputQueueCount() == 0; }, Now());
        c_.link.SendCommand(Command(kCmdSetup41));
        WaitForOutputToDrain();
        c_.link.SendCommand(Command(kCmdSetup46));
        WaitForOutputToDrain();
        std::optional<std::uint8_t> last = TakeOne();
        c_.link.SendCommand(Command(kCmdSetup84));
        WaitForOutputToDrain();

        const std::int64_t since = Now();
        while (last != 0x02) {
            if (Expired(since)) {
                return GiveUpOnThisPort();
            }
            c_.link.SendCommand(Command(kCmdFirmwareStatus));
            if (auto b = TakeOne()) {
                last = b;
            }
            Breathe();
        }
        status_ = TakeWithin(since);
        return status_ ? Found::Yes : GiveUpOnThisPort();
    }

    Found GiveUpOnThisPort() {
        c_.link.StopIoThreads();
        c_.link.ClosePort();
        c_.dialogs.MessageBox(
            QStringLiteral("Error communicating with modem.\nPlease, check the cable "
                           "and power connections\nor reset the modem and try again."),
            kErrorCaption, BoxButtons::Ok, BoxIcon::Stop);
        if (c_.dialogs.MessageBox(QStringLiteral("Would you like to try another COM port?"),
                                  QStringLiteral("Confirm"), BoxButtons::YesNo,
                                  BoxIcon::Question) != BoxAnswer::Yes) {
            c_.endProcess(1);
            return Found::Ended;
        }
        configChanged_ = true;
        int number = 1;
        if (!c_.choosePort(number)) {
            c_.endProcess(1);
            return Found::Ended;
        }
        portName_ = QStringLiteral("COM") + QString::number(number);
        return Found::TryAnotherPort;
    }

    void DropLinesAndEnd() {
        c_.link.SetRts(false);
        c_.link.SetDtr(false);
        c_.hideMainWindow();
        c_.endProcess(1);
    }

    bool ActOnFirmwareStatus() {
        const char* fatal = nullptr;
        const char* reload = nullptr;
        switch (*status_) {
        case 0x01:
            fatal = "BOOT BLOCK failure!";
            break;
        case 0x08:
            fatal = "DSP failure!";
            break;
        case 0x0C:
            fatal = "Incorrect S28 for the BOOT BLOCK!";
            break;
        case 0x02:
            reload = "LOD memory error!\n\nReload LOD?";
            break;
        case 0x04:
            reload = "S28 memory error!\n\nReload S28?";
            break;
        case 0x06:
            reload = "LOD and S28 memory errors!\n\nReload firmware?";
            break;
        default:
            return true; // 0A, and any status the table does not name, is good firmware
        }
        if (fatal != nullptr) {
            c_.sound.Beep();
            c_.dialogs.MessageBox(QLatin1String(fatal) + QStringLiteral("\n\n") + kSupportLines,
                                  kErrorCaption, BoxButtons::Ok, BoxIcon::Stop);
            DropLinesAndEnd();
            return false;
        }
        if (c_.dialogs.MessageBox(QLatin1String(reload), kErrorCaption, BoxButtons::OkCancel,
                                  BoxIcon::Stop) != BoxAnswer::Ok) {
            DropLinesAndEnd();
            return false;
        }
        // The exchange goes on only when the loader sent nothing; after a download it has
        // ended the program itself.
        return !(c_.reloadFirmware && c_.reloadFirmware());
    }

    bool ReadIdentification() {
        struct Query {
            std::uint8_t code;
            int itemsBeforeTaking;
            QString* text;
            bool version;
        };
        const Query queries[] = {
            {kCmdQueryDspVersion, 2, &identity_.dspVersion, true},
            {kCmdQueryCpuVersion, 2, &identity_.cpuVersion, true},
            {kCmdQueryBootVersion, 2, &identity_.bootVersion, true},
            {kCmdQueryProductId, 3, &identity_.productId, false},
            {kCmdQueryHardwareVersion, 1, &identity_.hardwareVersion, false},
        };
        WaitForOutputToDrain();
        int number = 3;
        for (const Query& q : queries) {
            c_.link.Ring().Reset();
            std::optional<std::uint8_t> last;
            c_.link.SendCommand(Command(q.code));
            const std::int64_t since = Now();
            const bool answered = WaitUntil(
                [&] {
                    if (c_.link.Ring().Count() >= q.itemsBeforeTaking) {
                        last = TakeOne();
                    }
                    return last == q.code;
                },
                since);
            std::optional<std::uint8_t> first;
            std::optional<std::uint8_t> second;
            if (answered && (first = TakeWithin(since)) && (second = TakeWithin(since))) {
                if (q.version) {
                    *q.text = VersionText(*first, *second);
                } else {
                    *q.text = HexWordText(*first, *second);
                }
                if (q.code == kCmdQueryDspVersion) {
                    identity_.mirvol2000 = (*first & 0x80) != 0;
                }
                ++number;
                continue;
            }
            c_.dialogs.MessageBox(
                QStringLiteral("(%1)QD470 not responding!\n\nReset modem, and check "
                               "power and cables.")
                    .arg(number),
                kErrorCaption, BoxButtons::Ok, BoxIcon::Stop);
            c_.hideMainWindow();
            c_.endProcess(1);
            return false;
        }
        return true;
    }

    HandshakeContext& c_;
    QString& portName_;
    bool& configChanged_;
    ModemIdentity& identity_;
    std::optional<std::uint8_t> status_;
};

} // namespace

QString VersionText(std::uint8_t major, std::uint8_t minor) {
    return DigitsOf(major & 0x7F) + QLatin1Char('.') + DigitsOf(minor & 0x7F);
}

QString HexWordText(std::uint8_t high, std::uint8_t low) {
    return QStringLiteral("%1%2")
        .arg(high, 2, 16, QLatin1Char('0'))
        .arg(low, 2, 16, QLatin1Char('0'))
        .toUpper();
}

HandshakeResult OpenAndHandshake(HandshakeContext& context, QString& portName, bool& configChanged,
                                 ModemIdentity& identity) {
    return Exchange(context, portName, configChanged, identity).Run();
}

} // namespace tarvis
