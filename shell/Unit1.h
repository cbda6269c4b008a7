#pragma once
// The main window: it owns the modem link, the settings, the terminal state, every widget and
// every timer for the life of the program. The behaviour of each part of the program lives
// in its own files and works on this state.
#include "config/Settings.h"
#include "firmware/FirmwareLoader.h"
#include "link/LinkStatus.h"
#include "link/ModemIdentity.h"
#include "link/ModemLink.h"
#include "link/ReceiveDisplay.h"
#include "link/StatusDecoder.h"
#include "link/TransmitPump.h"
#include "terminal/TextEntry.h"
#include "tuning/Mirvolstat.h"
#include "modes/ModeWindow.h"
#include "modes/TerminalState.h"
#include "modes/ToolBars.h"
#include "shell/Environment.h"
#include "shell/Folders.h"
#include "shell/Version.h"

#include <QMainWindow>
#include <array>

class QAction;
class QPushButton;
class QLabel;
class QMenu;
class QSplitter;
class QTextEdit;
class QTimer;
class QToolBar;

namespace tarvis {

class TAmplitudeTuneFrm;
class FloatingPanel;
class TAboutBox;
class TFontForm;
class TForm2;
class TForm3;
class TComFrm;
class THelpForm;
class TSplashFrm;
class TFrequencyTuneFrm;
class TFirmwarePanel;
class TMirvolStatisticsFrm;
class TSoundTuneFrm;
class TToneTestBox;
class TTuneView;


class TForm1 : public QMainWindow, public DispatchTarget {
public:
    explicit TForm1(Environment environment);
    ~TForm1() override;

    // The other windows of the program, made in their order once the main window exists.
    void CreateStartWindows();
    TSplashFrm* SplashFrm() { return splash_.get(); }

    // --- start-up steps, run by the splash sequence ---
    void LoadConfiguration();
    // Opens the configured port (or one the operator picks), starts the receive and transmit
    // threads and shakes hands with the modem. False when the start-up cannot go on.
    bool OpenModem();
    // True when the sound card was opened.
    bool OpenSoundCard();
    void SendInitialSettings();
    // Shows the floating windows whose start flags are set, resumes dispatch, starts the clock.
    void FinishStartup();

    // Rewrites the configuration file from the settings and the windows as they stand; false
    // (after telling the operator) when it could not be written.
    bool SaveConfiguration();

    // --- talking to the modem ---
    void SendCommand(const Bytes& command) { link_.SendCommand(command); }
    void SendByte(std::uint8_t byte) { link_.SendByte(byte); }
    void SendText(const Bytes& text) { link_.SendText(text); }
    ModemLink& Link() { return link_; }

    // --- shared state ---
    const Folders& GetFolders() const { return folders_; }
    Settings settings;
    bool ConfigChanged = false;
    // "COM" and the port number.
    QString PortName;
    TerminalState terminal;
    LinkStatus linkStatus;
    ModemIdentity identity;
    bool EchoDataChecked = false;
    // Start flags of the floating windows, from the configuration.
    bool AmpTuneAtStart = false;
    bool FreqTuneAtStart = false;
    bool MirvolStatAtStart = false;
    bool SoundTuneAtStart = false;
    // A text file is being sent from disk.
    bool TextSending = false;
    Environment& Env() { return env_; }

    // What the reports left for the tuning and statistics windows.
    StatusRecords records;
    // Receive capture to a file.
    CaptureState capture;
    StatusDecoder& Decoder() { return *decoder_; }
    TransmitPump& Pump() { return *pump_; }
    PumpModem& PumpLink() { return *pumpModem_; }
    // Saving MIRVOL statistics to a file.
    StatisticsState statistics;
    // The amplitude levels of the previous report.
    std::array<int, 4> previousLevels{};
    TFontForm* FontForm = nullptr;
    // --- the configuration pages and the print squelch dialog ---
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    QAction* ConfigurationPages1 = nullptr;
    // "&Configuration Pages...": fill, show, and apply whatever closed the dialog.
    void ShowConfigPages();
    // The pages' controls into the settings and the modem (Apply, and every close).
    void ApplyConfigPages();
    // The print squelch dialog, as its hot key opens it; false in MIRVOL, AMTOR and P-Mode.
    bool ShowPrintSquelch();
    TStatsBox* StatsBox = nullptr;
    QAction* mnuFilesSaveStatistics = nullptr;
    QAction* mnuFilesStopSaveSend = nullptr;
    QAction* mnuConfigureScreenSettings = nullptr;
    QAction* Undo1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QAction* selectAll1 = nullptr;
    QAction* mnuViewToolBar = nullptr;
    QAction* mnuViewStatusBar = nullptr;
    QAction* mnuSpecialClearAll = nullptr;
    QAction* mnuSpecialClearRX = nullptr;
    QAction* mnuSpecialClearTX = nullptr;
    ReceiveDisplay& Display() { return *display_; }

    // --- widgets ---
    QTextEdit* reRXData = nullptr;
    QTextEdit* reTXData = nullptr;
    QSplitter* Splitter2 = nullptr;
    std::array<QLabel*, 9> StatusPanes{};
    QStatusBar* StatusBar1 = nullptr;
    QToolBar* MVLToolBar = nullptr;
    QToolBar* AmtorToolBar = nullptr;
    QToolBar* PModeToolBar = nullptr;
    QToolBar* BaudotToolBar = nullptr;
    QToolBar* AsciiToolBar = nullptr;
    QToolBar* PSKToolBar = nullptr;
    ModeToolBars bars;
    // --- link operations: the tool bars' link controls and the call dialog ---
    class TCallPanel* CallPanel = nullptr;
    void butConnectClick();
    void butDisconnectClick();
    void butPanicClick();
    void PanicReset();
    void butOverClick();
    void butForcedOverClick();
    void butMonitorClick();
    void MonitorTimerTimer();
    void butTXEnableClick();
    void butNormRevClick();
    void butRttyRateClick();
    // Makes the call dialog and joins the buttons of every tool bar to their handlers.
    void CreateLinkOperations();
    // What the link operations work on.
    struct LinkWindow LinkContext();

    // --- on the air: canned messages, CQ calling, broadcasts ---
    class THereIsPanel* HereIsPanel = nullptr;
    class TMirvolFECFrm* MirvolFECFrm = nullptr;
    class TFECModePanel* FECModePanel = nullptr;
    class TGroupCallPanel* GroupCallPanel = nullptr;
    class TFECRatePanel* FECRatePanel = nullptr;
    void butMsg0Click();
    void butMsgPlusClick();
    void butDeMYClick();
    void butHISdeMYClick();
    void butCallCQClick();
    void CQTimerTimer();
    void butFoxesClick();
    void butFECClick();
    // Makes the Here-Is panel and the broadcast dialog and panels, and joins the canned-text
    // and broadcast buttons of every tool bar to their handlers.
    void CreateOnAirOperations();
    // What the canned texts and the broadcasts work on.
    struct CannedWindow CannedContext();
    struct BroadcastWindow BroadcastContext();

    QMenu* mnuFiles = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuConfigure = nullptr;
    QMenu* mnuCode = nullptr;
    QMenu* mnuSpecial = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* saveconfig = nullptr;
    QAction* mnuFilesSendBinaryFile = nullptr;
    QAction* mnuFilesSendtextfile = nullptr;
    QAction* mnuFilesExit = nullptr;
    QAction* mnuFilesLoadFirmware = nullptr;
    // Loads firmware into the modem; the program ends once an image has gone.
    void mnuFilesLoadFirmwareClick();
    // The loader, from the menu or the start-up's reload offer; true when it ended the program.
    bool LoadFirmware();
    bool FirmwareLoading() const { return loader_ != nullptr; }
    // How long the download waits for the modem.
    LoaderLimits FirmwareLimits;
    QAction* mnuViewEchoData = nullptr;
    QAction* mnuViewAmpTune = nullptr;
    QAction* mnuViewFreqTune = nullptr;
    QAction* mnuViewMirvolStat = nullptr;
    QAction* mnuSoundCardTune = nullptr;
    QAction* mnuCodeMirvol = nullptr;
    QAction* mnuCodeAmtor = nullptr;
    QAction* mnuCodePMode = nullptr;
    QAction* mnuCodeBaudot = nullptr;
    QAction* mnuCodeAscii = nullptr;
    QAction* mnuCodePSK31 = nullptr;
    QAction* mnuSpecialTest = nullptr;
    TToneTestBox* ToneTestBox = nullptr;
    // The tuning strip of the sound-card tuning window.
    TTuneView* TuneView = nullptr;

    TAmplitudeTuneFrm* AmplitudeTuneFrm = nullptr;
    TFrequencyTuneFrm* FrequencyTuneFrm = nullptr;
    TMirvolStatisticsFrm* MirvolStatisticsFrm = nullptr;
    TSoundTuneFrm* SoundTuneFrm = nullptr;
    TComFrm* ComFrm = nullptr;
    TAboutBox* AboutBox = nullptr;
    THelpForm* HelpForm() { return help_.get(); }

    // Floating panels over the panes.
    FloatingPanel* DisconnectPanel = nullptr;
    FloatingPanel* PanicPanel = nullptr;
    FloatingPanel* HardwareResetPanel = nullptr;
    FloatingPanel* OverBox = nullptr;
    FloatingPanel* CWIDBox = nullptr;
    FloatingPanel* WideShiftPanel = nullptr;
    TFirmwarePanel* pnlFWDownload = nullptr;
    // Zero-height buttons holding the accelerators Alt+V, Alt+Q and Alt+U.
    QPushButton* butV = nullptr;
    QPushButton* butQ = nullptr;
    QPushButton* butU = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* About1 = nullptr;

    // --- timers' handlers ---
    void TimeDisplayTimerTimer();
    // The modem has left a report's payload unfinished for 5 s: the program shuts down.
    void CommandTimerTimer();
    void ResetTimerTimer();
    void WaitTimerTimer();
    void mnuHelpContentsClick();
    void About1Click();
    // A termination signal: closes the window as Exit does, or ends a start-up still under way.
    void RequestShutdown();
    bool ShutdownRequested() const { return shutdownRequested_; }
    // Selecting a mode from the Code menu.
    void mnuCodeMirvolClick();
    void mnuCodeAmtorClick();
    void mnuCodePModeClick();
    void mnuCodeBaudotClick();
    void mnuCodeAsciiClick();
    void mnuSpecialTestClick();
    void ToneBoxChange();
    void butTestCancelClick();
    // The state and controls the mode set-ups work on.
    ModeWindow& Modes() { return *modes_; }

    QTimer* TimeDisplayTimer = nullptr;
    QTimer* CommandTimer = nullptr;
    QTimer* ResetTimer = nullptr;
    QTimer* WaitTimer = nullptr;
    QTimer* MonitorTimer = nullptr;
    QTimer* CQTimer = nullptr;
    QTimer* ClearFAXPanelTimer = nullptr;
    QTimer* ResponseTimer = nullptr;

    void SetStatusPane(int pane, const QString& text);
    QString StatusPaneText(int pane) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

    // DispatchTarget: every received item, on this thread, in order.
    void DecodeStatus(std::uint8_t code) override;
    void ShowCharacter(std::uint8_t character) override;
    void BinaryControl(std::uint8_t character) override;
    void WriteReceivedByte(std::uint8_t byte) override;

private:
    void CreateMenus();
    void CreateToolBars();
    void CreatePanes();
    void CreateStatusBar();
    void CreateTimers();
    void CreatePanels();
    // The transmit pump, the receive display and the status decoder, bound to the windows
    // and the state; made last. Their menu items with them.
    void CreateTerminal();
    ClearContext Clearing();
    void CreateEditAndViewItems();
    void CreateConfigDialogs();
    // A Here-Is message file's text for the configuration pages, and the text written back;
    // a file that cannot be read or written is reported.
    QString LoadHereIs(int number);
    bool SaveHereIs(int number, const QString& text);
    // The pane the Edit menu acts on: the focused one of the two, else none.
    QTextEdit* EditTarget() const;
    // The tool bar of the operating mode in force.
    QToolBar* CurrentToolBar() const;
    QTimer* MakeTimer(int intervalMs);
    void ApplyScreenSettings();
    void CopyWindowsIntoSettings();
    QString ConfigurationPath() const;

    Environment env_;
    Folders folders_;
    std::unique_ptr<TSplashFrm> splash_;
    std::unique_ptr<StatusDecoder> decoder_;
    std::unique_ptr<ReceiveDisplay> display_;
    std::unique_ptr<TextEditTransmitPane> txPane_;
    std::unique_ptr<ModemLinkPumpModem> pumpModem_;
    std::unique_ptr<TransmitPump> pump_;
    // Its own top-level window, with its own task-bar button.
    std::unique_ptr<THelpForm> help_;
    ModemLink link_;
    std::unique_ptr<ModeWindow> modes_;
    // While a firmware download runs.
    FirmwareLoader* loader_ = nullptr;
    bool closed_ = false;
    bool shutdownRequested_ = false;
};

} // namespace tarvis
