#pragma once
// A small panel that floats over the main window's panes and asks the operator something:
// Enter presses its confirming button and Escape its cancelling one, as in a dialog.
#include <QFrame>

class QPushButton;

namespace tarvis {

class TPanelFrame : public QFrame {
public:
    TPanelFrame(QWidget* owner, const QString& name);

protected:
    void keyPressEvent(QKeyEvent* event) override;

    QPushButton* acceptButton_ = nullptr;
    QPushButton* rejectButton_ = nullptr;
};

} // namespace tarvis
