// How busy the firmware loader keeps the line: a 200 kB image streamed through a port that
// sends at 57600 baud as a real UART does (its output queue empties at the line rate, on the
// machine's clock), against the time the bytes need on the line. The modem's side answers the
// exchange at once, so only the streaming is measured.
#include "firmware/FirmwareLoader.h"
#include "link/SerialPort.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <deque>
#include <utility>

using namespace tarvis;
using Steady = std::chrono::steady_clock;

namespace {

constexpr double kSecondsPerByte = 10.0 / kDownloadBaud;

// A UART at 57600 baud: what is written leaves at the line rate; answers to the download
// commands come back at once.
class PacedPort final : public SerialPort {
public:
    bool Open(const std::string&) override { return open_ = true; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    std::string ErrorText() const override { return {}; }
    bool Configure(int) override { return true; }
    void SetRts(bool) override {}
    void SetDtr(bool) override {}
    bool Cts() override { return true; }
    LineControl ReadLineControl() override { return {}; }
    unsigned WaitEvent(int) override {
        return incoming_.empty() ? kPortEventNone : kPortEventCharReceived;
    }
    unsigned TakeLineErrors() override { return 0; }
    int InputQueueCount() override { return static_cast<int>(incoming_.size()); }
    int OutputQueueCount() override {
        const double left = std::chrono::duration<double>(busyUntil_ - Steady::now()).count();
        return left > 0 ? static_cast<int>(left / kSecondsPerByte) + 1 : 0;
    }
    int Read(std::uint8_t* buffer, int max) override {
        int n = 0;
        while (n < max && !incoming_.empty()) {
            buffer[n++] = incoming_.front();
            incoming_.pop_front();
        }
        return n;
    }
    int Write(const std::uint8_t* data, int count) override {
        const auto now = Steady::now();
        busyUntil_ =
            std::max(busyUntil_, now) + std::chrono::duration_cast<Steady::duration>(
                                            std::chrono::duration<double>(count * kSecondsPerByte));
        for (int i = 0; i < count; ++i) {
            Heard(data[i]);
        }
        return count;
    }
    bool WritePriority(std::uint8_t byte) override { return Write(&byte, 1) == 1; }

    std::size_t imageSize = 0;
    std::size_t received = 0;

private:
    void Heard(std::uint8_t b) {
        if (receiving_) {
            if (++received == imageSize) {
                receiving_ = false;
                incoming_.insert(incoming_.end(), {0x02, 0x80, 0x0A});
            }
            return;
        }
        if (b == 0x80) {
            return;
        }
        if (b == 0x6A || b == 0x0F || b == 0x84) {
            incoming_.push_back(b);
        } else if (b == 0x00 || b == 0x01) {
            incoming_.push_back(b);
            receiving_ = true;
        }
    }
    bool open_ = false;
    bool receiving_ = false;
    std::deque<std::uint8_t> incoming_;
    Steady::time_point busyUntil_ = Steady::now();
};

class Answers final : public Dialogs {
public:
    QString file;
    BoxAnswer MessageBox(const QString&, const QString&, BoxButtons buttons, BoxIcon) override {
        return buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Ok;
    }
    int ExecModal(QDialog&) override { return QDialog::Rejected; }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return std::exchange(file, QString());
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    bool PrintSetup(QWidget*, QPrinter&) override { return false; }
};

class Timing final : public LoaderView {
public:
    void ShowPanel(const QString&, int) override {}
    void SetProgress(int) override { end = Steady::now(); }
    void ShowSuccess() override {}
    void HidePanel() override {}
    void SetBusyCursor(bool busy) override {
        if (busy) {
            start = Steady::now();
        }
    }
    Steady::time_point start;
    Steady::time_point end;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int size = argc > 1 ? std::atoi(argv[1]) : 200 * 1024;
    QTemporaryDir dir;
    const QString path = dir.path() + "/bench.s28";
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            return 1;
        }
        QByteArray image;
        while (image.size() < size) {
            image += "S2140000000102030405060708090A0B0C0D0E0F1011D6\r\n";
        }
        image.truncate(size);
        f.write(image);
    }
    PacedPort port;
    port.Open("paced");
    port.imageSize = static_cast<std::size_t>(size);
    Answers dialogs;
    dialogs.file = path;
    Timing view;
    int ended = -1;
    FirmwareLoader loader(LoaderContext{port, SystemClock(), QtEventPump(), dialogs, view, nullptr,
                                        true, [] {}, [] {}, [&](int code) { ended = code; },
                                        LoaderLimits{}});
    loader.Run();
    const double streamed = std::chrono::duration<double>(view.end - view.start).count();
    const double line = size * kSecondsPerByte;
    std::printf(
        "firmware stream: %d bytes in %.2f s; at 57600 baud the line needs %.2f s: "
        "%.0f%% of the line rate (goal: at least 80%%)%s\n",
        size, streamed, line, 100.0 * line / streamed,
        ended == 0 && port.received == static_cast<std::size_t>(size) ? "" : " - DOWNLOAD FAILED");
    return 0;
}
