#include "shell/StatusPane.h"

#include <algorithm>

namespace tarvis {

StatusPane::StatusPane(int width, QWidget* parent) : QLabel(parent), width_(width) {}

void StatusPane::ReserveWidthFor(const QString& widestText) {
    const QString shown = text();
    setText(widestText);
    setMinimumWidth(QLabel::sizeHint().width());
    setText(shown);
}

QSize StatusPane::sizeHint() const {
    const QSize own = QLabel::sizeHint();
    return {std::max(width_, own.width()), own.height()};
}

} // namespace tarvis
