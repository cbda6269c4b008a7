#include "config/Fontunit.h"
#include "config/ConfigFile.h"
#include "config/Settings.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace tarvis {
namespace {

QColor Background(const QTextEdit& pane) {
    return pane.palette().color(QPalette::Base);
}
QColor Panel(const QFrame* frame) {
    return frame->palette().color(QPalette::Window);
}
QColor Ink(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

class FontFormTest : public ::testing::Test {
protected:
    FontFormTest() {
        Settings& s = settings;
        s.ReceiveFont = family;
        s.ReceiveTextSize = 10;
        s.ReceiveTextColor = "Navy";
        s.EchoTextColor = "Red";
        s.ReceiveColor = "White";
        s.TransmitFont = family;
        s.TransmitTextSize = 12;
        s.TransmitTextColor = "Black";
        s.HighLightTextColor = "Blue";
        s.TransmitColor = "Silver";
        SetPaneFont(receivePane, s.ReceiveFont, s.ReceiveTextSize);
        SetPaneBackground(receivePane, QColor(255, 255, 255));
        SetPaneFont(transmitPane, s.TransmitFont, s.TransmitTextSize);
        SetPaneBackground(transmitPane, QColor(192, 192, 192));
    }
    // Shows the dialog; the operator's actions run while it is open.
    int Show(const std::function<void()>& whileOpen) {
        dialogs.onModal = [&](QDialog& dialog) {
            whileOpen();
            return dialog.result();
        };
        return form.ShowModal();
    }
    void ChangeEveryControl() {
        for (QComboBox* combo :
             {form.ReceiveTextColor, form.EchoTextColor, form.ReceiveColor, form.TransmitTextColor,
              form.HighLightTextColor, form.TransmitColor}) {
            combo->setCurrentText("Fuchsia");
        }
        form.ReceiveFont->setCurrentText("Some Other Face");
        form.TransmitFont->setCurrentText("Some Other Face");
        form.ReceiveTextSize->setCurrentText("18");
        form.TransmitTextSize->setCurrentText("8");
    }

    QString family = QFontDatabase::families().value(0, "Sans Serif");
    Settings settings;
    QTextEdit receivePane;
    QTextEdit transmitPane;
    test::ScriptedDialogs dialogs;
    int marked = 0;
    TFontForm form{nullptr, dialogs, settings, &receivePane, &transmitPane, [this] { ++marked; }};
};

TEST_F(FontFormTest, ListsTheInstalledFontsSortedAndTheFixedItems) {
    EXPECT_EQ(form.windowTitle(), "Font Configuration");
    EXPECT_EQ(form.size(), QSize(536, 309));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    for (QComboBox* fonts : {form.ReceiveFont, form.TransmitFont}) {
        QStringList listed;
        for (int i = 0; i < fonts->count(); ++i) {
            listed << fonts->itemText(i);
        }
        ASSERT_FALSE(listed.isEmpty());
        QStringList sorted = listed;
        sorted.sort();
        sorted.removeDuplicates();
        EXPECT_EQ(listed, sorted) << "sorted, each face once";
        // Every installed family is there by its face name, without its foundry.
        for (const QString& family : QFontDatabase::families()) {
            EXPECT_TRUE(listed.contains(family.section(QStringLiteral(" ["), 0, 0)))
                << family.toStdString();
        }
        for (const QString& face : listed) {
            EXPECT_FALSE(face.contains(QLatin1Char('['))) << face.toStdString();
        }
        EXPECT_TRUE(fonts->isEditable());
    }
    const QStringList colours = {"Black", "Teal",    "Gray", "Silver", "Lime", "Yellow",
                                 "Blue",  "Fuchsia", "Aqua", "White",  "Red",  "Maroon",
                                 "Green", "Olive",   "Navy", "Purple"};
    for (QComboBox* combo : {form.ReceiveTextColor, form.EchoTextColor, form.ReceiveColor,
                             form.TransmitTextColor, form.HighLightTextColor, form.TransmitColor}) {
        QStringList listed;
        for (int i = 0; i < combo->count(); ++i) {
            listed << combo->itemText(i);
        }
        EXPECT_EQ(listed, colours) << combo->objectName().toStdString();
    }
    EXPECT_EQ(form.ReceiveTextSize->count(), 8);
    EXPECT_EQ(form.TransmitTextSize->itemText(7), "18");
    EXPECT_TRUE(form.DefaultsBtn->isHidden());
    EXPECT_FALSE(form.DefaultsBtn->isEnabled());
    EXPECT_EQ(form.OKBtn->text(), "&OK");
    EXPECT_EQ(form.ApplyBtn->text(), "&Apply");
    EXPECT_EQ(form.Button1->text(), "&Cancel");
}

TEST_F(FontFormTest, ShowingLoadsTheControlsAndThePreviewFromTheSettings) {
    Show([&] {
        EXPECT_EQ(form.ReceiveFont->currentText(), family);
        EXPECT_EQ(form.ReceiveTextSize->currentText(), "10");
        EXPECT_EQ(form.ReceiveTextColor->currentText(), "Navy");
        EXPECT_EQ(form.EchoTextColor->currentText(), "Red");
        EXPECT_EQ(form.ReceiveColor->currentText(), "White");
        EXPECT_EQ(form.TransmitTextSize->currentText(), "12");
        EXPECT_EQ(form.TransmitColor->currentText(), "Silver");
        EXPECT_EQ(Panel(form.ReceivePreview), QColor(255, 255, 255));
        EXPECT_EQ(Panel(form.TransmitPreview), QColor(192, 192, 192));
        EXPECT_EQ(Ink(form.ReceiveTextlabel), QColor(0, 0, 128));
        EXPECT_EQ(Ink(form.EchoTextLabel), QColor(255, 0, 0));
        EXPECT_EQ(Ink(form.TransmitTextLabel), QColor(0, 0, 0));
        EXPECT_EQ(Ink(form.HighLightLabel), QColor(0, 0, 255));
        EXPECT_EQ(form.EchoTextLabel->font().pointSize(), 10);
        EXPECT_EQ(form.HighLightLabel->font().pointSize(), 12);
        EXPECT_EQ(form.TransmitTextLabel->font().families().value(0), family);
    });
    EXPECT_EQ(dialogs.modalDialogs, std::vector<QString>{"Font Configuration"});
}

TEST_F(FontFormTest, ControlsChangeOnlyThePreview) {
    Show([&] {
        form.ReceiveTextSize->setCurrentText("20");
        EXPECT_EQ(form.ReceiveTextlabel->font().pointSize(), 20);
        EXPECT_EQ(form.EchoTextLabel->font().pointSize(), 20);
        for (const char* refused : {"250", "0", "201", "abc", ""}) {
            form.ReceiveTextSize->setCurrentText(refused);
            EXPECT_EQ(form.ReceiveTextlabel->font().pointSize(), 20) << refused;
        }
        form.TransmitTextSize->setCurrentText("200");
        EXPECT_EQ(form.HighLightLabel->font().pointSize(), 200);
        form.TransmitFont->setCurrentText("Some Other Face");
        EXPECT_EQ(form.HighLightLabel->font().families().value(0), "Some Other Face");
        EXPECT_EQ(form.ReceiveTextlabel->font().families().value(0), family);
        form.EchoTextColor->setCurrentText("Lime");
        EXPECT_EQ(Ink(form.EchoTextLabel), QColor(0, 255, 0));
        form.TransmitColor->setCurrentText("Teal");
        EXPECT_EQ(Panel(form.TransmitPreview), QColor(0, 128, 128));
        form.ReceiveColor->setCurrentText("red");
        EXPECT_EQ(Panel(form.ReceivePreview), QColor(0, 0, 0)) << "names match case and all";
    });
    EXPECT_EQ(Background(transmitPane), QColor(192, 192, 192));
    EXPECT_EQ(settings.TransmitColor, "Silver");
    EXPECT_EQ(settings.ReceiveTextSize, 10);
}

TEST_F(FontFormTest, ApplyStoresTheTextsAndPaintsThePanesAtOnce) {
    const int result = Show([&] {
        form.TransmitColor->setCurrentText("Teal");
        form.ReceiveColor->setCurrentText("red");
        form.TransmitTextColor->setCurrentText("Maroon");
        form.ReceiveTextSize->setCurrentText("16");
        form.TransmitFont->setCurrentText("Some Other Face");
        form.HighLightTextColor->setCurrentText("Olive");
        form.ApplyBtn->click();
        EXPECT_EQ(Background(transmitPane), QColor(0, 128, 128)) << "at once, dialog still open";
    });
    EXPECT_EQ(result, QDialog::Rejected) << "Apply alone does not close";
    EXPECT_EQ(settings.TransmitColor, "Teal");
    EXPECT_EQ(settings.ReceiveColor, "red");
    EXPECT_EQ(Background(receivePane), QColor(0, 0, 0));
    EXPECT_EQ(transmitPane.palette().color(QPalette::Text), QColor(128, 0, 0));
    EXPECT_EQ(transmitPane.textColor(), QColor(128, 0, 0));
    EXPECT_EQ(settings.ReceiveTextSize, 16);
    EXPECT_EQ(receivePane.font().pointSize(), 16);
    EXPECT_EQ(transmitPane.font().families().value(0), "Some Other Face");
    EXPECT_EQ(settings.TransmitFont, "Some Other Face");
    EXPECT_EQ(settings.HighLightTextColor, "Olive");
    EXPECT_EQ(marked, 1);
    const QByteArray file = FormatConfiguration(settings, QString());
    EXPECT_TRUE(file.contains("\r\nTransmitColor=Teal\r\n")) << file.toStdString();
    EXPECT_TRUE(file.contains("\r\nReceiveColor=red\r\n"));
}

TEST_F(FontFormTest, OkAppliesAndCloses) {
    const int result = Show([&] {
        form.EchoTextColor->setCurrentText("Aqua");
        form.OKBtn->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(settings.EchoTextColor, "Aqua");
    EXPECT_EQ(marked, 1);
}

TEST_F(FontFormTest, ApplyWithoutChangesLeavesTheConfigurationUnmarked) {
    Show([&] { form.ApplyBtn->click(); });
    EXPECT_EQ(marked, 0);
}

TEST_F(FontFormTest, CancelAfterChangingEveryControlKeepsEverything) {
    const Settings before = settings;
    const QFont receiveFont = receivePane.font();
    const QFont transmitFont = transmitPane.font();
    const int result = Show([&] {
        ChangeEveryControl();
        form.Button1->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(FormatConfiguration(settings, QString()), FormatConfiguration(before, QString()));
    EXPECT_EQ(receivePane.font(), receiveFont);
    EXPECT_EQ(transmitPane.font(), transmitFont);
    EXPECT_EQ(Background(receivePane), QColor(255, 255, 255));
    EXPECT_EQ(Background(transmitPane), QColor(192, 192, 192));
    EXPECT_EQ(marked, 0);

    // The next showing has the old values again, in the controls and in the preview.
    Show([&] {
        EXPECT_EQ(form.ReceiveColor->currentText(), "White");
        EXPECT_EQ(form.ReceiveTextSize->currentText(), "10");
        EXPECT_EQ(form.ReceiveFont->currentText(), family);
        EXPECT_EQ(Panel(form.TransmitPreview), QColor(192, 192, 192));
        EXPECT_EQ(form.ReceiveTextlabel->font().pointSize(), 10);
    });
}

TEST_F(FontFormTest, EscapeClosesWithoutApplying) {
    bool closed = false;
    QObject::connect(&form, &QDialog::rejected, [&] { closed = true; });
    const int result = Show([&] {
        ChangeEveryControl();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&form, &escape);
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(settings.ReceiveColor, "White");
}

TEST_F(FontFormTest, ASizeThatIsNoWholeNumberIsRefusedAndTheRestApplies) {
    Show([&] {
        form.ReceiveTextSize->setCurrentText("12.5");
        form.TransmitTextSize->setCurrentText("250");
        form.TransmitColor->setCurrentText("Navy");
        form.ApplyBtn->click();
    });
    EXPECT_EQ(settings.ReceiveTextSize, 10);
    EXPECT_EQ(settings.TransmitTextSize, 12);
    EXPECT_EQ(receivePane.font().pointSize(), 10);
    EXPECT_EQ(settings.TransmitColor, "Navy") << "the steps after the refused size still ran";
    EXPECT_EQ(Background(transmitPane), QColor(0, 0, 128));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "The receive and transmit text size must be a whole number "
                                     "from 1 to 200; the size in use is kept.");
    EXPECT_EQ(dialogs.boxes[0].caption, "ERROR");
    EXPECT_EQ(dialogs.boxes[0].icon, BoxIcon::Stop);
}

} // namespace
} // namespace tarvis
