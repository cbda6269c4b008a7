#include "shell/HelpForm.h"
#include "tests/help/PrintingDialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace tarvis {
namespace {

using test::PrintingDialogs;

class HelpFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        mainWindow.setGeometry(200, 150, 900, 500);
        mainWindow.show();
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    QString WriteFile(const QString& name, const QByteArray& bytes) const {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return file.fileName();
    }

    std::unique_ptr<THelpForm> MakeForm(const QByteArray& text) {
        return std::make_unique<THelpForm>(dialogs,
                                           WriteFile(QStringLiteral("krn_hotkeys.dat"), text));
    }

    PrintingDialogs dialogs;
    QMainWindow mainWindow;

private:
    QTemporaryDir dir_;
};

QStringList ActionTexts(const QWidget& widget) {
    QStringList texts;
    for (const QAction* action : widget.actions()) {
        if (!action->isSeparator()) {
            texts << action->text();
        }
    }
    return texts;
}

TEST_F(HelpFormTest, WindowIsAReadOnlyPaleYellowTextWithFileMenuAndPrintButton) {
    const auto form = MakeForm("F1  Open the help\n");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tarvis Help"));
    EXPECT_EQ(form->parentWidget(), nullptr);
    EXPECT_TRUE(form->windowFlags() & Qt::Window);
    EXPECT_EQ(form->size(), QSize(600, 331));
    EXPECT_EQ(form->minimumWidth(), 600);
    EXPECT_FALSE(form->testAttribute(Qt::WA_QuitOnClose));

    const QList<QAction*> menus = form->menuBar()->actions();
    ASSERT_EQ(menus.size(), 1);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(ActionTexts(*form->File1), (QStringList{"&Print...", "E&xit"}));

    EXPECT_EQ(form->ToolBar1->actions(), QList<QAction*>{form->Print1});
    ASSERT_NE(form->PrintButton, nullptr);
    EXPECT_EQ(form->PrintButton->defaultAction(), form->Print1);
    EXPECT_EQ(form->PrintButton->text(), QStringLiteral("&Print..."));
    EXPECT_FALSE(form->PrintButton->icon().isNull());
    EXPECT_FALSE(form->PrintButton->accessibleName().isEmpty());

    EXPECT_TRUE(form->Editor->isReadOnly());
    EXPECT_EQ(form->Editor->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(form->Editor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form->Editor->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x99));
    EXPECT_EQ(form->Editor->toPlainText(), QStringLiteral("F1  Open the help\n"));
}

TEST_F(HelpFormTest, EditMenuItemsLeaveTextAndClipboardAlone) {
    const auto form = MakeForm("F2  Insert his call DE my call\n");
    EXPECT_EQ(ActionTexts(*form->EditorPopup), (QStringList{"Cu&t", "&Copy", "&Paste"}));
    EXPECT_EQ(form->Editor->contextMenuPolicy(), Qt::CustomContextMenu);
    QApplication::clipboard()->setText(QStringLiteral("clipboard before"));
    form->Editor->selectAll();
    for (QAction* action : {form->Cut1, form->Copy1, form->Paste1}) {
        action->trigger();
    }
    EXPECT_EQ(form->Editor->toPlainText(), QStringLiteral("F2  Insert his call DE my call\n"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("clipboard before"));
}

TEST_F(HelpFormTest, ShowsThePlainOrRichTextOfTheFile) {
    struct Case {
        QByteArray bytes;
        QString shown;
    };
    const Case cases[] = {
        {"Alt+A  Insert the date\r\nAlt+T  Insert the time\r\n",
         "Alt+A  Insert the date\nAlt+T  Insert the time\n"},
        {"Alt+Y  Insert twelve LTRS shifts <<<<<<<<<<<<\n",
         "Alt+Y  Insert twelve LTRS shifts <<<<<<<<<<<<\n"},
        {"Ctrl+G  Insert \xC2\xA4\n", QStringLiteral("Ctrl+G  Insert \u00A4\n")},
        // Written with a Western code page rather than UTF-8.
        {"Ctrl+G  Insert \xA4\n", QStringLiteral("Ctrl+G  Insert \u00A4\n")},
        {"<html><body><p><b>F8</b> Listen</p></body></html>", "F8 Listen"},
        {"", ""},
    };
    for (const Case& c : cases) {
        const auto form = MakeForm(c.bytes);
        EXPECT_EQ(form->Editor->toPlainText(), c.shown) << c.bytes.toStdString();
    }
}

TEST_F(HelpFormTest, FileThatCannotBeLoadedShowsTheErrorLineAndNothingElse) {
    QFile big(Path(QStringLiteral("huge.dat")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(kHelpFileMaxBytes + 1));
    big.close();
    ASSERT_TRUE(QDir().mkpath(Path(QStringLiteral("folder.dat"))));

    for (const QString& name : {QStringLiteral("missing.dat"), QStringLiteral("folder.dat"),
                                QStringLiteral("huge.dat")}) {
        THelpForm form(dialogs, Path(name));
        EXPECT_EQ(form.Editor->toPlainText(), QStringLiteral("Error loading data file..."))
            << name.toStdString();
        EXPECT_TRUE(form.Editor->isReadOnly());
        EXPECT_EQ(form.Editor->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x99));
    }
    EXPECT_TRUE(dialogs.script.boxes.empty());
}

TEST_F(HelpFormTest, OpenPlacesTheWindowOverTheMainWindowOnlyWhenNotShowing) {
    const auto form = MakeForm("F3  Insert his call sign\n");
    const QPoint mainCorner = mainWindow.frameGeometry().topLeft();
    form->Open(mainWindow);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->frameGeometry().topLeft(), mainCorner + QPoint(10, 10));
    EXPECT_EQ(form->size(), QSize(900, 500));

    // A second "Hot Keys" while the window shows leaves it where it is.
    mainWindow.setGeometry(50, 60, 700, 400);
    form->Open(mainWindow);
    EXPECT_EQ(form->frameGeometry().topLeft(), mainCorner + QPoint(10, 10));
    EXPECT_EQ(form->size(), QSize(900, 500));

    // Once closed, the next one places it again.
    form->close();
    form->Open(mainWindow);
    EXPECT_EQ(form->frameGeometry().topLeft(),
              mainWindow.frameGeometry().topLeft() + QPoint(10, 10));
    EXPECT_EQ(form->size(), QSize(700, 400));
}

TEST_F(HelpFormTest, NeverNarrowerThanItsMinimum) {
    const auto form = MakeForm("F4  Insert my call sign\n");
    mainWindow.setGeometry(100, 100, 400, 300);
    form->Open(mainWindow);
    EXPECT_EQ(form->size(), QSize(600, 300));
}

TEST_F(HelpFormTest, ClosingHidesAndReopeningShowsTheTextFirstRead) {
    const auto form = MakeForm("F5  Here-Is messages\n");
    // The close box and "Exit" both only hide the window.
    form->Open(mainWindow);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    form->Open(mainWindow);
    form->Exit1->trigger();
    EXPECT_FALSE(form->isVisible());

    WriteFile(QStringLiteral("krn_hotkeys.dat"), "changed on disk\n");
    form->Open(mainWindow);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Editor->toPlainText(), QStringLiteral("F5  Here-Is messages\n"));
}

// Pages and the document title of a PDF written by the printer.
struct PdfFacts {
    int pages = 0;
    QByteArray title;
};

PdfFacts ReadPdf(const QString& path) {
    QFile file(path);
    PdfFacts facts;
    if (!file.open(QIODevice::ReadOnly)) {
        return facts;
    }
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    facts.pages = static_cast<int>(pdf.count("/Type /Page\n"));
    const QRegularExpression title(QStringLiteral("/Title \\(([^)]*)\\)"));
    const QRegularExpressionMatch match = title.match(QString::fromLatin1(pdf));
    facts.title = match.hasMatch() ? match.captured(1).toLatin1() : QByteArray("<none>");
    return facts;
}

TEST_F(HelpFormTest, ConfirmedPrintWritesEveryPageWithAnEmptyTitle) {
    QByteArray text;
    for (int i = 0; i < 150; ++i) {
        text += "Alt+F7  Panic reset: stop everything and return the modem to standby\n";
    }
    const auto form = MakeForm(text);
    form->Open(mainWindow);
    const QString pdf = Path(QStringLiteral("help.pdf"));
    dialogs.onPrintSetup = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setDocName(QStringLiteral("left over from the dialog"));
        return true;
    };
    form->Print1->trigger();

    EXPECT_EQ(dialogs.printSetups, 1);
    EXPECT_TRUE(dialogs.script.boxes.empty());
    const PdfFacts facts = ReadPdf(pdf);
    // 150 lines do not fit on one page in any readable font (at 6 points they take 900 points
    // of height, more than an A4 or Letter page holds); every page reaches the file. How many
    // pages exactly depends on the font the machine lays them out in.
    EXPECT_GE(facts.pages, 2);
    EXPECT_LE(facts.pages, 8);
    EXPECT_EQ(facts.title, QByteArray());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(HelpFormTest, CancelledPrintPrintsNothing) {
    const auto form = MakeForm("F6  Changeover\n");
    const QString pdf = Path(QStringLiteral("cancelled.pdf"));
    dialogs.onPrintSetup = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return false;
    };
    form->PrintButton->click();
    EXPECT_EQ(dialogs.printSetups, 1);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(dialogs.script.boxes.empty());
}

TEST_F(HelpFormTest, FailedPrintTellsTheOperatorAndKeepsTheWindow) {
    const auto form = MakeForm("F7  Disconnect\n");
    form->Open(mainWindow);
    const QString unwritable = Path(QStringLiteral("no-such-folder/help.pdf"));
    const std::function<void(QPrinter&)> failures[] = {
        [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(unwritable);
        },
        // A file printer that was never given a file.
        [](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString());
        },
    };
    for (const auto& setUp : failures) {
        dialogs.script.boxes.clear();
        dialogs.onPrintSetup = [&](QPrinter& printer) {
            setUp(printer);
            return true;
        };
        form->Print1Click();
        ASSERT_EQ(dialogs.script.boxes.size(), 1u);
        EXPECT_EQ(dialogs.script.boxes[0].text,
                  QStringLiteral("Error Printing...\r\n Please, Check Printer Installation"));
        EXPECT_EQ(dialogs.script.boxes[0].buttons, BoxButtons::Ok);
        EXPECT_TRUE(form->isVisible());
    }
    EXPECT_FALSE(QFile::exists(unwritable));
}

} // namespace
} // namespace tarvis
