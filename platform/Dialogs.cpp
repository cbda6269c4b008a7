#include "platform/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace tarvis {

namespace {

QMessageBox::Icon ToQtIcon(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Stop:
        return QMessageBox::Critical;
    case BoxIcon::Question:
        return QMessageBox::Question;
    case BoxIcon::Warning:
        return QMessageBox::Warning;
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

class QtDialogSet final : public Dialogs {
public:
    BoxAnswer MessageBox(const QString& text, const QString& caption, BoxButtons buttons,
                         BoxIcon icon) override {
        QMessageBox box(ToQtIcon(icon),
                        caption.isEmpty() ? QApplication::applicationName() : caption, text,
                        QMessageBox::NoButton, QApplication::activeWindow());
        switch (buttons) {
        case BoxButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case BoxButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case BoxButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Ok:
            return BoxAnswer::Ok;
        case QMessageBox::Yes:
            return BoxAnswer::Yes;
        case QMessageBox::No:
            return BoxAnswer::No;
        default:
            return buttons == BoxButtons::YesNo
                       ? BoxAnswer::No
                       : (buttons == BoxButtons::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel);
        }
    }
    int ExecModal(QDialog& dialog) override { return dialog.exec(); }
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                         const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, caption, path, filter);
    }
    bool PrintSetup(QWidget* parent, QPrinter& printer) override {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

} // namespace

Dialogs& QtDialogs() {
    static QtDialogSet dialogs;
    return dialogs;
}

} // namespace tarvis
