// The Tone Test box: the command of each list position in each mode, and the dispatch thread
// held while the box is open.
#include "modes/TestTones.h"
#include "link/ModemLink.h"
#include "tests/modes/ModeStation.h"

#include <QComboBox>
#include <QPushButton>
#include <QTextEdit>

using namespace tarvis;
using namespace tarvis::test;

namespace {

TEST(ToneTests, CommandOfEachPositionInEachMode) {
    const std::vector<std::string> mirvol = {"80 05", "80 0B", "80 04", "80 05", "80 05"};
    const std::vector<std::string> others = {"80 05", "80 8B", "80 8C", "80 8D", "80 05"};
    for (int mode : {1, 2, 3, 4, 5, 6, 7, 8}) {
        const auto& expected = mode == kModeMirvol ? mirvol : others;
        for (int position = 0; position < 5; ++position) {
            EXPECT_EQ(Hex(ToneTestCommand(mode, position)), expected[position])
                << "mode " << mode << " position " << position;
        }
        EXPECT_EQ(Hex(ToneTestCommand(mode, -1)), "80 05");
    }
}

class ToneTestBox : public ModeStation {
protected:
    void Choose(int position) {
        form->ToneTestBox->ToneBox->setCurrentIndex(position);
        form->ToneTestBox->ToneBox->activated(position);
    }
    DisplayThread& Dispatch() { return *form->Link().Display(); }
};

TEST_F(ToneTestBox, ChoosingAnEntrySendsItsTestInTheCurrentMode) {
    Open();
    form->mnuCodeMirvol->trigger();
    form->mnuSpecialTest->trigger();
    ASSERT_FALSE(form->ToneTestBox->isHidden());
    EXPECT_EQ(form->ToneTestBox->ToneBox->currentText(), QStringLiteral("Test OFF"));
    sent.clear();
    Choose(2);
    EXPECT_EQ(form->ToneTestBox->ToneBox->currentText(), QStringLiteral("Four Tone Test"));
    Choose(1);
    Choose(0);
    EXPECT_EQ(sent, (std::vector<std::string>{"80 04", "80 0B", "80 05"}));
    form->ToneTestBox->butTestCancel->click();

    form->mnuCodeBaudot->trigger();
    form->mnuSpecialTest->trigger();
    sent.clear();
    Choose(3);
    EXPECT_EQ(form->ToneTestBox->ToneBox->currentText(), QStringLiteral("M/S Tone Test"));
    form->ToneTestBox->butTestCancel->click();
    EXPECT_EQ(sent, (std::vector<std::string>{"80 8D", "80 05"}));
    EXPECT_TRUE(form->ToneTestBox->isHidden());
}

TEST_F(ToneTestBox, WhileLinkedTheMenuItemDoesNothing) {
    Open();
    Dispatch().Resume();
    form->linkStatus.linkEstablished = true;
    form->mnuSpecialTest->trigger();
    EXPECT_TRUE(form->ToneTestBox->isHidden());
    EXPECT_FALSE(Dispatch().IsSuspended());
}

TEST_F(ToneTestBox, DispatchWaitsWhileOpenAndCancelTwiceResumesOnce) {
    Open();
    form->resize(800, 600);
    Dispatch().Resume();
    form->mnuSpecialTest->trigger();
    // Centred on the main window.
    EXPECT_EQ(form->ToneTestBox->pos(), QPoint(400 - 100, 300 - 50));
    EXPECT_TRUE(Dispatch().IsSuspended());
    // What the modem sends meanwhile stays in the ring.
    for (char c : std::string("HI")) {
        form->Link().Ring().Store(static_cast<std::uint8_t>(c));
    }
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        clock.Sleep(5);
    }
    EXPECT_EQ(form->reRXData->toPlainText(), QString());
    EXPECT_EQ(form->Link().Ring().Count(), 2);

    sent.clear();
    form->ToneTestBox->butTestCancel->click();
    EXPECT_FALSE(Dispatch().IsSuspended());
    for (int i = 0; i < 200 && form->reRXData->toPlainText() != QStringLiteral("HI"); ++i) {
        QCoreApplication::processEvents();
        clock.Sleep(5);
    }
    EXPECT_EQ(form->reRXData->toPlainText(), QStringLiteral("HI"));

    // The second Cancel finds dispatch running and leaves it so.
    Dispatch().Suspend();
    Dispatch().Resume();
    form->ToneTestBox->butTestCancel->click();
    EXPECT_FALSE(Dispatch().IsSuspended());
    EXPECT_EQ(sent, (std::vector<std::string>{"80 05", "80 05"}));
}

TEST_F(ToneTestBox, TheHotKeyOpensWithoutSuspendingAndTheFirstChoiceSuspends) {
    Open();
    Dispatch().Resume();
    mnuSpecialTestClick(form->Modes(), *form->ToneTestBox, false);
    EXPECT_FALSE(form->ToneTestBox->isHidden());
    EXPECT_FALSE(Dispatch().IsSuspended());
    Choose(1);
    EXPECT_TRUE(Dispatch().IsSuspended());
    form->ToneTestBox->butTestCancel->click();
    EXPECT_FALSE(Dispatch().IsSuspended());
}

} // namespace
