#pragma once
// The hot-key help window: shows the hot-key list that ships beside the program, read-only,
// and prints it. It is a window of its own (with its own task-bar button) that is made once
// at start-up, and closing it only hides it, so the text is read from disk once per run.
#include <QMainWindow>
#include <QString>

class QAction;
class QMenu;
class QPrinter;
class QTextDocument;
class QTextEdit;
class QToolBar;
class QToolButton;

namespace tarvis {

class Dialogs;

// The text shown when the help file cannot be loaded.
inline constexpr char kHelpLoadError[] = "Error loading data file...";
// The message after a print job failed.
inline constexpr char kHelpPrintError[] =
    "Error Printing...\r\n Please, Check Printer Installation";
// Help files larger than this are treated as unreadable rather than loaded into the window.
inline constexpr qint64 kHelpFileMaxBytes = 8 * 1024 * 1024;

// Prints a document on one printer job with the printer's current settings. False when the
// job could not be started or a page could not be sent; the job is ended either way.
bool PrintTextDocument(const QTextDocument& document, QPrinter& printer);

class THelpForm : public QMainWindow {
public:
    // helpFilePath is the hot-key list ("krn_hotkeys.dat" in the home folder); it is read here
    // and never again.
    THelpForm(Dialogs& dialogs, QString helpFilePath);

    // Shows the window over the main window: 10 pixels right of and below its top-left
    // corner, at its size. Nothing happens when the window is already showing.
    void Open(QWidget& mainWindow);

    void Print1Click();
    void Exit1Click();

    QMenu* File1 = nullptr;
    QAction* Print1 = nullptr; // the menu item and the tool button
    QAction* Exit1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* PrintButton = nullptr;
    QTextEdit* Editor = nullptr;
    QMenu* EditorPopup = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;

private:
    void LoadHelpFile(const QString& path);

    Dialogs& dialogs_;
};

} // namespace tarvis
