#include "firmware/FirmwareLoader.h"
#include "link/SerialPort.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace tarvis {

namespace {

constexpr std::size_t kChunkBytes = 9;
// The command prefix and the commands of the download exchange.
constexpr std::uint8_t kPrefix = 0x80;
constexpr std::uint8_t kLeaveNormalOperation = 0x84;
constexpr std::uint8_t kDownloadSpeed = 0x6A;
constexpr std::uint8_t kDownloadSpeedParameter = 0x07;
constexpr std::uint8_t kDownloadStart = 0x0F;
constexpr std::uint8_t kModemReset = 0x09;
// Sent for an erase that failed, and first of the verdict.
constexpr std::uint8_t kEraseFailed = 0x02;
constexpr std::uint8_t kVerdictLead = 0x02;
constexpr int kAfterCommandMs = 100;
constexpr int kAfterResetMs = 5000;
constexpr int kModemBaudRate = 9600;
// One byte on the line at 57600 baud, 8N1, in microseconds.
constexpr int kMicrosPerByte = 10 * 1000000 / kDownloadBaud;
// The shortest pause while a chunk drains: shorter ones only cost processor time.
constexpr int kShortestDrainPauseUs = 100;

const QString kDownloadError = QStringLiteral("Download Error");
const QString kDownloadResult = QStringLiteral("Download Result");

QString HexPair(std::uint8_t code) {
    return QStringLiteral("80 %1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

std::uint8_t ImageTypeFor(const QString& fileName) {
    return QFileInfo(fileName).suffix().compare(QLatin1String("lod"), Qt::CaseInsensitive) == 0
               ? kImageTypeDsp
               : kImageTypeCpu;
}

std::size_t NextChunkLength(std::string_view rest) {
    const std::size_t limit = std::min(rest.size(), kChunkBytes);
    const std::size_t lineFeed = rest.substr(0, limit).find('\n');
    return lineFeed == std::string_view::npos ? limit : lineFeed + 1;
}

bool ReadImageFile(const QString& path, QByteArray& image, QString& problem) {
    const QFileInfo info(path);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("Cannot open input file.");
        return false;
    }
    if (file.size() > kLargestImage) {
        problem = QStringLiteral("%1 is too large to be a firmware image.").arg(info.fileName());
        return false;
    }
    image = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        problem = QStringLiteral("Cannot open input file.");
        return false;
    }
    if (image.isEmpty()) {
        problem =
            QStringLiteral("%1 is empty: there is no firmware image to send.").arg(info.fileName());
        return false;
    }
    if (image.contains('\0')) {
        problem = QStringLiteral("%1 holds NUL bytes, so it is not a firmware image (images are "
                                 "text). Nothing has been sent.")
                      .arg(info.fileName());
        return false;
    }
    return true;
}

LoaderOutcome FirmwareLoader::Run() {
    // True until the line has left 9600 baud; until then the program can go on as before.
    bool started = true;
    for (;;) {
        const QString path = c_.dialogs.OpenFileName(
            c_.dialogParent, QStringLiteral("Select Firmware File To Upload ..."), QString(),
            QStringLiteral("Firmware files (*.lod *.LOD *.s28 *.S28);;All files (*)"));
        if (path.isEmpty()) {
            return started ? LoaderOutcome::NothingSent : MustRestart();
        }
        QByteArray image;
        QString problem;
        if (!ReadImageFile(path, image, problem)) {
            c_.dialogs.ShowMessage(problem);
            if (started) {
                c_.clearDispatchPaused();
                return LoaderOutcome::NothingSent;
            }
            // The link threads stay suspended after a download: the operator may pick another
            // file, or cancel and restart.
            continue;
        }

        if (started) {
            c_.suspendLinkThreads();
        }
        if (c_.normalOperation) {
            Write(kPrefix, kLeaveNormalOperation);
            if (WaitForByte(kLeaveNormalOperation, c_.limits.answerMs) != Heard::Wanted) {
                return NoAnswer(QStringLiteral("the request to leave normal operation (80 84)"),
                                c_.limits.answerMs);
            }
        }
        Write(kPrefix, kDownloadSpeed);
        Write(kPrefix, kDownloadSpeedParameter);
        c_.clock.Sleep(kAfterCommandMs);
        if (WaitForByte(kDownloadSpeed, c_.limits.answerMs) != Heard::Wanted) {
            return NoAnswer(QStringLiteral("the change to the download speed (80 6A 80 07)"),
                            c_.limits.answerMs);
        }
        c_.port.Configure(kDownloadBaud);
        c_.port.SetRts(true);
        c_.port.SetDtr(true);
        started = false;

        c_.view.ShowPanel(QFileInfo(path).fileName(), static_cast<int>(image.size()));
        Write(kPrefix, kDownloadStart);
        c_.clock.Sleep(kAfterCommandMs);
        if (WaitForByte(kDownloadStart, c_.limits.answerMs) != Heard::Wanted) {
            return NoAnswer(QStringLiteral("the download request (80 0F)"), c_.limits.answerMs);
        }
        const std::uint8_t type = ImageTypeFor(path);
        Write(kPrefix, type);
        c_.clock.Sleep(kAfterCommandMs);
        switch (WaitForByte(type, c_.limits.eraseMs, kEraseFailed)) {
        case Heard::Wanted:
            break;
        case Heard::Alternative:
            c_.dialogs.MessageBox(QStringLiteral("Flash memory erase failed!"), kDownloadError,
                                  BoxButtons::Ok, BoxIcon::Stop);
            c_.endProcess(1);
            return LoaderOutcome::Ended;
        case Heard::Nothing:
            return NoAnswer(QStringLiteral("the flash erase (%1)").arg(HexPair(type)),
                            c_.limits.eraseMs);
        }

        if (const LoaderOutcome broken = Stream(image); broken == LoaderOutcome::Ended) {
            return broken;
        }
        if (abort_) {
            c_.view.SetBusyCursor(false);
            return MustRestart();
        }

        const int verdictMs = VerdictLimitMs(image.size());
        std::optional<std::uint8_t> result;
        if (WaitForByte(kVerdictLead, verdictMs) == Heard::Wanted &&
            WaitForByte(kPrefix, verdictMs) == Heard::Wanted) {
            result = ReadOneByte(verdictMs);
        }
        c_.view.SetBusyCursor(false);
        if (!result) {
            return NoAnswer(QStringLiteral("with its verdict on the image"), verdictMs);
        }
        if (*result != kDownloadSucceeded) {
            c_.dialogs.MessageBox(QStringLiteral("Firmware download failed!"), kDownloadError,
                                  BoxButtons::Ok, BoxIcon::Stop);
            return CloseAndEnd(1);
        }
        c_.view.ShowSuccess();
        Write(kPrefix, kModemReset);
        Delay(c_.clock, c_.pump, kAfterResetMs);
        c_.port.Configure(kModemBaudRate);
        c_.port.SetRts(true);
        c_.port.SetDtr(true);
        c_.view.HidePanel();
        if (c_.dialogs.MessageBox(QStringLiteral("Firmware download success! Download another?"),
                                  kDownloadResult, BoxButtons::YesNo,
                                  BoxIcon::Warning) != BoxAnswer::Yes) {
            return MustRestart();
        }
    }
}

LoaderOutcome FirmwareLoader::Stream(const QByteArray& image) {
    abort_ = false;
    c_.view.SetBusyCursor(true);
    const std::string_view all(image.constData(), static_cast<std::size_t>(image.size()));
    std::size_t sent = 0;
    while (sent < all.size() && !abort_) {
        const std::size_t length = NextChunkLength(all.substr(sent));
        if (!WriteChunk(all.data() + sent, length)) {
            c_.view.SetBusyCursor(false);
            return Stuck(QStringLiteral("The serial port did not take the image within %1 "
                                        "seconds.")
                             .arg((c_.limits.drainMs + 999) / 1000));
        }
        sent += length;
        c_.view.SetProgress(static_cast<int>(sent));
        c_.pump.ProcessPendingEvents();
    }
    return LoaderOutcome::NothingSent;
}

bool FirmwareLoader::WriteChunk(const char* data, std::size_t count) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
    std::size_t written = 0;
    std::uint32_t since = c_.clock.TickCount();
    while (written < count) {
        const int n = c_.port.Write(bytes + written, static_cast<int>(count - written));
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            since = c_.clock.TickCount();
        } else if (n < 0 ||
                   c_.clock.TickCount() - since >= static_cast<std::uint32_t>(c_.limits.drainMs)) {
            return false;
        } else {
            c_.clock.Sleep(1);
        }
    }
    // The next chunk goes once the driver has sent this one. The pause is part of the time the
    // bytes still queued need on the line: a sleep often lasts longer than asked, and the line
    // should not stand idle meanwhile.
    since = c_.clock.TickCount();
    for (;;) {
        const int queued = c_.port.OutputQueueCount();
        if (queued <= 0) {
            return true;
        }
        if (c_.clock.TickCount() - since >= static_cast<std::uint32_t>(c_.limits.drainMs)) {
            return false;
        }
        c_.pump.ProcessPendingEvents();
        c_.clock.SleepMicroseconds(
            std::max(kShortestDrainPauseUs, queued * kMicrosPerByte * 2 / 3));
    }
}

void FirmwareLoader::Write(std::uint8_t a, std::uint8_t b) {
    const std::uint8_t pair[2] = {a, b};
    c_.port.Write(pair, 2);
}

std::optional<std::uint8_t> FirmwareLoader::ReadOneByte(int limitMs) {
    const std::uint32_t since = c_.clock.TickCount();
    for (;;) {
        std::uint8_t byte = 0;
        if ((c_.port.WaitEvent(0) & kPortEventCharReceived) != 0 && c_.port.Read(&byte, 1) == 1) {
            return byte;
        }
        if (c_.clock.TickCount() - since >= static_cast<std::uint32_t>(limitMs)) {
            return std::nullopt;
        }
        c_.clock.Sleep(1);
    }
}

FirmwareLoader::Heard FirmwareLoader::WaitForByte(std::uint8_t wanted, int limitMs,
                                                  int alternative) {
    const std::uint32_t since = c_.clock.TickCount();
    for (;;) {
        const std::uint32_t passed = c_.clock.TickCount() - since;
        if (passed >= static_cast<std::uint32_t>(limitMs)) {
            return Heard::Nothing;
        }
        const std::optional<std::uint8_t> byte = ReadOneByte(limitMs - static_cast<int>(passed));
        if (!byte) {
            return Heard::Nothing;
        }
        if (*byte == wanted) {
            return Heard::Wanted;
        }
        if (alternative >= 0 && *byte == alternative) {
            return Heard::Alternative;
        }
    }
}

int FirmwareLoader::VerdictLimitMs(qsizetype size) const {
    return c_.limits.verdictMs + static_cast<int>(size / 10240) * c_.limits.verdictMsPer10kB;
}

LoaderOutcome FirmwareLoader::NoAnswer(const QString& what, int limitMs) {
    return Stuck(QStringLiteral("The modem did not answer %1 within %2 seconds.")
                     .arg(what)
                     .arg((limitMs + 999) / 1000));
}

LoaderOutcome FirmwareLoader::Stuck(const QString& what) {
    c_.dialogs.MessageBox(what +
                              QStringLiteral("\n\nThe modem will be reset, and Tarvis will end."),
                          kDownloadError, BoxButtons::Ok, BoxIcon::Stop);
    return CloseAndEnd(1);
}

LoaderOutcome FirmwareLoader::MustRestart() {
    c_.dialogs.MessageBox(QStringLiteral("You must now restart Tarvis."), kDownloadResult,
                          BoxButtons::Ok, BoxIcon::Information);
    return CloseAndEnd(0);
}

LoaderOutcome FirmwareLoader::CloseAndEnd(int exitCode) {
    Write(kPrefix, kModemReset);
    c_.clock.Sleep(kAfterCommandMs);
    c_.port.SetRts(false);
    c_.port.SetDtr(false);
    c_.port.Close();
    c_.endProcess(exitCode);
    return LoaderOutcome::Ended;
}

} // namespace tarvis
