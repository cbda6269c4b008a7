// The main window's status bar, clock and line counts, panels and watch timers.
#include "shell/HelpForm.h"
#include "shell/Panels.h"
#include "shell/StatusClock.h"
#include "shell/Unit1.h"
#include "tests/shell/StationFixture.h"
#include "tests/support/FileSizeLimit.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

using namespace tarvis;
using namespace tarvis::test;

namespace {

QDateTime Utc(int y, int mo, int d, int h, int mi, int s) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

TEST(StatusClock, ReadsAsTheOperatorExpects) {
    EXPECT_EQ(ClockText(Utc(2026, 12, 8, 21, 59, 43)), QStringLiteral("Tue Dec 8, 2026  21:59:43"));
    EXPECT_EQ(ClockText(Utc(2027, 1, 1, 0, 0, 5)), QStringLiteral("Fri Jan 1, 2027  00:00:05"));
    EXPECT_EQ(ClockText(Utc(1999, 7, 25, 9, 5, 0)), QStringLiteral("Sun Jul 25, 99  09:05:00"));
    EXPECT_EQ(ClockText(Utc(2000, 2, 29, 23, 59, 59)),
              QStringLiteral("Tue Feb 29, 2000  23:59:59"));
}

TEST(StatusClock, CountsLinesAsThePaneShowsThem) {
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"x", 1}, {"a\nb", 2}, {"a\n", 1}, {"\n\n", 2}};
    for (const auto& [text, lines] : cases) {
        QTextDocument doc;
        doc.setPlainText(QString::fromLatin1(text));
        EXPECT_EQ(LineCount(doc), lines) << text;
    }
    EXPECT_EQ(LineCountText(0, 1), QStringLiteral("RX 0           TX 1"));
}

class MainWindow : public Station {};

TEST_F(MainWindow, StatusBarHasNinePanesOfTheirWidths) {
    TForm1 form(MakeEnvironment());
    // Each pane asks for its width, or more when its text needs it ("MIRVOL" may); the clock's
    // pane is widened to its text.
    const int widths[] = {70, 130, 75, 75, 100, 52, 52, 52};
    EXPECT_GE(form.StatusPanes[0]->sizeHint().width(), widths[0]);
    for (int i = 1; i < 8; ++i) {
        EXPECT_EQ(form.StatusPanes[i]->sizeHint().width(), widths[i]) << i;
    }
    const QFontMetrics clock = form.StatusPanes[8]->fontMetrics();
    EXPECT_GT(form.StatusPanes[8]->minimumWidth(), clock.horizontalAdvance(WidestClockText(clock)));
    EXPECT_TRUE(form.StatusPanes[0]->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(form.StatusPanes[1]->alignment() & Qt::AlignLeft);
    EXPECT_TRUE(form.StatusPanes[8]->alignment() & Qt::AlignRight);
    EXPECT_EQ(form.StatusPaneText(0), QStringLiteral("MIRVOL"));
    EXPECT_EQ(form.StatusBar1->height(), 23);
    EXPECT_TRUE(form.StatusPanes[0]->font().bold());
    EXPECT_EQ(form.StatusPanes[0]->font().pixelSize(), 12);
    for (QPushButton* b : {form.butV, form.butQ, form.butU}) {
        EXPECT_EQ(b->height(), 0);
    }
    EXPECT_EQ(form.butV->text(), QStringLiteral("&v"));
    EXPECT_EQ(form.HardwareResetPanel->text(), QStringLiteral("Hardware Reset Occured"));
}

TEST(StatusClock, TheWidestClockTextBoundsEveryClockText) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int widest = metrics.horizontalAdvance(WidestClockText(metrics));
    for (QDate day(2026, 1, 1); day.year() < 2028; day = day.addDays(1)) {
        for (const QTime time :
             {QTime(0, 0, 0), QTime(11, 11, 11), QTime(18, 48, 58), QTime(23, 59, 59)}) {
            const QString text = ClockText(QDateTime(day, time, Qt::UTC));
            ASSERT_LE(metrics.horizontalAdvance(text), widest) << text.toStdString();
        }
    }
}

TEST_F(MainWindow, EveryPaneShowsItsWholeTextAtTheDefaultWindowSize) {
    TForm1 form(MakeEnvironment());
    form.resize(750, 390);
    form.StatusBar1->show();
    form.show();
    form.SetStatusPane(1, QStringLiteral("ARQ Call to BB2BB"));
    form.SetStatusPane(2, QStringLiteral("TX"));
    form.SetStatusPane(3, QStringLiteral("ISS"));
    form.SetStatusPane(6, QStringLiteral("WORD"));
    form.reRXData->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12"));
    form.TimeDisplayTimerTimer();
    QApplication::processEvents();
    EXPECT_EQ(form.width(), 750);
    for (QLabel* pane : form.StatusPanes) {
        EXPECT_GE(pane->contentsRect().width(), pane->fontMetrics().horizontalAdvance(pane->text()))
            << pane->text().toStdString();
        EXPECT_LE(pane->geometry().right(), form.StatusBar1->width()) << pane->text().toStdString();
    }
}

TEST_F(MainWindow, DisplayTimerShowsClockAndLineCounts) {
    TForm1 form(MakeEnvironment());
    form.reTXData->setPlainText(QStringLiteral("CQ CQ"));
    form.SetStatusPane(5, QStringLiteral("WORD"));
    form.TimeDisplayTimerTimer();
    EXPECT_EQ(form.StatusPaneText(8), QStringLiteral("Tue Dec 8, 2026  21:59:43"));
    EXPECT_EQ(form.StatusPaneText(5), QStringLiteral("RX 0           TX 1"));
    form.reRXData->setPlainText(QStringLiteral("one\ntwo\nthree"));
    clock.Advance(3600 * 1000);
    form.TimeDisplayTimerTimer();
    EXPECT_TRUE(form.StatusPaneText(8).startsWith(QStringLiteral("Tue Dec 8, 2026  22:59:4")));
    EXPECT_EQ(form.StatusPaneText(5), QStringLiteral("RX 3           TX 1"));
}

TEST_F(MainWindow, WaitTimerHidesTheShortLivedPanels) {
    TForm1 form(MakeEnvironment());
    form.resize(800, 600);
    form.DisconnectPanel->setText(QStringLiteral("Link Failed!"));
    CentreOnWindow(*form.DisconnectPanel, form);
    EXPECT_EQ(form.DisconnectPanel->pos(), QPoint(400 - 110, 300 - 30));
    for (QWidget* w :
         {static_cast<QWidget*>(form.DisconnectPanel), static_cast<QWidget*>(form.PanicPanel),
          static_cast<QWidget*>(form.OverBox), static_cast<QWidget*>(form.CWIDBox)}) {
        w->show();
    }
    form.WaitTimer->start(1500);
    form.WaitTimerTimer();
    EXPECT_FALSE(form.WaitTimer->isActive());
    EXPECT_FALSE(form.DisconnectPanel->isVisible());
    EXPECT_FALSE(form.PanicPanel->isVisible());
    EXPECT_FALSE(form.OverBox->isVisible());
    EXPECT_FALSE(form.CWIDBox->isVisible());
    EXPECT_EQ(form.DisconnectPanel->text(), QStringLiteral("Disconnect"));
    EXPECT_EQ(port->Calls().back(), "DTR on");
}

TEST_F(MainWindow, AStalledPayloadShutsTheProgramDown) {
    TForm1 form(MakeEnvironment());
    form.ConfigChanged = true;
    dialogs.boxAnswers = {BoxAnswer::Ok, BoxAnswer::Ok};
    form.CommandTimer->start();
    form.CommandTimerTimer();
    EXPECT_FALSE(form.CommandTimer->isActive());
    ASSERT_EQ(dialogs.boxes.size(), 2U);
    EXPECT_EQ(dialogs.boxes[0].text,
              QStringLiteral("Modem has stopped responding!\n\nTarvis will now shut down ..."));
    EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("ERROR!"));
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
    EXPECT_EQ(dialogs.boxes[1].text, QStringLiteral("Configuration has changed. Save it?"));
    EXPECT_EQ(dialogs.boxes[1].caption, QStringLiteral("Exit"));
    EXPECT_EQ(dialogs.boxes[1].buttons, BoxButtons::OkCancel);
    EXPECT_EQ(endedWith, 1);
    EXPECT_TRUE(form.Link().Flags().dispatchPaused);
    const auto calls = port->Calls();
    EXPECT_EQ(calls[calls.size() - 2], "RTS off");
    EXPECT_EQ(calls.back(), "DTR off");
    EXPECT_TRUE(ReadAll(IniPath()).contains("[screen]")); // saved, as the operator asked
}

// A disk that refuses the bytes at Exit (a file-size limit stands in for a full disk, which
// stops even a user whom permissions do not): the operator is told, the old file stays whole.
TEST_F(MainWindow, AFailedSaveAtExitIsToldAndKeepsThePreviousFile) {
    const QByteArray before = ReadAll(IniPath());
    {
        TForm1 form(MakeEnvironment());
        FileSizeLimit full(64);
        ASSERT_TRUE(full.Applied());
        form.close();
    }
    ASSERT_EQ(dialogs.boxes.size(), 1U);
    EXPECT_EQ(dialogs.boxes[0].text,
              QStringLiteral("The configuration could not be saved.\n\nCannot save the "
                             "configuration file ") +
                  IniPath() + QStringLiteral(": File too large"));
    EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("ERROR"));
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
    EXPECT_EQ(ReadAll(IniPath()), before);
    EXPECT_EQ(QDir(home.path() + "/Config")
                  .entryList({QStringLiteral("*tarvis.ini*")}, QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("tarvis.ini")});
}

TEST_F(MainWindow, AStalledPayloadWithNothingChangedAsksNothingMore) {
    TForm1 form(MakeEnvironment());
    form.CommandTimerTimer();
    EXPECT_EQ(dialogs.boxes.size(), 1U);
    EXPECT_FALSE(ReadAll(IniPath()).contains("[screen]"));
    EXPECT_EQ(endedWith, 1);
}

} // namespace

namespace {

TEST_F(MainWindow, HelpAndAboutOpenFromTheHelpMenu) {
    TForm1 form(MakeEnvironment());
    form.CreateStartWindows();
    form.move(100, 80);
    form.resize(700, 400);
    form.mnuHelpContents->trigger();
    ASSERT_TRUE(form.HelpForm()->isVisible());
    const QPoint placed = form.HelpForm()->pos();
    form.HelpForm()->move(placed + QPoint(50, 50));
    form.mnuHelpContents->trigger(); // already open: stays where it is
    EXPECT_EQ(form.HelpForm()->pos(), placed + QPoint(50, 50));

    form.identity.dspVersion = QStringLiteral("4.2");
    form.About1->trigger();
    EXPECT_EQ(dialogs.modalDialogs, (std::vector<QString>{QStringLiteral("About")}));
}

} // namespace

namespace {

TEST_F(MainWindow, ViewItemsSwitchTheBarsAndEditKeepsReleasedText) {
    TForm1 form(MakeEnvironment());
    form.show();
    form.StatusBar1->show();
    form.mnuViewStatusBar->trigger();
    EXPECT_FALSE(form.mnuViewStatusBar->isChecked());
    EXPECT_FALSE(form.settings.StatusBar);
    EXPECT_FALSE(form.StatusBar1->isVisible());
    EXPECT_TRUE(form.ConfigChanged);
    form.MVLToolBar->show();
    form.mnuViewToolBar->trigger();
    EXPECT_FALSE(form.settings.ToolBar);
    EXPECT_FALSE(form.MVLToolBar->isVisible());

    // Text already released stays as it went: a paste into it is refused with a beep.
    form.reTXData->setPlainText(QStringLiteral("HELLO WORLD"));
    form.reTXData->setFocus();
    QApplication::setActiveWindow(&form);
    QTextCursor at(form.reTXData->document());
    at.setPosition(2);
    form.reTXData->setTextCursor(at);
    form.Pump().ResetSentPosition();
    ASSERT_EQ(QApplication::focusWidget(), form.reTXData);
    form.linkStatus.linkEstablished = true;
    form.terminal.TxEnabled = true;
    form.terminal.TextEntryMode = kTextEntryChar;
    for (int i = 0; i < 5; ++i) {
        form.Pump().OnTxReady();
    }
    ASSERT_GT(form.Pump().SentPosition(), 2);
    form.reTXData->setTextCursor(at);
    form.Paste1->trigger();
    EXPECT_EQ(form.reTXData->toPlainText(), QStringLiteral("HELLO WORLD"));
    ASSERT_FALSE(sound.played.empty());
    EXPECT_EQ(sound.played.back(), "beep");
}

} // namespace
