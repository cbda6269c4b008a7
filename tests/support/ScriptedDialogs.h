#pragma once
// Dialogs that answer from a script and remember every question exactly as it was asked.
#include "platform/Dialogs.h"

#include <QDialog>
#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace tarvis::test {

struct AskedBox {
    QString text;
    QString caption;
    BoxButtons buttons;
    BoxIcon icon;
};

class ScriptedDialogs final : public Dialogs {
public:
    // Answers for message boxes, in order; when none is left OK (or No) is answered.
    std::deque<BoxAnswer> boxAnswers;
    // Runs for each modal dialog; returns the dialog's result. Default: Rejected.
    std::function<int(QDialog&)> onModal;
    std::deque<QString> fileNames;
    bool printConfirmed = false;

    std::vector<AskedBox> boxes;
    std::vector<QString> modalDialogs; // window titles of the dialogs shown

    BoxAnswer MessageBox(const QString& text, const QString& caption, BoxButtons buttons,
                         BoxIcon icon) override {
        boxes.push_back({text, caption, buttons, icon});
        if (!boxAnswers.empty()) {
            const BoxAnswer a = boxAnswers.front();
            boxAnswers.pop_front();
            return a;
        }
        return buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Ok;
    }
    int ExecModal(QDialog& dialog) override {
        modalDialogs.push_back(dialog.windowTitle());
        return onModal ? onModal(dialog) : QDialog::Rejected;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return NextFileName();
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return NextFileName();
    }
    bool PrintSetup(QWidget*, QPrinter&) override { return printConfirmed; }

private:
    QString NextFileName() {
        if (fileNames.empty()) {
            return {};
        }
        QString name = fileNames.front();
        fileNames.pop_front();
        return name;
    }
};

} // namespace tarvis::test
