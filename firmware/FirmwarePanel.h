#pragma once
// The main window's download panel: the file being sent, a gauge of the bytes written so far
// and the Abort button.
#include "firmware/FirmwareLoader.h"

#include <QFrame>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tarvis {

class TFirmwarePanel : public QFrame, public LoaderView {
public:
    explicit TFirmwarePanel(QWidget* mainWindow);

    QLabel* TitleLabel = nullptr;
    QLabel* FileNameBox = nullptr;
    QProgressBar* DownloadGauge = nullptr;
    QPushButton* Button20 = nullptr;
    void Button20Click();

    // Called by Abort.
    std::function<void()> onAbort;
    // Called before the panel shows, so that the window it sits on is on screen.
    std::function<void()> onShow;

    // LoaderView
    void ShowPanel(const QString& fileName, int size) override;
    void SetProgress(int written) override;
    void ShowSuccess() override;
    void HidePanel() override;
    void SetBusyCursor(bool busy) override;

private:
    void SetNameColour(const QColor& colour);
};

} // namespace tarvis
