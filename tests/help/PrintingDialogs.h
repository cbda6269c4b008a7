#pragma once
// Scripted dialogs whose printer dialog can set the printer up as an operator would, for
// example to print into a PDF file, before it answers.
#include "tests/support/ScriptedDialogs.h"

#include <QPrinter>
#include <functional>

namespace tarvis::test {

class PrintingDialogs final : public Dialogs {
public:
    ScriptedDialogs script;
    // Runs when the printer dialog is shown; its result is the operator's answer.
    std::function<bool(QPrinter&)> onPrintSetup;
    int printSetups = 0;

    BoxAnswer MessageBox(const QString& text, const QString& caption, BoxButtons buttons,
                         BoxIcon icon) override {
        return script.MessageBox(text, caption, buttons, icon);
    }
    int ExecModal(QDialog& dialog) override { return script.ExecModal(dialog); }
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override {
        return script.OpenFileName(parent, caption, folder, filter);
    }
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                         const QString& filter) override {
        return script.SaveFileName(parent, caption, path, filter);
    }
    bool PrintSetup(QWidget*, QPrinter& printer) override {
        ++printSetups;
        return onPrintSetup ? onPrintSetup(printer) : false;
    }
};

} // namespace tarvis::test
