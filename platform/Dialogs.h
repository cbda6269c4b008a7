#pragma once
// Every modal question the program asks goes through this seam: message boxes, modal
// dialogs, file choosers and the printer set-up. The program uses the Qt dialogs; tests
// give scripted answers and read back exactly what was asked.
#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace tarvis {

enum class BoxIcon { None, Stop, Question, Warning, Information };
enum class BoxButtons { Ok, OkCancel, YesNo };
enum class BoxAnswer { Ok, Cancel, Yes, No };

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual BoxAnswer MessageBox(const QString& text, const QString& caption, BoxButtons buttons,
                                 BoxIcon icon) = 0;
    // A simple notice: no caption, no icon, one OK button.
    void ShowMessage(const QString& text) {
        MessageBox(text, QString(), BoxButtons::Ok, BoxIcon::None);
    }
    // Shows the dialog modally; returns QDialog::Accepted or QDialog::Rejected.
    virtual int ExecModal(QDialog& dialog) = 0;
    // Empty result: the operator cancelled.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                                 const QString& filter) = 0;
    // True when the operator confirmed the printer dialog.
    virtual bool PrintSetup(QWidget* parent, QPrinter& printer) = 0;
};

// The real Qt dialogs.
Dialogs& QtDialogs();

} // namespace tarvis
