// The main window's terminal: the transmit pump and the editing guard of the transmit pane,
// the receive display, the status decoder and the tuning and statistics windows they feed,
// and the menu items that act on them.
#include "config/Fontunit.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Sound.h"
#include "shell/Panels.h"
#include "shell/Unit1.h"
#include "tuning/Amptune.h"
#include "tuning/Freqtune.h"
#include "tuning/ToolWindows.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

namespace tarvis {

ClearContext TForm1::Clearing() {
    return ClearContext{*reRXData, *reTXData,  *pump_,   *pumpModem_,
                        settings,  linkStatus, terminal, [this] { display_->insertionPoint = 0; }};
}

void TForm1::CreateTerminal() {
    auto setPane = [this](int pane, const QString& text) { SetStatusPane(pane, text); };

    txPane_ = std::make_unique<TextEditTransmitPane>(*reTXData);
    pumpModem_ = std::make_unique<ModemLinkPumpModem>(link_);
    pump_ = std::make_unique<TransmitPump>(TransmitPump::Context{*txPane_, *pumpModem_, env_.engine,
                                                                 terminal, linkStatus, settings,
                                                                 *env_.clock, *env_.pump, setPane});
    new TransmitKeyGuard({*reTXData, *pump_, settings, *env_.sound, [] { return false; }});

    ReceiveDisplayContext receive{*reRXData,   *reTXData, link_.Flags(), settings,
                                  *env_.sound, capture,   setPane};
    receive.echoed = [this](std::uint8_t c) { pump_->InFlight().Echo(c); };
    display_ = std::make_unique<ReceiveDisplay>(receive);

    DecoderContext context{*env_.clock, *env_.pump, *env_.sound, link_,   linkStatus,
                           terminal,    settings,   bars,        records, setPane};
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
    connect(mnuSpecial, &QMenu::aboutToShow, this, [this] { reTXData->setFocus(); });

    CreateEditAndViewItems();
}

QTextEdit* TForm1::EditTarget() const {
    QWidget* focused = QApplication::focusWidget();
    if (focused == reRXData || focused == reTXData) {
        return static_cast<QTextEdit*>(focused);
    }
    return nullptr;
}

QToolBar* TForm1::CurrentToolBar() const {
    switch (terminal.OperatingMode) {
    case kModeMirvol:
    case kModeMirvolBroadcast:
        return MVLToolBar;
    case kModeAmtor:
    case kModeAmtorBroadcast:
        return AmtorToolBar;
    case kModePMode:
    case kModePModeUnproto:
        return PModeToolBar;
    case kModeBaudot:
        return BaudotToolBar;
    case kModeAscii:
        return AsciiToolBar;
    case kModePsk31:
        return PSKToolBar;
    default:
        return nullptr;
    }
}

void TForm1::CreateEditAndViewItems() {
    // Edit: the focused pane's own clipboard and undo. In the transmit pane nothing may change
    // text that has already gone to the modem.
    auto item = [this](const char* caption, QKeySequence::StandardKey key) {
        auto* action = mnuEdit->addAction(QLatin1String(caption));
        action->setShortcut(key);
        // The panes take these keys themselves while they have the focus.
        action->setShortcutContext(Qt::WidgetShortcut);
        return action;
    };
    Undo1 = item("&Undo", QKeySequence::Undo);
    mnuEdit->addSeparator();
    Cut1 = item("Cu&t", QKeySequence::Cut);
    Copy1 = item("&Copy", QKeySequence::Copy);
    Paste1 = item("&Paste", QKeySequence::Paste);
    mnuEdit->addSeparator();
    selectAll1 = item("Se&lect All", QKeySequence::SelectAll);
    auto changesReleasedText = [this](QTextEdit* pane, int key) {
        return pane == reTXData && GuardKey(key, true, CaretPlaceOf(*reTXData),
                                            pump_->SentPosition()) != KeyVerdict::Allow;
    };
    connect(mnuEdit, &QMenu::aboutToShow, this, [this] {
        QTextEdit* pane = EditTarget();
        Undo1->setEnabled(pane != nullptr && pane->document()->isUndoAvailable() &&
                          (pane != reTXData || pump_->SentPosition() == 0));
    });
    connect(Undo1, &QAction::triggered, this, [this] {
        if (QTextEdit* pane = EditTarget();
            pane != nullptr && (pane != reTXData || pump_->SentPosition() == 0)) {
            pane->undo();
        }
    });
    connect(Cut1, &QAction::triggered, this, [this, changesReleasedText] {
        QTextEdit* pane = EditTarget();
        if (pane == nullptr) {
            return;
        }
        if (changesReleasedText(pane, Qt::Key_X)) {
            env_.sound->Beep();
            return;
        }
        pane->setFocus();
        pane->cut();
    });
    connect(Copy1, &QAction::triggered, this, [this] {
        if (QTextEdit* pane = EditTarget()) {
            display_->Flush();
            pane->copy();
        }
    });
    connect(Paste1, &QAction::triggered, this, [this, changesReleasedText] {
        QTextEdit* pane = EditTarget();
        if (pane == nullptr) {
            return;
        }
        if (changesReleasedText(pane, Qt::Key_V)) {
            env_.sound->Beep();
            return;
        }
        pane->paste();
    });
    connect(selectAll1, &QAction::triggered, this, [this] {
        if (QTextEdit* pane = EditTarget()) {
            display_->Flush();
            pane->selectAll();
        }
    });

    // Views: the tool bar and the status bar.
    mnuViewToolBar = new QAction(QStringLiteral("T&ool Bar"), this);
    mnuViewStatusBar = new QAction(QStringLiteral("&Status Bar"), this);
    for (QAction* a : {mnuViewToolBar, mnuViewStatusBar}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    mnuView->insertActions(mnuViewEchoData, {mnuViewToolBar, mnuViewStatusBar});
    connect(mnuViewStatusBar, &QAction::triggered, this, [this](bool checked) {
        settings.StatusBar = checked;
        StatusBar1->setVisible(checked);
        ConfigChanged = true;
    });
    connect(mnuViewToolBar, &QAction::triggered, this, [this](bool checked) {
        settings.ToolBar = checked;
        if (QToolBar* bar = CurrentToolBar()) {
            bar->setVisible(checked);
        }
        ConfigChanged = true;
    });
}

} // namespace tarvis
