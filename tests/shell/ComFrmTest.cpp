#include "shell/Comfrmunit.h"
#include "tests/support/ScriptedDialogs.h"

#include "tests/support/QtPrinters.h"
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace tarvis;

namespace {

TEST(ComFrm, OffersOnlyThePortsThatCanBeOpened) {
    test::ScriptedDialogs dialogs;
    std::vector<int> asked;
    TComFrm form(dialogs, [&](int n) {
        asked.push_back(n);
        return n == 3 || n == 40 || n == 254;
    });
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Serial Port Error"));
    EXPECT_EQ(form.size(), QSize(234, 140));
    EXPECT_EQ(asked.size(), 254U);
    EXPECT_EQ(asked.front(), 1);
    EXPECT_EQ(asked.back(), 254);
    ASSERT_EQ(form.PortBox->count(), 3);
    EXPECT_EQ(form.PortBox->itemText(0), QStringLiteral("COM3"));
    EXPECT_EQ(form.PortBox->itemText(2), QStringLiteral("COM254"));
    // The first entry is chosen without a click.
    EXPECT_EQ(form.SelectedPort, 3);
    form.PortBox->setCurrentIndex(1);
    EXPECT_EQ(form.SelectedPort, 40);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_NE(form.findChild<QPushButton*>(), nullptr);
}

TEST(ComFrm, NoPortLeavesPortOne) {
    test::ScriptedDialogs dialogs;
    TComFrm form(dialogs, [](int) { return false; });
    EXPECT_EQ(form.PortBox->count(), 0);
    EXPECT_EQ(form.SelectedPort, 1);
}

TEST(ComFrm, KeysChangeNothing) {
    test::ScriptedDialogs dialogs;
    TComFrm form(dialogs, [](int n) { return n <= 3; });
    for (int key : {Qt::Key_Down, Qt::Key_2, Qt::Key_End, Qt::Key_PageDown}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString());
        QCoreApplication::sendEvent(form.PortBox, &press);
    }
    EXPECT_EQ(form.PortBox->currentIndex(), 0);
    EXPECT_EQ(form.SelectedPort, 1);
}

TEST(ComFrm, AnEntryWithoutANumberIsRefused) {
    test::ScriptedDialogs dialogs;
    TComFrm form(dialogs, [](int n) { return n == 2; });
    form.PortBox->addItem(QStringLiteral("COMX"));
    form.PortBox->setCurrentIndex(1);
    ASSERT_EQ(dialogs.boxes.size(), 1U);
    EXPECT_EQ(dialogs.boxes[0].text, QStringLiteral("Error Setting ComPort"));
    EXPECT_EQ(form.SelectedPort, 2);
}

} // namespace
