// The main window's side of the firmware loader: the menu item, the panel and the window
// kept out of the way while the download owns the port.
#include "firmware/FirmwareLoader.h"
#include "firmware/FirmwarePanel.h"
#include "shell/Splash.h"
#include "shell/Unit1.h"

#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <utility>
#include <vector>

namespace tarvis {

void TForm1::mnuFilesLoadFirmwareClick() {
    LoadFirmware();
}

bool TForm1::LoadFirmware() {
    if (FirmwareLoading()) {
        return false;
    }
    FirmwareLoader loader(LoaderContext{
        link_.Port(),
        *env_.clock,
        *env_.pump,
        *env_.dialogs,
        *pnlFWDownload,
        this,
        linkStatus.normalOperation,
        [this] {
            // Nothing of the link may act while the download owns the port: the payload
            // watchdog would end the program, the panel timer hide the download's panel.
            for (QTimer* timer :
                 {CommandTimer, ResetTimer, WaitTimer, MonitorTimer, CQTimer, ResponseTimer}) {
                timer->stop();
            }
            link_.SuspendThreads();
        },
        [this] { link_.Flags().dispatchPaused = false; },
        env_.endProcess,
        FirmwareLimits,
    });
    loader_ = &loader;
    pnlFWDownload->onAbort = [&loader] { loader.Abort(); };
    // Offered at start-up the panel would sit on a window not yet shown.
    pnlFWDownload->onShow = [this] {
        if (splash_) {
            splash_->hide();
        }
        show();
    };
    // Only Abort acts while the download runs: the link the other controls use is suspended.
    std::vector<std::pair<QWidget*, bool>> controls{
        {menuBar(), menuBar()->isEnabled()}, {centralWidget(), centralWidget()->isEnabled()}};
    for (QToolBar* bar : findChildren<QToolBar*>()) {
        controls.emplace_back(bar, bar->isEnabled());
    }
    for (const auto& [control, enabled] : controls) {
        control->setEnabled(false);
    }
    const LoaderOutcome outcome = loader.Run();
    pnlFWDownload->onAbort = nullptr;
    pnlFWDownload->onShow = nullptr;
    loader_ = nullptr;
    if (outcome == LoaderOutcome::NothingSent) {
        for (const auto& [control, enabled] : controls) {
            control->setEnabled(enabled);
        }
    }
    return outcome == LoaderOutcome::Ended;
}

} // namespace tarvis
