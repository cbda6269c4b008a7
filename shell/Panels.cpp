#include "shell/Panels.h"

namespace tarvis {

FloatingPanel::FloatingPanel(QWidget* owner, const QString& name, const QString& caption,
                             const QSize& size)
    : QLabel(caption, owner) {
    setObjectName(name);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(3);
    setAutoFillBackground(true);
    QFont f = font();
    f.setBold(true);
    f.setPointSize(14);
    setFont(f);
    resize(size);
    hide();
}

void CentreOnWindow(QWidget& panel, const QWidget& window) {
    panel.move(window.width() / 2 - panel.width() / 2, window.height() / 2 - panel.height() / 2);
}

} // namespace tarvis
