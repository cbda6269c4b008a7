// The firmware loader against an in-process modem on the fake port: the byte exchange, the
// streamed chunks, every message, the time-outs and the closing sequence.
#include "firmware/FirmwareLoader.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <mutex>
#include <set>

using namespace tarvis;
using namespace tarvis::test;

namespace {

// The modem's download side as far as these tests need it: it answers each command of the
// exchange, takes the image until `imageSize` bytes have come and then gives `verdict`.
class DownloadModem {
public:
    explicit DownloadModem(FakeSerialPort& port) : port_(port) {
        port_.SetWriteListener([this](const std::string& bytes) {
            for (char c : bytes) {
                Heard(static_cast<std::uint8_t>(c));
            }
        });
    }
    std::size_t imageSize = 0;
    bool eraseFails = false;
    std::string verdict = "\x02\x80\x0A";
    // Commands (by code) the modem never answers; 0xFF: the image's verdict.
    std::set<std::uint8_t> silentFor;

    std::string Image() {
        std::lock_guard lock(mutex_);
        return image_;
    }
    // Every command heard, by code, in order.
    std::vector<std::uint8_t> Commands() {
        std::lock_guard lock(mutex_);
        return commands_;
    }

private:
    void Heard(std::uint8_t b) {
        std::string answer;
        {
            std::lock_guard lock(mutex_);
            if (receiving_ && b != 0x80) {
                image_.push_back(static_cast<char>(b));
                if (image_.size() == imageSize) {
                    receiving_ = false;
                    if (!silentFor.contains(0xFF)) {
                        answer = verdict;
                    }
                }
            } else if (b == 0x80 && !afterPrefix_) {
                receiving_ = false;
                afterPrefix_ = true;
            } else if (afterPrefix_) {
                afterPrefix_ = false;
                answer = Command(b);
            }
        }
        if (!answer.empty()) {
            port_.Feed(answer);
        }
    }
    std::string Command(std::uint8_t code) {
        commands_.push_back(code);
        if (silentFor.contains(code)) {
            return {};
        }
        switch (code) {
        case 0x84:
        case 0x6A:
        case 0x0F:
            // Bytes that come before the answer are skipped by the host.
            return std::string("\x55") + static_cast<char>(code);
        case 0x00:
        case 0x01:
            if (eraseFails) {
                return "\x02";
            }
            receiving_ = true;
            image_.clear();
            return std::string(1, static_cast<char>(code));
        default:
            return {};
        }
    }

    FakeSerialPort& port_;
    std::mutex mutex_;
    std::string image_;
    std::vector<std::uint8_t> commands_;
    bool receiving_ = false;
    bool afterPrefix_ = false;
};

class RecordingView final : public LoaderView {
public:
    void ShowPanel(const QString& name, int size) override {
        shownName = name;
        maximum = size;
        events.push_back("show");
    }
    void SetProgress(int written) override {
        progress.push_back(written);
        if (onProgress) {
            onProgress();
        }
    }
    void ShowSuccess() override { events.push_back("success"); }
    void HidePanel() override { events.push_back("hide"); }
    void SetBusyCursor(bool busy) override { events.push_back(busy ? "busy" : "default"); }

    QString shownName;
    int maximum = -1;
    std::vector<int> progress;
    std::vector<std::string> events;
    std::function<void()> onProgress;
};

// An S-record image whose lines are longer than a chunk.
QByteArray SRecordImage() {
    return "S00600004844521B\n"
           "S2140000000102030405060708090A0B0C0D0E0F1011D6\n"
           "S2140000100102030405060708090A0B0C0D0E0F1011C6\n"
           "S804000000FB\n";
}

class FirmwareLoaderTest : public testing::Test {
protected:
    void SetUp() override {
        port.Open("fake");
        clock.realMicrosPerMs = 0;
    }
    QString WriteFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir.path() + "/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    LoaderOutcome Run(bool normalOperation = true) {
        FirmwareLoader loader(LoaderContext{
            port, clock, pump, dialogs, view, nullptr, normalOperation, [this] { ++suspensions; },
            [this] { ++dispatchCleared; }, [this](int code) { endedWith = code; }, limits});
        abort = [&loader] { loader.Abort(); };
        return loader.Run();
    }
    std::vector<QString> Texts() const {
        std::vector<QString> texts;
        for (const AskedBox& b : dialogs.boxes) {
            texts.push_back(b.text);
        }
        return texts;
    }
    std::vector<std::string> Calls() {
        std::vector<std::string> calls = port.Calls();
        calls.erase(calls.begin()); // the test's own open
        return calls;
    }

    QTemporaryDir dir;
    FakeSerialPort port;
    DownloadModem modem{port};
    FakeClock clock;
    CountingPump pump;
    ScriptedDialogs dialogs;
    RecordingView view;
    int suspensions = 0;
    int dispatchCleared = 0;
    int endedWith = -1;
    std::function<void()> abort;
    LoaderLimits limits;
};

const std::string kCloseSequence = "\x80\x09";

TEST(FirmwareImage, TypeComesFromTheExtensionAndChunksEndAfterALineFeed) {
    EXPECT_EQ(ImageTypeFor("x.LOD"), kImageTypeDsp);
    EXPECT_EQ(ImageTypeFor("/a/QD470.lod"), kImageTypeDsp);
    EXPECT_EQ(ImageTypeFor("x.s28"), kImageTypeCpu);
    EXPECT_EQ(ImageTypeFor("x.hex"), kImageTypeCpu);
    EXPECT_EQ(ImageTypeFor("/a/lod"), kImageTypeCpu);
    EXPECT_EQ(ImageTypeFor("/a.lod/x"), kImageTypeCpu);

    EXPECT_EQ(NextChunkLength("0123456789ABCDEF"), 9u);
    EXPECT_EQ(NextChunkLength("S1\nS9\n"), 3u);
    EXPECT_EQ(NextChunkLength("\nX"), 1u);
    EXPECT_EQ(NextChunkLength("01234567\n"), 9u);
    EXPECT_EQ(NextChunkLength("012345678\n"), 9u);
    EXPECT_EQ(NextChunkLength("abc"), 3u);
}

TEST_F(FirmwareLoaderTest, ImageGoesInChunksAtTheDownloadSpeedAndTheProgramEndsAfterNo) {
    const QByteArray image = SRecordImage();
    modem.imageSize = static_cast<std::size_t>(image.size());
    dialogs.fileNames = {WriteFile("QD470.S28", image)};

    EXPECT_EQ(Run(), LoaderOutcome::Ended);

    // 80 84 first in normal operation, then the speed step, the start and the type 01.
    const std::string exchange = "\x80\x84\x80\x6A\x80\x07\x80\x0F\x80\x01";
    EXPECT_EQ(port.Written(), exchange + image.toStdString() + "\x80\x09" + kCloseSequence);
    EXPECT_EQ(modem.Image(), image.toStdString());
    // Every chunk holds at most 9 bytes and ends at the latest after a line feed.
    const std::vector<int> sizes = port.WriteSizes();
    std::size_t at = 0;
    for (std::size_t i = 5; i < sizes.size() - 2; ++i) {
        ASSERT_LE(sizes[i], 9);
        const std::string chunk =
            image.toStdString().substr(at, static_cast<std::size_t>(sizes[i]));
        EXPECT_EQ(chunk.find('\n'), chunk.back() == '\n' ? chunk.size() - 1 : std::string::npos);
        at += static_cast<std::size_t>(sizes[i]);
    }
    EXPECT_EQ(at, static_cast<std::size_t>(image.size()));
    EXPECT_EQ(view.progress.back(), image.size());
    EXPECT_EQ(view.maximum, image.size());
    EXPECT_EQ(view.shownName, QStringLiteral("QD470.S28"));
    EXPECT_EQ(view.events,
              (std::vector<std::string>{"show", "busy", "default", "success", "hide"}));

    EXPECT_EQ(Calls(),
              (std::vector<std::string>{"configure 57600", "RTS on", "DTR on", "configure 9600",
                                        "RTS on", "DTR on", "RTS off", "DTR off", "close"}));
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[0].text,
              QStringLiteral("Firmware download success! Download another?"));
    EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("Download Result"));
    EXPECT_EQ(dialogs.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Warning);
    EXPECT_EQ(dialogs.boxes[1].text, QStringLiteral("You must now restart Tarvis."));
    EXPECT_EQ(dialogs.boxes[1].caption, QStringLiteral("Download Result"));
    EXPECT_EQ(dialogs.boxes[1].icon, BoxIcon::Information);
    EXPECT_EQ(suspensions, 1);
    EXPECT_EQ(endedWith, 0);
    // The success pause before the line returns to 9600 baud.
    EXPECT_GE(clock.Elapsed(), 5000);
}

TEST_F(FirmwareLoaderTest, ALodImageAfterAFailedStartSkipsTheFirstStepAndAnotherDownloadFollows) {
    const QByteArray image = "_DATA P 0000\n0C0000 0A0000 0B0000 0D0000\n_END 0000\n";
    modem.imageSize = static_cast<std::size_t>(image.size());
    dialogs.fileNames = {WriteFile("x.LOD", image), WriteFile("empty.s28", ""),
                         WriteFile("y.lod", image)};
    dialogs.boxAnswers = {BoxAnswer::Yes, BoxAnswer::Ok, BoxAnswer::No};

    EXPECT_EQ(Run(false), LoaderOutcome::Ended);

    // Type 00 for both; the refused file in between sends nothing and the dialog comes again.
    const std::string exchange = std::string("\x80\x6A\x80\x07\x80\x0F\x80\x00", 8);
    const std::string reset = "\x80\x09";
    EXPECT_EQ(port.Written(), exchange + image.toStdString() + reset + exchange +
                                  image.toStdString() + reset + kCloseSequence);
    ASSERT_EQ(Texts().size(), 4u);
    EXPECT_EQ(Texts()[1],
              QStringLiteral("empty.s28 is empty: there is no firmware image to send."));
    EXPECT_EQ(Texts()[3], QStringLiteral("You must now restart Tarvis."));
    EXPECT_EQ(suspensions, 1);
}

TEST_F(FirmwareLoaderTest, NothingIsSentForACancelledDialogOrARefusedFile) {
    QDir(dir.path()).mkdir("folder.s28");
    struct Case {
        QString file;
        QString message;
    } cases[] = {
        {QString(), QString()},
        {WriteFile("empty.s28", ""), "empty.s28 is empty: there is no firmware image to send."},
        {dir.path() + "/folder.s28", "Cannot open input file."},
        {dir.path() + "/missing.s28", "Cannot open input file."},
        {WriteFile("nul.s28", QByteArray("S0\n\0S9\n", 7)),
         "nul.s28 holds NUL bytes, so it is not a firmware image (images are text). Nothing has "
         "been sent."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        dialogs.boxes.clear();
        dialogs.fileNames = {c.file};
        dispatchCleared = 0;
        EXPECT_EQ(Run(), LoaderOutcome::NothingSent);
        EXPECT_EQ(port.Written(), "");
        EXPECT_EQ(suspensions, 0);
        EXPECT_EQ(endedWith, -1);
        EXPECT_TRUE(port.IsOpen());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(dialogs.boxes.empty());
        } else {
            ASSERT_EQ(Texts(), std::vector<QString>{c.message});
            EXPECT_EQ(dialogs.boxes[0].caption, QString());
            EXPECT_EQ(dispatchCleared, 1);
        }
    }
}

TEST_F(FirmwareLoaderTest, FailedEraseEndsAtOnceAndABadVerdictAfterTheClosingSequence) {
    const QByteArray image = SRecordImage();
    modem.imageSize = static_cast<std::size_t>(image.size());
    dialogs.fileNames = {WriteFile("a.s28", image)};
    modem.eraseFails = true;
    EXPECT_EQ(Run(), LoaderOutcome::Ended);
    EXPECT_EQ(Texts(), std::vector<QString>{"Flash memory erase failed!"});
    EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("Download Error"));
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
    EXPECT_EQ(port.Written(), "\x80\x84\x80\x6A\x80\x07\x80\x0F\x80\x01");
    EXPECT_EQ(endedWith, 1);

    port.ClearWritten();
    port.Open("fake");
    dialogs.boxes.clear();
    dialogs.fileNames = {WriteFile("a.s28", image)};
    modem.eraseFails = false;
    modem.verdict = "\x02\x80\x04";
    endedWith = -1;
    EXPECT_EQ(Run(), LoaderOutcome::Ended);
    EXPECT_EQ(Texts(), std::vector<QString>{"Firmware download failed!"});
    EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("Download Error"));
    EXPECT_TRUE(port.Written().ends_with(image.toStdString() + kCloseSequence));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(endedWith, 1);
}

TEST_F(FirmwareLoaderTest, AbortStopsBetweenChunksAndEndsTheProgram) {
    const QByteArray image = SRecordImage();
    modem.imageSize = static_cast<std::size_t>(image.size());
    dialogs.fileNames = {WriteFile("a.s28", image)};
    view.onProgress = [this] {
        if (view.progress.size() == 2) {
            abort();
        }
    };
    EXPECT_EQ(Run(), LoaderOutcome::Ended);
    // Two chunks went (the first line is 17 bytes: 9, then 8 up to its line feed).
    EXPECT_EQ(port.Written(), "\x80\x84\x80\x6A\x80\x07\x80\x0F\x80\x01" +
                                  image.left(17).toStdString() + kCloseSequence);
    EXPECT_EQ(Texts(), std::vector<QString>{"You must now restart Tarvis."});
    EXPECT_EQ(view.events.back(), "default");
    EXPECT_EQ(endedWith, 0);
}

TEST_F(FirmwareLoaderTest, AModemThatStopsAnsweringEndsInATimeOutNeverAHang) {
    const QByteArray image = SRecordImage();
    limits = {2000, 3000, 2000, 1000, 2000};
    struct Case {
        std::uint8_t silentFor;
        QString message;
        int limitMs;
    } cases[] = {
        {0x84,
         "The modem did not answer the request to leave normal operation (80 84) within 2 "
         "seconds.",
         2000},
        {0x6A,
         "The modem did not answer the change to the download speed (80 6A 80 07) within 2 "
         "seconds.",
         2000},
        {0x0F, "The modem did not answer the download request (80 0F) within 2 seconds.", 2000},
        {0x01, "The modem did not answer the flash erase (80 01) within 3 seconds.", 3000},
        {0xFF, "The modem did not answer with its verdict on the image within 2 seconds.", 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.silentFor);
        port.Open("fake");
        port.ClearWritten();
        dialogs.boxes.clear();
        dialogs.fileNames = {WriteFile("a.s28", image)};
        modem.silentFor = {c.silentFor};
        modem.imageSize = static_cast<std::size_t>(image.size());
        endedWith = -1;
        const std::int64_t start = clock.Elapsed();
        EXPECT_EQ(Run(), LoaderOutcome::Ended);
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text,
                  c.message + "\n\nThe modem will be reset, and Tarvis will end.");
        EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("Download Error"));
        EXPECT_TRUE(port.Written().ends_with(kCloseSequence));
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(endedWith, 1);
        const std::int64_t waited = clock.Elapsed() - start;
        EXPECT_GE(waited, c.limitMs);
        EXPECT_LT(waited, c.limitMs + 1000);
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
