// The canned-text buttons of the tool bars on a started station: what each puts into the
// transmit pane, the bytes the pump then gives the modem, the Here-Is panel, and the MIRVOL
// CQ call and answer.
#include "terminal/CannedMessages.h"
#include "terminal/HereIsPanel.h"
#include "terminal/MessageFiles.h"
#include "tests/e2e/StationHome.h"
#include "tests/links/StartedStation.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace tarvis;
using namespace tarvis::test;

namespace {

constexpr const char* kCalls = "[callsigns]\r\nMYCALL=AA1AA\r\nHISCALL=BB2BB\r\nMYCALL476=AAAA\r\n";

class Canned : public StartedStation {
protected:
    void SetUp() override {
        StartedStation::SetUp();
        Start(kCalls);
        form->show();
        folder = form->GetFolders().message;
    }
    // A real click on the tool-bar button of the action.
    static void Click(QAction* button) {
        auto* bar = qobject_cast<QToolBar*>(button->parent());
        ASSERT_NE(bar, nullptr);
        QWidget* widget = bar->widgetForAction(button);
        ASSERT_NE(widget, nullptr);
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    QString Pane() const { return form->reTXData->toPlainText(); }
    void Put(const QString& name, const QByteArray& bytes) const {
        WriteFile(folder + name, bytes);
    }
    THereIsPanel& Panel() const { return *form->HereIsPanel; }
    // Waits until the pump has released the pane and the port has gone quiet. MIRVOL text
    // leaves only over a link.
    std::string Released() {
        form->linkStatus.linkEstablished = true;
        form->terminal.TxEnabled = true;
        std::string wire;
        for (int i = 0; i < 200 && !(Pane().isEmpty() && !wire.empty()); ++i) {
            const std::string more = Wire();
            wire += wire.empty() || more.empty() ? more : " " + more;
        }
        return wire;
    }

    long Beeps() const { return std::count(sound.played.begin(), sound.played.end(), "beep"); }

    QString folder;
};

TEST_F(Canned, MessageZeroFromAnEmptyFolderIsCreatedAndLeavesThroughThePump) {
    ASSERT_FALSE(QFile::exists(folder + "hereis0.txt"));
    Click(form->bars.butMVLMsg0);
    EXPECT_EQ(ReadAll(folder + "hereis0.txt"), QByteArray("Here is #0"));
    EXPECT_EQ(Pane(), QStringLiteral("Here is #0\n"));
    // The pump releases it as a typed line: the text, then the end-of-line text (CR LF).
    EXPECT_EQ(Released(), Hex("Here is #0\r\n"));
}

TEST_F(Canned, MessageZeroAfterTypedTextGoesOnNewLinesAndEveryByteAsItStands) {
    // 80 and 81 in the file go to the modem as the literals 81 80 and 81 81.
    Put(QStringLiteral("hereis0.txt"), QByteArray("A\x80Z\r\nB\x81\r\n"));
    form->bars.butMVLMsg0->trigger();
    EXPECT_EQ(Released(), "41 81 80 5A 0D 0A 42 81 81 0D 0A");

    Mode(&TForm1::mnuCodeBaudotClick);
    form->reTXData->insertPlainText(QStringLiteral("RYRY"));
    Put(QStringLiteral("hereis0.txt"), "ONE\nTWO");
    form->bars.butBaudotMsg0->trigger();
    EXPECT_EQ(Pane().right(13), QStringLiteral("RYRY\nONE\nTWO\n"));
}

TEST_F(Canned, AMessageFileThatCannotBeReadIsReportedAndPutsNothing) {
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("hereis0.txt")));
    form->bars.butMVLMsg0->trigger();
    EXPECT_TRUE(Pane().isEmpty());
    ASSERT_EQ(dialogs.boxes.size(), 1U);
    EXPECT_EQ(dialogs.boxes[0].caption, QStringLiteral("ERROR"));
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
    EXPECT_TRUE(dialogs.boxes[0].text.endsWith(
        QStringLiteral("hereis0.txt cannot be read: it is a folder.")))
        << dialogs.boxes[0].text.toStdString();

    // A very large file previews its beginning, and the operator is told.
    Put(QStringLiteral("hereis1.txt"), QByteArray(10 * 1024 * 1024, 'X'));
    form->bars.butMVLMsgPlus->trigger();
    EXPECT_EQ(Panel().edHereIs->toPlainText().size(), kMessageFileLimit);
    ASSERT_EQ(dialogs.boxes.size(), 2U);
    EXPECT_EQ(
        dialogs.boxes[1].text,
        QStringLiteral("The message file is larger than 64 KB; only its first 64 KB are used."));
}

TEST_F(Canned, TheHereIsSelectorWrapsThroughWruAndTypedNumbersOutsideAreRefused) {
    Click(form->bars.butMVLMsgPlus);
    ASSERT_TRUE(Panel().isVisible());
    EXPECT_EQ(Panel().pos(), QPoint(form->width() / 2 - Panel().width() / 2,
                                    form->height() / 2 - Panel().height() / 2));
    EXPECT_EQ(Panel().edHereIsNumber->text(), QStringLiteral("1"));
    EXPECT_EQ(Panel().edHereIs->toPlainText(), QStringLiteral("Here is #1"));
    EXPECT_EQ(ReadAll(folder + "hereis1.txt"), QByteArray("Here is #1"));

    Put(QStringLiteral("hereis9.txt"), "NINE");
    Put(QStringLiteral("wru.txt"), "AA1AA HERE");
    Panel().edHereIsNumber->selectAll();
    QTest::keyClicks(Panel().edHereIsNumber, QStringLiteral("9"));
    EXPECT_EQ(Panel().edHereIs->toPlainText(), QStringLiteral("NINE"));
    QTest::mouseClick(Panel().HereIsSelector->upButton, Qt::LeftButton);
    EXPECT_EQ(Panel().edHereIsNumber->text(), QStringLiteral("WRU"));
    EXPECT_EQ(Panel().edHereIs->toPlainText(), QStringLiteral("AA1AA HERE"));
    QTest::mouseClick(Panel().HereIsSelector->upButton, Qt::LeftButton);
    EXPECT_EQ(Panel().edHereIsNumber->text(), QStringLiteral("1"));
    EXPECT_EQ(Panel().edHereIs->toPlainText(), QStringLiteral("Here is #1"));
    QTest::mouseClick(Panel().HereIsSelector->downButton, Qt::LeftButton);
    EXPECT_EQ(Panel().edHereIsNumber->text(), QStringLiteral("WRU"));

    for (const char* refused : {"0", "11"}) {
        const long beeps = Beeps();
        Panel().edHereIsNumber->selectAll();
        QTest::keyClicks(Panel().edHereIsNumber, QLatin1String(refused));
        EXPECT_TRUE(Panel().edHereIsNumber->text().isEmpty()) << refused;
        EXPECT_EQ(Beeps(), beeps + 1) << refused;
    }
    // Shift and the like leave the number alone.
    QTest::keyClicks(Panel().edHereIsNumber, QStringLiteral("3"));
    const long beeps = Beeps();
    QTest::keyClick(Panel().edHereIsNumber, Qt::Key_Shift);
    EXPECT_EQ(Beeps(), beeps);
    EXPECT_EQ(Panel().edHereIs->toPlainText(), QStringLiteral("Here is #3"));
}

TEST_F(Canned, HereIsSendPutsThePreviewIntoThePaneAndCancelPutsNothing) {
    form->Link().Flags().dispatchPaused = true; // as the hot key that opens the panel leaves it
    form->bars.butMVLMsgPlus->trigger();
    Panel().edHereIs->setPlainText(QStringLiteral("LINE ONE\nLINE TWO"));
    Type(QStringLiteral("TYPED"));
    QTest::mouseClick(Panel().Button4, Qt::LeftButton);
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_FALSE(form->Link().Flags().dispatchPaused);
    EXPECT_EQ(Pane(), QStringLiteral("TYPED\nLINE ONE\nLINE TWO\n"));

    form->reTXData->clear();
    form->Pump().ResetSentPosition();
    form->bars.butMVLMsgPlus->trigger();
    form->Link().Flags().dispatchPaused = true;
    QTest::keyClick(Panel().edHereIsNumber, Qt::Key_Escape);
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_FALSE(form->Link().Flags().dispatchPaused);
    EXPECT_TRUE(Pane().isEmpty());
}

TEST_F(Canned, CallsAreInsertedAtTheCaretReplacingTheSelection) {
    Mode(&TForm1::mnuCodeBaudotClick);
    Type(QStringLiteral("QRL? QRL?"));
    QTextCursor cursor = form->reTXData->textCursor();
    cursor.setPosition(5);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    form->reTXData->setTextCursor(cursor);
    Click(form->bars.butBaudotHISdeMY);
    EXPECT_EQ(Pane(), QStringLiteral("QRL? BB2BB DE AA1AA "));
    form->bars.butBaudotdeMY->trigger();
    EXPECT_EQ(Pane(), QStringLiteral("QRL? BB2BB DE AA1AA DE AA1AA "));
}

TEST_F(Canned, CallCqByMode) {
    struct Case {
        void (TForm1::*mode)();
        QAction* ModeToolBars::*button;
        int operatingMode;
        const char* pane;
    };
    const Case cases[] = {
        {&TForm1::mnuCodeBaudotClick, &ModeToolBars::butBaudotCallCQ, kModeBaudot,
         "CQ CQ CQ DE AA1AA\n"},
        {&TForm1::mnuCodeAsciiClick, &ModeToolBars::butAsciiCallCQ, kModeAscii,
         "CQ CQ CQ DE AA1AA\n"},
        {&TForm1::mnuCodeAmtorClick, &ModeToolBars::butAmtorCallCQ, kModeAmtorBroadcast,
         "CQ CQ CQ DE AAAA AA1AA\n"},
        {&TForm1::mnuCodeAmtorClick, &ModeToolBars::butAmtorCallCQ, kModeAmtor, ""},
        {&TForm1::mnuCodePModeClick, &ModeToolBars::butPModeCallCQ, kModePMode, ""},
    };
    for (const Case& c : cases) {
        Mode(c.mode);
        form->reTXData->clear();
        form->terminal.OperatingMode = c.operatingMode;
        (form->bars.*c.button)->setEnabled(true);
        (form->bars.*c.button)->trigger();
        EXPECT_EQ(Pane(), QLatin1String(c.pane)) << c.operatingMode;
        EXPECT_EQ(form->terminal.BaseMode, c.operatingMode);
        EXPECT_EQ(Wire(), "") << c.operatingMode; // nothing straight to the modem
    }
}

TEST_F(Canned, MirvolCallCqAndTheAnswerWithinTheWindow) {
    QAction* cq = form->bars.butMVLCallCQ;
    Click(cq);
    EXPECT_EQ(Wire(), "80 14 80 00");
    EXPECT_FALSE(form->bars.butMVLConnect->isEnabled());
    EXPECT_FALSE(form->bars.butMVLFEC->isEnabled());
    EXPECT_FALSE(cq->isEnabled());
    EXPECT_TRUE(form->bars.butMVLPanic->isEnabled());

    // Another station's CQ is heard: the button answers it for 5 s.
    cq->setEnabled(true);
    port->Feed(std::string("\x80\x26"
                           "CC3CC",
                           7) +
               '\0');
    ASSERT_TRUE(WaitFor([&] { return cq->text() == QStringLiteral("Answer CQ"); }));
    EXPECT_EQ(form->StatusPaneText(1), QStringLiteral("CQ from CC3CC"));
    EXPECT_TRUE(form->CQTimer->isActive());
    cq->trigger();
    EXPECT_EQ(Wire(), "80 15 80 00");
    EXPECT_EQ(cq->text(), QStringLiteral("Answering CQ"));
    EXPECT_FALSE(form->linkStatus.answerCq);
    EXPECT_FALSE(form->CQTimer->isActive());

    // Heard again, and the window passes: the button calls CQ again, the pane is on standby.
    cq->setEnabled(true);
    port->Feed(std::string("\x80\x26"
                           "CC3CC",
                           7) +
               '\0');
    ASSERT_TRUE(WaitFor([&] { return form->linkStatus.answerCq; }));
    form->CQTimerTimer();
    EXPECT_EQ(cq->text(), QStringLiteral("Call CQ"));
    EXPECT_FALSE(form->linkStatus.answerCq);
    EXPECT_EQ(form->StatusPaneText(1), form->Decoder().StandbyText());
    cq->trigger();
    EXPECT_EQ(Wire(), "80 14 80 00");
}

TEST_F(Canned, FoxesOnlyWhenLinkedOrInTheListedModes) {
    const QString fox =
        QStringLiteral("THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG'S BACK 0123456789\n");
    form->bars.butMVLFoxes->setEnabled(true);
    form->bars.butMVLFoxes->trigger(); // MIRVOL standby
    EXPECT_TRUE(Pane().isEmpty());
    form->linkStatus.linkEstablished = true;
    Type(QStringLiteral("AB"));
    form->bars.butMVLFoxes->trigger();
    EXPECT_EQ(Pane(), QStringLiteral("AB\n") + fox);

    form->linkStatus.linkEstablished = false;
    Mode(&TForm1::mnuCodeBaudotClick);
    form->reTXData->clear();
    form->Pump().ResetSentPosition();
    Click(form->bars.butBaudotFoxes);
    EXPECT_EQ(Pane(), fox);
}

} // namespace
