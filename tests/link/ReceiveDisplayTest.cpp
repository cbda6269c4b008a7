// The receive display over real panes.
#include "link/ReceiveDisplay.h"
#include "config/ConfigFile.h"
#include "link/LinkFlags.h"
#include "tests/support/RecordingSound.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <gtest/gtest.h>
#include <string>

using namespace tarvis;

namespace {

class Display : public testing::Test {
protected:
    void SetUp() override {
        ReadConfiguration(QStringLiteral("/nonexistent"), settings, ScreenContext{});
        display = std::make_unique<ReceiveDisplay>(ReceiveDisplayContext{
            rx, tx, flags, settings, sound, capture,
            [this](int pane, const QString& text) { panes[pane] = text; },
            [this](std::uint8_t c) { echoes.push_back(c); }, &fax, &sendingBinary});
    }
    void Feed(const std::string& bytes) {
        for (char c : bytes) {
            display->ShowCharacter(static_cast<std::uint8_t>(c));
        }
        display->Flush();
    }
    // The colour of the character at a position of the receive pane.
    QColor ColourAt(int position) {
        QTextCursor cursor(rx.document());
        cursor.setPosition(position + 1);
        return cursor.charFormat().foreground().color();
    }

    QTextEdit rx;
    QTextEdit tx;
    QWidget fax;
    LinkFlags flags;
    Settings settings;
    test::RecordingSound sound;
    CaptureState capture;
    QString panes[9];
    std::vector<std::uint8_t> echoes;
    bool sendingBinary = false;
    std::unique_ptr<ReceiveDisplay> display;
};

TEST_F(Display, ReceivedTextAndEchoesInTheirColours) {
    Feed("AB\r\n");
    flags.echo = true;
    Feed("cd\r");
    flags.echo = false;
    Feed("E\nF");
    // CR LF makes one line break, a lone CR one too, a lone LF none.
    EXPECT_EQ(rx.toPlainText(), QStringLiteral("AB\ncd\nEF"));
    EXPECT_EQ(ColourAt(0), QColor(0, 0, 0));   // Black, received
    EXPECT_EQ(ColourAt(3), QColor(255, 0, 0)); // Red, echoed
    EXPECT_EQ(ColourAt(6), QColor(0, 0, 0));
    EXPECT_EQ(echoes, (std::vector<std::uint8_t>{'c', 'd', '\r'}));
}

TEST_F(Display, EchoesOffStillCountButDoNotShow) {
    settings.EchoEnable = QStringLiteral("on"); // exact: off
    flags.echo = true;
    Feed("xy");
    EXPECT_EQ(rx.toPlainText(), QString());
    EXPECT_EQ(echoes.size(), 2U);
    // While a binary file is sent, echoes are counted only.
    settings.EchoEnable = QStringLiteral("ON");
    sendingBinary = true;
    Feed("z");
    EXPECT_EQ(rx.toPlainText(), QString());
    EXPECT_EQ(echoes.size(), 3U);
}

TEST_F(Display, ControlsAndHighBytesAreNotShownAndTheBellSounds) {
    Feed(std::string("a\x07\x01\x7F\x80\xFF"
                     "b",
                     7));
    EXPECT_EQ(rx.toPlainText(), QStringLiteral("ab"));
    EXPECT_EQ(sound.played, (std::vector<std::string>{"default"}));
    display->bell = false;
    Feed("\x07");
    EXPECT_EQ(sound.played.size(), 1U);
}

TEST_F(Display, TextGoesToTheInsertionPointWhateverWasClicked) {
    Feed("HELLO");
    QTextCursor click(rx.document());
    click.setPosition(1);
    rx.setTextCursor(click);
    Feed(" WORLD");
    EXPECT_EQ(rx.toPlainText(), QStringLiteral("HELLO WORLD"));
    EXPECT_EQ(rx.textCursor().position(), 11);
}

TEST_F(Display, ArrivedTextReachesThePaneWithinAFrame) {
    display->ShowCharacter('Q');
    EXPECT_EQ(rx.toPlainText(), QString()); // not yet drawn
    QElapsedTimer waited;
    waited.start();
    while (rx.toPlainText().isEmpty() && waited.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(rx.toPlainText(), QStringLiteral("Q"));
}

// Hours of reception: the pane keeps its newest lines, the text still goes where it belongs,
// and no undo history holds a second copy of everything received.
TEST_F(Display, ThePaneKeepsTheNewestLines) {
    const int limit = ReceiveDisplay::PaneLineLimit();
    std::string lines;
    for (int i = 0; i < limit + 10; ++i) {
        lines += "line " + std::to_string(i) + "\r\n";
    }
    Feed(lines);
    const QTextDocument& document = *rx.document();
    EXPECT_LE(document.blockCount(), limit);
    EXPECT_GE(document.blockCount(), limit * 8 / 10);
    EXPECT_EQ(document.lastBlock().previous().text().toStdString(),
              "line " + std::to_string(limit + 9));
    EXPECT_FALSE(document.isUndoAvailable());
    // What arrives next goes on at the end, after the newest line.
    Feed("NEXT");
    EXPECT_EQ(document.lastBlock().text(), QStringLiteral("NEXT"));
    EXPECT_EQ(display->insertionPoint, document.characterCount() - 1);
}

TEST_F(Display, NothingWhileTheFaxPanelIsShown) {
    fax.show();
    flags.echo = true;
    Feed("abc");
    EXPECT_EQ(rx.toPlainText(), QString());
    EXPECT_TRUE(echoes.empty());
}

TEST_F(Display, CaptureWritesWhatArrivesWithCrLfLines) {
    QTemporaryDir dir;
    QFile file(dir.path() + "/capture.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    capture.on = true;
    capture.file = &file;
    capture.name = QStringLiteral("capture.txt");
    Feed("Hi\r\n");
    settings.EchoEnable = QStringLiteral("OFF");
    flags.echo = true;
    Feed("ok\x01");
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // Echoes are captured even when not shown; so are bytes that are not shown.
    EXPECT_EQ(file.readAll(), QByteArray("Hi\r\nok\x01"));
    EXPECT_EQ(capture.count, 6);
    EXPECT_EQ(panes[6], QStringLiteral("capture.txt: 6"));
}

} // namespace
