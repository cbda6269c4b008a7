#include "modes/PanelFrame.h"

#include <QKeyEvent>
#include <QPushButton>

namespace tarvis {

TPanelFrame::TPanelFrame(QWidget* owner, const QString& name) : QFrame(owner) {
    setObjectName(name);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);
    hide();
}

void TPanelFrame::keyPressEvent(QKeyEvent* event) {
    QPushButton* button = nullptr;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        button = acceptButton_;
    } else if (event->key() == Qt::Key_Escape) {
        button = rejectButton_;
    }
    if (button != nullptr && button->isEnabled()) {
        button->click();
        return;
    }
    QFrame::keyPressEvent(event);
}

} // namespace tarvis
