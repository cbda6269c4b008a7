#pragma once
// The floating panels the main window shows over its panes to draw the operator's attention.
#include <QLabel>

namespace tarvis {

class FloatingPanel : public QLabel {
public:
    FloatingPanel(QWidget* owner, const QString& name, const QString& caption, const QSize& size);
};

// Centres a panel on the main window: left = (window width div 2) - (panel width div 2),
// top likewise with the heights.
void CentreOnWindow(QWidget& panel, const QWidget& window);

} // namespace tarvis
