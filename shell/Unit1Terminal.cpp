// The main window's terminal: the transmit pump and the editing guard of the transmit pane,
// the receive display, the status decoder and the tuning and statistics windows they feed,
// and the menu items that act on them.
#include "config/Fontunit.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "shell/Panels.h"
#include "shell/Unit1.h"
#include "tuning/Amptune.h"
#include "tuning/Freqtune.h"
#include "tuning/ToolWindows.h"

#include <QAction>
#include <QMenu>
#include <QTextEdit>
#include <QTimer>

namespace tarvis {

ClearContext TForm1::Clearing() {
    return ClearContext{*reRXData, *reTXData, *pump_, *pumpModem_, settings, linkStatus, terminal,
                        [this] { display_->insertionPoint = 0; }};
}

void TForm1::CreateTerminal() {
    auto setPane = [this](int pane, const QString& text) { SetStatusPane(pane, text); };

    txPane_ = std::make_unique<TextEditTransmitPane>(*reTXData);
    pumpModem_ = std::make_unique<ModemLinkPumpModem>(link_);
    pump_ = std::make_unique<TransmitPump>(TransmitPump::Context{
        *txPane_, *pumpModem_, env_.engine, terminal, linkStatus, settings, *env_.clock, *env_.pump,
        setPane});
    new TransmitKeyGuard({*reTXData, *pump_, settings, *env_.sound, [] { return false; }});

    ReceiveDisplayContext receive{*reRXData, *reTXData, link_.Flags(), settings, *env_.sound,
                                  capture,   setPane};
    receive.echoed = [this](std::uint8_t c) { pump_->InFlight().Echo(c); };
    display_ = std::make_unique<ReceiveDisplay>(receive);

    DecoderContext context{*env_.clock, *env_.pump, *env_.sound, link_,  linkStatus, terminal,
                           settings,    bars,        records,     setPane};
    context.mnuFilesSendBinaryFile = mnuFilesSendBinaryFile;
    context.mnuFilesSendtextfile = mnuFilesSendtextfile;
    context.mnuCode = mnuCode->menuAction();
    context.mnuConfigure = mnuConfigure->menuAction();
    context.mnuSpecialTest = mnuSpecialTest;
    context.mainWindow = this;
    context.HardwareResetPanel = HardwareResetPanel;
    context.DisconnectPanel = DisconnectPanel;
    context.CommandTimer = CommandTimer;
    context.ResetTimer = ResetTimer;
    context.WaitTimer = WaitTimer;
    context.MonitorTimer = MonitorTimer;
    context.CQTimer = CQTimer;
    context.resetBytesInFlight = [this] { pump_->InFlight().Reset(); };
    context.amplitudeUpdate = [this] {
        AmplitudeUpdate(*AmplitudeTuneFrm, records.amplitude, previousLevels);
    };
    context.tuningOffsetUpdate = [this] {
        TuningOffsetUpdate(*FrequencyTuneFrm, records.tuningOffset, nullptr);
    };
    context.statisticsUpdate = [this] {
        StatisticsUpdate(*MirvolStatisticsFrm, *FrequencyTuneFrm, records.statistics);
    };
    context.modulationUpdate = [this] {
        if (auto text = ModulationUpdate(*MirvolStatisticsFrm, statistics, records.modulation,
                                         linkStatus.linkEstablished)) {
            SetStatusPane(kBiasPane, *text);
        }
    };
    context.statisticsSaving = [this] { return statistics.saving; };
    context.statisticsLineWriter = [this] {
        WriteStatisticsLines(statistics, records.statistics, records.modulation, folders_.home,
                             terminal.OperatingMode, linkStatus.linkEstablished, settings.MYCALL,
                             settings.HISCALL, env_.clock->UtcNow().toLocalTime().time());
    };
    decoder_ = std::make_unique<StatusDecoder>(context);

    // Files: statistics to disk.
    mnuFilesSaveStatistics = new QAction(QStringLiteral("Save statistics to &disk..."), this);
    mnuFilesStopSaveSend = new QAction(QStringLiteral("S&top disk save/send"), this);
    mnuFilesStopSaveSend->setEnabled(false);
    mnuFiles->insertActions(saveconfig, {mnuFilesSaveStatistics, mnuFilesStopSaveSend});
    StatsBox = new TStatsBox(this, statistics, *env_.dialogs, folders_.home,
                             {mnuFilesSaveStatistics, mnuFilesStopSaveSend, reTXData, setPane});
    connect(mnuFilesSaveStatistics, &QAction::triggered, this,
            [this] { StatsBox->mnuFilesSaveStatisticsClick(env_.clock->UtcNow().toLocalTime()); });
    connect(mnuFilesStopSaveSend, &QAction::triggered, this, [this] {
        StopStatisticsSaving(statistics);
        mnuFilesStopSaveSend->setEnabled(false);
        SetStatusPane(6, QString());
    });

    // Views: the echo switch and the tool windows.
    connect(mnuViewEchoData, &QAction::triggered, this,
            [this] { mnuViewEchoData->setChecked(ToggleEchoEnable(settings)); });
    const std::pair<QAction*, QWidget*> toggles[] = {{mnuViewAmpTune, AmplitudeTuneFrm},
                                                     {mnuViewFreqTune, FrequencyTuneFrm},
                                                     {mnuViewMirvolStat, MirvolStatisticsFrm}};
    for (const auto& [item, window] : toggles) {
        connect(item, &QAction::triggered, this,
                [this, item, window] { ToggleToolWindow(*window, *item, ConfigChanged); });
    }

    // Configure: screen settings.
    mnuConfigureScreenSettings = mnuConfigure->addAction(QStringLiteral("&Screen Settings..."));
    connect(mnuConfigureScreenSettings, &QAction::triggered, this, [this] {
        if (FontForm != nullptr) {
            FontForm->ShowModal();
        }
    });

    // Special: clearing the panes.
    QAction* first = mnuSpecial->actions().isEmpty() ? nullptr : mnuSpecial->actions().first();
    mnuSpecialClearAll = new QAction(QStringLiteral("Clear &All"), this);
    mnuSpecialClearRX = new QAction(QStringLiteral("Clear &RX"), this);
    mnuSpecialClearTX = new QAction(QStringLiteral("Clear &TX"), this);
    mnuSpecial->insertActions(first, {mnuSpecialClearAll, mnuSpecialClearRX, mnuSpecialClearTX});
    connect(mnuSpecialClearAll, &QAction::triggered, this, [this] {
        display_->Flush();
        ClearAll(Clearing());
    });
    connect(mnuSpecialClearRX, &QAction::triggered, this, [this] {
        display_->Flush();
        ClearRX(Clearing());
    });
    connect(mnuSpecialClearTX, &QAction::triggered, this, [this] { ClearTX(Clearing()); });
}

} // namespace tarvis
