#pragma once
// One pane of the main window's status bar.
#include <QLabel>

namespace tarvis {

// A status-bar pane asks for its own width, or more when its text needs it. When the window is
// too narrow for every pane's width, a pane gives way down to what its text needs, so that the
// clock keeps its whole text at the window's default width.
class StatusPane final : public QLabel {
public:
    StatusPane(int width, QWidget* parent);

    int Width() const { return width_; }

    // Never narrower than this text would need, whatever the pane shows now.
    void ReserveWidthFor(const QString& widestText);

    QSize sizeHint() const override;

private:
    int width_;
};

} // namespace tarvis
