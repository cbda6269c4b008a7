#include "shell/Unit1.h"
#include "config/ConfigFile.h"
#include "config/Fontunit.h"
#include "config/Jw_utils.h"
#include "config/Unit3.h"
#include "firmware/FirmwarePanel.h"
#include "link/Handshake.h"
#include "link/PortNames.h"
#include "modes/ModeSetup.h"
#include "modes/TestTones.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/WindowMessage.h"
#include "shell/Comfrmunit.h"
#include "shell/HelpForm.h"
#include "shell/InitialSettings.h"
#include "shell/Panels.h"
#include "shell/Splash.h"
#include "shell/StatusClock.h"
#include "shell/StatusPane.h"
#include "tuning/About.h"
#include "tuning/SoundCardEngine.h"
#include "tuning/ToolWindows.h"
#include "tuning/TuneView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace tarvis {

namespace {

// The closing steps give the last command about this long to leave; the port is not closed
// before the transmit queue has drained or this much more time has passed.
constexpr int kFinalDrainMs = 1000;

struct PaneLayout {
    int width;
    Qt::Alignment alignment;
};
constexpr PaneLayout kStatusPanes[9] = {
    {70, Qt::AlignHCenter}, {130, Qt::AlignLeft},   {75, Qt::AlignLeft},
    {75, Qt::AlignLeft},    {100, Qt::AlignLeft},   {52, Qt::AlignLeft},
    {52, Qt::AlignLeft},    {52, Qt::AlignHCenter}, {10, Qt::AlignRight},
};

} // namespace

TForm1::TForm1(Environment environment)
    : env_(std::move(environment)), folders_(ComputeFolders(env_.workingDirectory)),
      link_(ModemLink::Context{*env_.clock, *env_.pump, env_.engine,
                               [this] { PostWindowMessage(this, kTxReadyMessage); },
                               [this] { return terminal.OperatingMode; }},
            env_.makePort()) {
    setObjectName(QStringLiteral("Form1"));
    resize(1284, 758);
    CreateMenus();
    CreateToolBars();
    CreatePanes();
    CreateStatusBar();
    CreateTimers();
    CreatePanels();

    AmplitudeTuneFrm = new TAmplitudeTuneFrm(this);
    FrequencyTuneFrm = new TFrequencyTuneFrm(this);
    MirvolStatisticsFrm = new TMirvolStatisticsFrm(this);
    SoundTuneFrm = new TSoundTuneFrm(this);
    TuneView = new TTuneView(SoundTuneFrm->TunePanel, SoundTuneFrm);
    ToneTestBox = new TToneTestBox(this);
    connect(ToneTestBox->ToneBox, &QComboBox::activated, this, &TForm1::ToneBoxChange);
    connect(ToneTestBox->butTestCancel, &QPushButton::clicked, this, &TForm1::butTestCancelClick);
    modes_.reset(new ModeWindow{
        settings,
        terminal,
        identity,
        linkStatus,
        ConfigChanged,
        link_,
        *env_.clock,
        *env_.pump,
        env_.engine,
        [this](const Bytes& command) { SendCommand(command); },
        [this](int pane, const QString& text) { SetStatusPane(pane, text); },
        folders_.message,
        this,
        StatusBar1,
        bars,
        {MVLToolBar, AmtorToolBar, PModeToolBar, BaudotToolBar, AsciiToolBar, PSKToolBar},
        {mnuCodeMirvol, mnuCodeAmtor, mnuCodePMode, mnuCodeBaudot, mnuCodeAscii, mnuCodePSK31},
        mnuFilesSendtextfile,
        mnuFilesSendBinaryFile,
        mnuSpecialTest,
        ToneTestBox->ToneBox,
        reTXData,
        reRXData,
        AmplitudeTuneFrm,
        TuneView});

    CreateTerminal();
    link_.CreateDisplayThread(*this);

    mnuCodeAmtor->setText(QStringLiteral("&AMTOR"));
    setWindowTitle(QStringLiteral("Vantor Tarvis ") + QLatin1String(kVersionText));

    for (const QString& failure : CreateMissingFolders(folders_)) {
        env_.dialogs->ShowMessage(failure);
    }
}

TForm1::~TForm1() {
    splash_.reset();
    help_.reset();
    // The last command queued at closing must reach the modem before the port goes.
    const std::uint32_t start = env_.clock->TickCount();
    while (link_.IoThreadsRunning() && link_.PendingTransmitCount() > 0 &&
           env_.clock->TickCount() - start < static_cast<std::uint32_t>(kFinalDrainMs)) {
        env_.clock->Sleep(1);
    }
    delete AmplitudeTuneFrm;
    delete FrequencyTuneFrm;
    delete MirvolStatisticsFrm;
    delete SoundTuneFrm;
    link_.StopDisplayThread();
    link_.StopIoThreads();
    link_.ClosePort();
    env_.engine->StopSoundCard();
}

QTimer* TForm1::MakeTimer(int intervalMs) {
    auto* timer = new QTimer(this);
    timer->setInterval(intervalMs);
    return timer;
}

void TForm1::CreateTimers() {
    TimeDisplayTimer = MakeTimer(250);
    CommandTimer = MakeTimer(5000);
    ResetTimer = MakeTimer(6000);
    WaitTimer = MakeTimer(1000);
    MonitorTimer = MakeTimer(15000);
    CQTimer = MakeTimer(5000);
    ClearFAXPanelTimer = MakeTimer(1000);
    ResponseTimer = MakeTimer(1000);
    connect(TimeDisplayTimer, &QTimer::timeout, this, &TForm1::TimeDisplayTimerTimer);
    connect(CommandTimer, &QTimer::timeout, this, &TForm1::CommandTimerTimer);
    connect(ResetTimer, &QTimer::timeout, this, &TForm1::ResetTimerTimer);
    connect(WaitTimer, &QTimer::timeout, this, &TForm1::WaitTimerTimer);
}

void TForm1::CreatePanels() {
    auto panel = [this](const char* name, const char* caption, QSize size) {
        return new FloatingPanel(this, QLatin1String(name), QLatin1String(caption), size);
    };
    DisconnectPanel = panel("DisconnectPanel", "Disconnect", {220, 60});
    PanicPanel = panel("PanicPanel", "    PANIC!    ", {220, 60});
    HardwareResetPanel = panel("HardwareResetPanel", "Hardware Reset Occured", {260, 60});
    OverBox = panel("OverBox", "OVER", {140, 60});
    CWIDBox = panel("CWIDBox", "CW ID", {140, 60});
    WideShiftPanel = panel("WideShiftPanel", "", {200, 60});
    pnlFWDownload = new TFirmwarePanel(this);

    // No action of their own: they take Alt+V, Alt+Q and Alt+U from the menus, so those keys
    // raise no menu and no beep; the hot keys act on them.
    auto accelerator = [this](const char* caption) {
        auto* button = new QPushButton(QLatin1String(caption), this);
        button->setGeometry(0, 0, 1, 0);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    butV = accelerator("&v");
    butQ = accelerator("&Q");
    butU = accelerator("&U");
}

void TForm1::TimeDisplayTimerTimer() {
    SetStatusPane(8, ClockText(env_.clock->UtcNow()));
    env_.pump->ProcessPendingEvents();
    SetStatusPane(
        5, LineCountText(LineCount(*reRXData->document()), LineCount(*reTXData->document())));
    env_.clock->Sleep(1);
    env_.pump->ProcessPendingEvents();
}

void TForm1::CommandTimerTimer() {
    CommandTimer->stop();
    env_.dialogs->MessageBox(
        QStringLiteral("Modem has stopped responding!\n\nTarvis will now shut down ..."),
        QStringLiteral("ERROR!"), BoxButtons::Ok, BoxIcon::Stop);
    if (ConfigChanged &&
        env_.dialogs->MessageBox(QStringLiteral("Configuration has changed. Save it?"),
                                 QStringLiteral("Exit"), BoxButtons::OkCancel,
                                 BoxIcon::Question) == BoxAnswer::Ok) {
        SaveConfiguration();
    }
    link_.SetRts(false);
    link_.SetDtr(false);
    env_.clock->Sleep(1);
    link_.Flags().dispatchPaused = true;
    env_.clock->Sleep(1);
    if (ComFrm != nullptr) {
        ComFrm->reject();
    }
    hide();
    env_.clock->Sleep(1);
    env_.endProcess(1);
}

void TForm1::ResetTimerTimer() {
    ResetTimer->stop();
    mnuCodeMirvolClick();
    HardwareResetPanel->hide();
}

void TForm1::WaitTimerTimer() {
    link_.SetDtr(true);
    PanicPanel->hide();
    DisconnectPanel->hide();
    DisconnectPanel->setText(QStringLiteral("Disconnect"));
    for (QWidget* panel : {static_cast<QWidget*>(pnlFWDownload), static_cast<QWidget*>(CWIDBox),
                           static_cast<QWidget*>(OverBox), static_cast<QWidget*>(WideShiftPanel)}) {
        panel->hide();
    }
    WaitTimer->stop();
}

void TForm1::mnuHelpContentsClick() {
    if (help_) {
        help_->Open(*this);
    }
}

void TForm1::About1Click() {
    if (AboutBox != nullptr) {
        AboutBox->About1Click(identity);
    }
}

void TForm1::RequestShutdown() {
    if (isVisible()) {
        close();
        return;
    }
    // Still starting up: a question on screen is withdrawn and the start-up goes no further.
    shutdownRequested_ = true;
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
    }
    QCoreApplication::exit(0);
}

void TForm1::mnuCodeMirvolClick() {
    CodeMenuClick(*modes_, kModeMirvol);
}
void TForm1::mnuCodeAmtorClick() {
    CodeMenuClick(*modes_, kModeAmtor);
}
void TForm1::mnuCodePModeClick() {
    CodeMenuClick(*modes_, kModePMode);
}
void TForm1::mnuCodeBaudotClick() {
    CodeMenuClick(*modes_, kModeBaudot);
}
void TForm1::mnuCodeAsciiClick() {
    CodeMenuClick(*modes_, kModeAscii);
}
void TForm1::mnuSpecialTestClick() {
    tarvis::mnuSpecialTestClick(*modes_, *ToneTestBox);
}
void TForm1::ToneBoxChange() {
    tarvis::ToneBoxChange(*modes_, *ToneTestBox);
}
void TForm1::butTestCancelClick() {
    tarvis::butTestCancelClick(*modes_, *ToneTestBox);
}

void TForm1::CreateMenus() {
    QMenuBar* bar = menuBar();
    mnuFiles = bar->addMenu(QStringLiteral("&Files"));
    mnuFilesSendtextfile = mnuFiles->addAction(QStringLiteral("&Send text file..."));
    mnuFilesSendtextfile->setEnabled(false);
    mnuFilesSendBinaryFile = mnuFiles->addAction(QStringLiteral("Send &binary file..."));
    mnuFilesSendBinaryFile->setEnabled(false);
    mnuFiles->addSeparator();
    mnuFilesLoadFirmware = mnuFiles->addAction(QStringLiteral("Load &Firmware"));
    connect(mnuFilesLoadFirmware, &QAction::triggered, this, &TForm1::mnuFilesLoadFirmwareClick);
    mnuFiles->addSeparator();
    saveconfig = mnuFiles->addAction(QStringLiteral("&Save Configuration"));
    connect(saveconfig, &QAction::triggered, this, [this] { SaveConfiguration(); });
    mnuFiles->addSeparator();
    mnuFilesExit = mnuFiles->addAction(QStringLiteral("E&xit"));
    connect(mnuFilesExit, &QAction::triggered, this, &QWidget::close);

    mnuEdit = bar->addMenu(QStringLiteral("E&dit"));

    mnuView = bar->addMenu(QStringLiteral("View&s"));
    mnuViewEchoData = mnuView->addAction(QStringLiteral("&Echo Enabled"));
    mnuViewEchoData->setCheckable(true);
    mnuViewAmpTune = mnuView->addAction(QStringLiteral("&Amp Tune"));
    mnuViewAmpTune->setToolTip(QStringLiteral("Toggle Tuners ON/OFF"));
    mnuViewFreqTune = mnuView->addAction(QStringLiteral("&Freq Tune"));
    mnuViewMirvolStat = mnuView->addAction(QStringLiteral("&Mirvol Stats"));
    mnuSoundCardTune = mnuView->addAction(QStringLiteral("&Sound Card Tune"));
    for (QAction* a : {mnuViewAmpTune, mnuViewFreqTune, mnuViewMirvolStat, mnuSoundCardTune}) {
        a->setCheckable(true);
    }
    mnuSoundCardTune->setEnabled(false);

    mnuConfigure = bar->addMenu(QStringLiteral("C&onfigure"));

    mnuCode = bar->addMenu(QStringLiteral("&Code"));
    mnuCodeMirvol = mnuCode->addAction(QStringLiteral("&MIRVOL"));
    mnuCodeAmtor = mnuCode->addAction(QStringLiteral("AMTOR"));
    mnuCodePMode = mnuCode->addAction(QStringLiteral("&P-Mode"));
    mnuCodeBaudot = mnuCode->addAction(QStringLiteral("&Baudot"));
    mnuCodeAscii = mnuCode->addAction(QStringLiteral("A&SCII"));
    mnuCode->addSeparator();
    mnuCodePSK31 = mnuCode->addAction(QStringLiteral("&PSK31 (Sound Card)"));
    mnuCodePSK31->setEnabled(false);
    for (QAction* item :
         {mnuCodeMirvol, mnuCodeAmtor, mnuCodePMode, mnuCodeBaudot, mnuCodeAscii, mnuCodePSK31}) {
        item->setCheckable(true);
    }
    connect(mnuCodeMirvol, &QAction::triggered, this, &TForm1::mnuCodeMirvolClick);
    connect(mnuCodeAmtor, &QAction::triggered, this, &TForm1::mnuCodeAmtorClick);
    connect(mnuCodePMode, &QAction::triggered, this, &TForm1::mnuCodePModeClick);
    connect(mnuCodeBaudot, &QAction::triggered, this, &TForm1::mnuCodeBaudotClick);
    connect(mnuCodeAscii, &QAction::triggered, this, &TForm1::mnuCodeAsciiClick);

    mnuSpecial = bar->addMenu(QStringLiteral("Specia&l"));
    mnuSpecial->addSeparator();
    mnuSpecialTest = mnuSpecial->addAction(QStringLiteral("Te&st Tones"));
    mnuSpecialTest->setObjectName(QStringLiteral("mnuSpecialTest"));
    connect(mnuSpecialTest, &QAction::triggered, this, &TForm1::mnuSpecialTestClick);
    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHelpContents = mnuHelp->addAction(QStringLiteral("Hot &Keys"));
    connect(mnuHelpContents, &QAction::triggered, this, &TForm1::mnuHelpContentsClick);
    About1 = mnuHelp->addAction(QStringLiteral("&About"));
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);
}

void TForm1::CreateToolBars() {
    auto make = [this](const char* name) {
        auto* bar = new QToolBar(QLatin1String(name), this);
        bar->setObjectName(QLatin1String(name));
        bar->setFixedHeight(46);
        bar->setIconSize(QSize(24, 24));
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        bar->setMovable(false);
        addToolBar(Qt::TopToolBarArea, bar);
        bar->hide();
        return bar;
    };
    MVLToolBar = make("MVLToolBar");
    AmtorToolBar = make("AmtorToolBar");
    PModeToolBar = make("PModeToolBar");
    BaudotToolBar = make("BaudotToolBar");
    AsciiToolBar = make("AsciiToolBar");
    PSKToolBar = make("PSKToolBar");
    BuildModeToolBars(
        bars, {MVLToolBar, AmtorToolBar, PModeToolBar, BaudotToolBar, AsciiToolBar, PSKToolBar});
}

void TForm1::CreatePanes() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    Splitter2 = new QSplitter(Qt::Vertical, panel);
    reRXData = new QTextEdit(Splitter2);
    reRXData->setAccessibleName(QStringLiteral("Receive pane"));
    reTXData = new QTextEdit(Splitter2);
    reTXData->setAccessibleName(QStringLiteral("Transmit pane"));
    for (QTextEdit* pane : {reRXData, reTXData}) {
        pane->setAcceptRichText(false);
        pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        pane->setFont(QFont(QStringLiteral("Fixedsys")));
        pane->setTabChangesFocus(false);
    }
    reRXData->setReadOnly(true);
    reTXData->setMinimumHeight(30);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 0);
    Splitter2->setSizes({700, 52});
    layout->addWidget(Splitter2);
    setCentralWidget(panel);
}

void TForm1::CreateStatusBar() {
    StatusBar1 = statusBar();
    StatusBar1->setFixedHeight(23);
    StatusBar1->setSizeGripEnabled(false);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    font.setBold(true);
    for (int i = 0; i < 9; ++i) {
        auto* pane = new StatusPane(kStatusPanes[i].width, StatusBar1);
        pane->setFont(font);
        pane->setAlignment(kStatusPanes[i].alignment | Qt::AlignVCenter);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        if (i == 8) {
            pane->ReserveWidthFor(WidestClockText(pane->fontMetrics()));
        }
        StatusBar1->addWidget(pane, i == 8 ? 1 : 0);
        StatusPanes[static_cast<std::size_t>(i)] = pane;
    }
    StatusPanes[0]->setText(QStringLiteral("MIRVOL"));
    StatusBar1->hide();
}

void TForm1::SetStatusPane(int pane, const QString& text) {
    StatusPanes[static_cast<std::size_t>(pane)]->setText(text);
}

QString TForm1::StatusPaneText(int pane) const {
    return StatusPanes[static_cast<std::size_t>(pane)]->text();
}

QString TForm1::ConfigurationPath() const {
    return folders_.config + QStringLiteral("tarvis.ini");
}

void TForm1::LoadConfiguration() {
    ScreenContext screen;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        screen.screenWidth = primary->geometry().width();
        screen.screenHeight = primary->geometry().height();
    }
    screen.ampTuneWidth = AmplitudeTuneFrm->width();
    screen.freqTuneWidth = FrequencyTuneFrm->width();
    screen.mirvolStatWidth = MirvolStatisticsFrm->width();
    screen.soundTuneWidth = SoundTuneFrm->width();
    screen.transmitFontName = QStringLiteral("Fixedsys");
    const LoadResult result = ReadConfiguration(ConfigurationPath(), settings, screen);
    terminal.ListenState = result.ListenState;
    terminal.OperatingMode = settings.Code;
    EchoDataChecked = result.EchoDataChecked;
    mnuViewEchoData->setChecked(EchoDataChecked);
    mnuViewStatusBar->setChecked(settings.StatusBar);
    mnuViewToolBar->setChecked(settings.ToolBar);
    PortName = tarvis::PortName(settings);
    ApplyScreenSettings();
    if (Form3 != nullptr) {
        Form3->ShowSettings();
    }
}

void TForm1::ApplyScreenSettings() {
    const Settings& s = settings;
    resize(s.MainWidth, s.MainHeight);
    move(s.MainLeft, s.MainTop);
    const int transmitHeight = std::max(30, s.TransmitHeight);
    Splitter2->setSizes({std::max(1, s.MainHeight - transmitHeight), transmitHeight});

    struct ToolPlace {
        QWidget* window;
        QAction* item;
        bool flag;
        bool* startFlag;
        int left;
        int top;
    };
    const ToolPlace places[] = {
        {AmplitudeTuneFrm, mnuViewAmpTune, s.AmpTune, &AmpTuneAtStart, s.AmpTuneLeft, s.AmpTuneTop},
        {FrequencyTuneFrm, mnuViewFreqTune, s.FreqTune, &FreqTuneAtStart, s.FreqTuneLeft,
         s.FreqTuneTop},
        {MirvolStatisticsFrm, mnuViewMirvolStat, s.MirvolStat, &MirvolStatAtStart, s.MirvolStatLeft,
         s.MirvolStatTop},
        {SoundTuneFrm, mnuSoundCardTune, s.SoundTune, &SoundTuneAtStart, s.SoundTuneLeft,
         s.SoundTuneTop},
    };
    for (const ToolPlace& p : places) {
        *p.startFlag = p.flag;
        p.item->setChecked(p.flag);
        p.window->move(p.left, p.top);
    }

    // The panes' fonts and colours, as the screen settings dialog applies them.
    SetPaneFont(*reRXData, s.ReceiveFont, s.ReceiveTextSize);
    SetPaneBackground(*reRXData, ColorFromName(s.ReceiveColor));
    SetPaneFont(*reTXData, s.TransmitFont, s.TransmitTextSize);
    SetPaneBackground(*reTXData, ColorFromName(s.TransmitColor));
    SetPaneTextColour(*reTXData, ColorFromName(s.TransmitTextColor));
}

void TForm1::CopyWindowsIntoSettings() {
    Settings& s = settings;
    // The port in use, which the operator may have chosen at start-up, and the mode in force
    // (a broadcast's sub-state is written as MIRVOL).
    SetPortName(s, PortName);
    s.Code = terminal.OperatingMode;
    s.MainLeft = pos().x();
    s.MainTop = pos().y();
    s.MainWidth = width();
    s.MainHeight = height();
    s.TransmitHeight = reTXData->height();
    s.AmpTune = AmplitudeTuneFrm->isVisible();
    s.AmpTuneLeft = AmplitudeTuneFrm->pos().x();
    s.AmpTuneTop = AmplitudeTuneFrm->pos().y();
    s.FreqTune = FrequencyTuneFrm->isVisible();
    s.FreqTuneLeft = FrequencyTuneFrm->pos().x();
    s.FreqTuneTop = FrequencyTuneFrm->pos().y();
    s.MirvolStat = MirvolStatisticsFrm->isVisible();
    s.MirvolStatLeft = MirvolStatisticsFrm->pos().x();
    s.MirvolStatTop = MirvolStatisticsFrm->pos().y();
    s.SoundTune = SoundTuneFrm->isVisible();
    s.SoundTuneLeft = SoundTuneFrm->pos().x();
    s.SoundTuneTop = SoundTuneFrm->pos().y();
    s.ReceiveFont = reRXData->font().family();
    s.ReceiveTextSize = reRXData->font().pointSize();
    s.TransmitFont = reTXData->font().family();
    s.TransmitTextSize = reTXData->font().pointSize();
}

bool TForm1::SaveConfiguration() {
    CopyWindowsIntoSettings();
    QString error;
    if (!WriteConfigurationFile(ConfigurationPath(),
                                FormatConfiguration(settings, identity.hardwareVersion), &error)) {
        env_.dialogs->MessageBox(QStringLiteral("The configuration could not be saved.\n\n") +
                                     error,
                                 QStringLiteral("ERROR"), BoxButtons::Ok, BoxIcon::Stop);
        return false;
    }
    ConfigChanged = false;
    return true;
}

void TForm1::CreateStartWindows() {
    AboutBox = new TAboutBox(this, *env_.dialogs);
    CreateLinkOperations();
    CreateOnAirOperations();
    splash_ = std::make_unique<TSplashFrm>(*this);
    // The help file is looked for in the home folder under its bare name.
    help_ = std::make_unique<THelpForm>(*env_.dialogs,
                                        folders_.home + QStringLiteral("krn_hotkeys.dat"));
    const std::string home = folders_.home.toStdString();
    FontForm = new TFontForm(this, *env_.dialogs, settings, reRXData, reTXData,
                             [this] { ConfigChanged = true; });
    CreateConfigDialogs();
    ComFrm = new TComFrm(
        *env_.dialogs, [home](int n) { return ComPortAvailable(home, n); }, this);
}

bool TForm1::OpenModem() {
    HandshakeContext context{
        link_,
        linkStatus,
        *env_.clock,
        *env_.pump,
        *env_.dialogs,
        *env_.sound,
        folders_.home,
        [this](int& number) {
            if (env_.dialogs->ExecModal(*ComFrm) != QDialog::Accepted) {
                return false;
            }
            number = ComFrm->SelectedPort;
            return true;
        },
        [this] { hide(); },
        env_.endProcess,
        [this] { return LoadFirmware(); },
    };
    return OpenAndHandshake(context, PortName, ConfigChanged, identity) == HandshakeResult::Success;
}

bool TForm1::OpenSoundCard() {
    const bool opened = env_.engine->StartSoundCard(this) == 0;
    mnuSoundCardTune->setEnabled(opened);
    mnuCodePSK31->setEnabled(opened);
    if (!opened) {
        env_.dialogs->ShowMessage(
            QStringLiteral("Error Opening Sound Card\nSound Card Tuning and PSK31 is disabled"));
        return false;
    }
    env_.engine->SetFFTMode(1, 255, 1);
    return true;
}

void TForm1::SendInitialSettings() {
    const InitialSettingsOutcome outcome = SendInitialModemSettings(
        settings, identity, terminal, [this](const Bytes& command) { SendCommand(command); });
    AmplitudeTuneFrm->SetSquelchMarkers(outcome.squelchMarkerLeft,
                                        !outcome.squelchMarkersHidden &&
                                            !AmplitudeTuneFrm->PrintSquelch->isHidden());
    link_.Framer().SetEscapeMode(outcome.escapeMode);
    // The configured mode is set up last; PSK31 goes through its menu item, which stays
    // disabled when the sound card did not open, and then MIRVOL stands in.
    if (!RunModeSetUp(*modes_, terminal.OperatingMode)) {
        if (mnuCodePSK31->isEnabled()) {
            mnuCodePSK31->trigger();
        } else {
            SetUpMirvol(*modes_);
        }
    }
}

void TForm1::FinishStartup() {
    const std::pair<bool, QWidget*> windows[] = {{AmpTuneAtStart, AmplitudeTuneFrm},
                                                 {FreqTuneAtStart, FrequencyTuneFrm},
                                                 {MirvolStatAtStart, MirvolStatisticsFrm},
                                                 {SoundTuneAtStart, SoundTuneFrm}};
    for (const auto& [flag, window] : windows) {
        if (flag) {
            window->show();
        }
    }
    if (DisplayThread* display = link_.Display(); display != nullptr && display->IsSuspended()) {
        display->Resume();
    }
    TimeDisplayTimer->start();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (FirmwareLoading()) {
        // The download owns the port; closing asks it to stop, and it ends the program.
        event->ignore();
        pnlFWDownload->Button20Click();
        return;
    }
    event->accept();
    if (closed_) {
        return;
    }
    closed_ = true;
    link_.SetRts(false);
    link_.SetDtr(false);
    CommandTimer->stop();
    link_.Flags().running = false;
    link_.Flags().dispatchPaused = true;
    TextSending = false;
    link_.ClearTransmitQueue();
    link_.QueueLast(Command(kCmdModemReset));
    for (QTimer* timer : {TimeDisplayTimer, WaitTimer, CommandTimer, ResponseTimer, CQTimer}) {
        timer->stop();
    }
    SaveConfiguration();
    for (int i = 0; i < 20; ++i) {
        env_.clock->Sleep(1);
        env_.pump->ProcessPendingEvents();
    }
}

bool TForm1::event(QEvent* event) {
    switch (static_cast<int>(event->type())) {
    case kTxReadyMessage:
        pump_->OnTxReady();
        return true;
    case kFftDataMessage:
    case kSoundCharMessage:
    case kSoundMessage2026:
    case kSoundMessage2028:
    case kTuneClickMessage:
        // The sound-card mode takes these once it is built; until then they are consumed.
        return true;
    default:
        return QMainWindow::event(event);
    }
}

void TForm1::DecodeStatus(std::uint8_t code) {
    decoder_->Decode(code);
}

void TForm1::ShowCharacter(std::uint8_t character) {
    display_->ShowCharacter(character);
}

void TForm1::BinaryControl(std::uint8_t) {
    // SOH starts a control sequence of the binary file transfer between two stations.
}

void TForm1::WriteReceivedByte(std::uint8_t) {
    // Bytes of a binary file go to its receive file once a transfer has opened one.
}

} // namespace tarvis
