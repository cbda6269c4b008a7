#pragma once
// Downloading a firmware image (the DSP's .lod or the control processor's .s28) into the
// modem's flash: the file is chosen and checked, the link threads are suspended, a short byte
// exchange brings the modem into its download state at 57600 baud, the image is streamed in
// small chunks, the modem's verdict is read and the modem is reset. The link machinery is
// bypassed throughout, so once the line has left 9600 baud the program must end afterwards.
#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

class QWidget;

namespace tarvis {

class Clock;
class Dialogs;
class EventPump;
class SerialPort;

constexpr int kDownloadBaud = 57600;
constexpr std::uint8_t kImageTypeDsp = 0x00;
constexpr std::uint8_t kImageTypeCpu = 0x01;
// The modem's verdict on a good image.
constexpr std::uint8_t kDownloadSucceeded = 0x0A;
// The longest file taken for an image; real images are a few hundred kilobytes.
constexpr qint64 kLargestImage = 16 * 1024 * 1024;

// Every wait for the modem gives up after its limit.
struct LoaderLimits {
    int answerMs = 5000;   // the answers to the download commands
    int eraseMs = 30000;   // the flash erase
    int verdictMs = 15000; // the verdict after the last chunk, plus the time below
    int verdictMsPer10kB = 1000;
    int drainMs = 5000; // the port taking a chunk and emptying its output queue
};

// 00 for a ".lod" file (the extension compared ignoring case), 01 for anything else.
std::uint8_t ImageTypeFor(const QString& fileName);

// The length of the next chunk of `rest`: at most 9 bytes, ending early after a line feed.
std::size_t NextChunkLength(std::string_view rest);

// Reads a whole image file; on failure `problem` is the message for the operator. Empty files,
// folders, unreadable files and files holding NUL bytes (an image is text) are refused.
bool ReadImageFile(const QString& path, QByteArray& image, QString& problem);

// What the loader shows while it works: the main window's download panel.
class LoaderView {
public:
    virtual ~LoaderView() = default;
    // Centred on the main window and shown: the file's name, the gauge at 0 of `size`.
    virtual void ShowPanel(const QString& fileName, int size) = 0;
    virtual void SetProgress(int written) = 0;
    // The verdict was good: the name box turns red and says so, Abort is disabled.
    virtual void ShowSuccess() = 0;
    // The panel is hidden; Abort is enabled and the name box black again.
    virtual void HidePanel() = 0;
    virtual void SetBusyCursor(bool busy) = 0;
};

struct LoaderContext {
    SerialPort& port;
    Clock& clock;
    EventPump& pump;
    Dialogs& dialogs;
    LoaderView& view;
    QWidget* dialogParent;
    // The modem runs its normal firmware: it must first be asked to leave normal operation.
    bool normalOperation;
    // Suspends the receive, transmit and dispatch threads, each until it reports itself so.
    std::function<void()> suspendLinkThreads;
    // Lets the dispatch thread hand items on again (after a file that could not be read).
    std::function<void()> clearDispatchPaused;
    // Ends the program.
    std::function<void(int)> endProcess;
    LoaderLimits limits;
};

enum class LoaderOutcome {
    NothingSent, // the first file dialog was cancelled or its file refused: all is as before
    Ended,       // the program has been ended
};

class FirmwareLoader {
public:
    explicit FirmwareLoader(LoaderContext context) : c_(std::move(context)) {}

    LoaderOutcome Run();
    // The operator's Abort: takes effect between chunks.
    void Abort() { abort_ = true; }

private:
    enum class Heard { Wanted, Alternative, Nothing };

    void Write(std::uint8_t a, std::uint8_t b);
    // Reads the port a byte at a time until `wanted` (or `alternative`) comes, within the limit.
    Heard WaitForByte(std::uint8_t wanted, int limitMs, int alternative = -1);
    std::optional<std::uint8_t> ReadOneByte(int limitMs);
    // Writes one chunk whole and waits for the output queue to empty, keeping the window alive.
    bool WriteChunk(const char* data, std::size_t count);
    LoaderOutcome Stream(const QByteArray& image);
    // Tells the operator what did not answer, then resets the modem and ends.
    LoaderOutcome NoAnswer(const QString& what, int limitMs);
    LoaderOutcome Stuck(const QString& what);
    LoaderOutcome MustRestart();
    // 80 09, 100 ms, RTS and DTR dropped, the port closed, the program ended.
    LoaderOutcome CloseAndEnd(int exitCode);
    int VerdictLimitMs(qsizetype size) const;

    LoaderContext c_;
    std::atomic<bool> abort_{false};
};

} // namespace tarvis
