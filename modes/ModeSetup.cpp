#include "modes/ModeSetup.h"
#include "config/Utils.h"
#include "link/ModemLink.h"
#include "platform/Clock.h"
#include "terminal/MessageFiles.h"
#include "tuning/SoundCardEngine.h"
#include "tuning/ToolWindows.h"
#include "tuning/TuneView.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>

namespace tarvis {

namespace {

bool Is(const QString& setting, const char* text) {
    return setting.compare(QLatin1String(text), Qt::CaseInsensitive) == 0;
}

void Send(ModeWindow& w, std::uint8_t code) {
    w.sendCommand(Command(code));
}
void Send(ModeWindow& w, std::uint8_t code, std::uint8_t parameter) {
    w.sendCommand(ByteCommand(code, parameter));
}
void SendEach(ModeWindow& w, std::initializer_list<std::uint8_t> codes) {
    for (std::uint8_t code : codes) {
        Send(w, code);
    }
}

void Pane(ModeWindow& w, int pane, const QString& text) {
    w.setStatusPane(pane, text);
}
void ClearPanes(ModeWindow& w, int first, int last) {
    for (int pane = first; pane <= last; ++pane) {
        Pane(w, pane, QString());
    }
}

void SetPicture(const ModeToolBars& bars, QAction* button, int image) {
    if (button != nullptr && image < bars.ImageList.size()) {
        button->setIcon(bars.ImageList[image]);
    }
}

void SetCaption(QAction* button, const QString& caption) {
    if (button != nullptr) {
        button->setText(caption);
    }
}

void CheckCodeItem(ModeWindow& w, ModeSlot slot) {
    for (std::size_t i = 0; i < w.codeItems.size(); ++i) {
        if (w.codeItems[i] != nullptr) {
            w.codeItems[i]->setCheckable(true);
            w.codeItems[i]->setChecked(static_cast<int>(i) == slot);
        }
    }
}

void EnableItem(QAction* item, bool enabled) {
    if (item != nullptr) {
        item->setEnabled(enabled);
    }
}

void SetToneList(ModeWindow& w, const QStringList& entries) {
    if (w.toneBox != nullptr) {
        w.toneBox->clear();
        w.toneBox->addItems(entries);
    }
}

const QStringList& FskToneTests() {
    static const QStringList kEntries = {
        QStringLiteral("Test OFF"), QStringLiteral("MARK Tone Test"),
        QStringLiteral("SPACE Tone Test"), QStringLiteral("M/S Tone Test")};
    return kEntries;
}

void SetSquelchMarkersVisible(ModeWindow& w, bool visible) {
    if (w.amplitudeTune != nullptr) {
        w.amplitudeTune->PrintSquelch->setVisible(visible);
        w.amplitudeTune->PrintSquelch2->setVisible(visible);
    }
}

void ShowTuneTones(ModeWindow& w, int index, int mark, int space) {
    if (w.tuneView != nullptr) {
        w.tuneView->SetMark(mark);
        w.tuneView->SetSpace(space);
        w.tuneView->SetDisplayIndex(index);
    }
}

void PolarityStep(ModeWindow& w) {
    Send(w, Is(w.settings.FSKPol, "NORM") ? kCmdFskPolarityNormal : kCmdFskPolarityReverse);
}

void GainStep(ModeWindow& w) {
    Send(w, kCmdAudioGain, LowByte(w.settings.RXGain));
    if (HasTransmitGain(w.identity.hardwareVersion) && w.settings.TXGain >= 32) {
        Send(w, kCmdAudioGain, LowByte(w.settings.TXGain));
    }
}

void FocusTransmitWindow(ModeWindow& w) {
    if (w.mainWindow != nullptr && w.mainWindow->isVisible() && w.reTXData != nullptr) {
        w.reTXData->setFocus();
    }
}

void TextEntryStep(ModeWindow& w, const QString& setting) {
    w.terminal.TextEntryMode = TextEntryFromSetting(setting);
    FocusTransmitWindow(w);
}

void FinishLineRules(ModeWindow& w, const QString& endOfLine, bool longTextsAllowed) {
    // The short list (MIRVOL, P-Mode, ASCII) takes only "CR" and "CR LF".
    if (longTextsAllowed || Is(endOfLine, "CR") || Is(endOfLine, "CR LF")) {
        EndOfLineFromSetting(endOfLine, w.terminal.EndOfLineText);
    }
    w.terminal.CallIndexValid = false;
}

void ToolBarStep(ModeWindow& w, ModeSlot slot, QAction* txButton) {
    const bool rtty = slot == kSlotBaudot || slot == kSlotAscii;
    SetSquelchMarkersVisible(w, rtty && w.settings.PrintSquelchEnable == QLatin1String("ON"));
    for (std::size_t i = 0; i < w.toolBars.size(); ++i) {
        if (static_cast<int>(i) != slot && w.toolBars[i] != nullptr) {
            w.toolBars[i]->hide();
        }
    }
    const bool enabled = w.settings.TXEnable == QLatin1String("EN");
    if (!enabled && w.settings.TXEnable != QLatin1String("OFF")) {
        w.settings.TXEnable = QStringLiteral("OFF");
        w.configChanged = true;
    }
    ShowTxEnable(w.bars, txButton, enabled);
    w.terminal.TxEnabled = enabled;
    if (QToolBar* bar = w.toolBars[static_cast<std::size_t>(slot)]) {
        bar->setVisible(w.settings.ToolBar);
    }
    if (w.statusBar != nullptr) {
        w.statusBar->setVisible(w.settings.StatusBar);
    }
}

// The RTTY modes' own transmit enable, before the shared one decides.
void RttyTxEnable(ModeWindow& w, const QString& setting, QAction* button) {
    const bool enabled = !Is(setting, "OFF");
    ShowTxEnable(w.bars, button, enabled);
    w.terminal.TxEnabled = enabled;
}

void PolarityButton(ModeWindow& w, const QString& setting, QAction* button, bool captioned) {
    const bool normal = Is(setting, "NORM");
    Pane(w, 5, normal ? QStringLiteral("NORM") : QStringLiteral("REV"));
    Send(w, normal ? kCmdTxPolarityNormal : kCmdTxPolarityReverse);
    if (captioned) {
        SetCaption(button, normal ? QStringLiteral("Normal") : QStringLiteral("Reverse"));
    }
    SetPicture(w.bars, button, normal ? kImageNormal : kImageReverse);
}

void SyncIdle(ModeWindow& w, const QString& setting, QAction* monitor) {
    const bool on = Is(setting, "ON");
    Pane(w, 4, on ? QStringLiteral("SYNC") : QString());
    SetCaption(monitor, on ? QStringLiteral("ON") : QStringLiteral("OFF"));
    Send(w, on ? kCmdSyncIdleOn : kCmdSyncIdleOff);
}

void ListenStandby(ModeWindow& w) {
    if (w.terminal.ListenState == 2) {
        Send(w, kCmdListenOn);
        Pane(w, 1, QStringLiteral("STBY-LISTEN"));
    } else {
        Send(w, kCmdListenOff);
        Pane(w, 1, QStringLiteral("STBY"));
    }
}

void RttyMenus(ModeWindow& w, ModeSlot slot) {
    CheckCodeItem(w, slot);
    EnableItem(w.mnuFilesSendtextfile, true);
    EnableItem(w.mnuFilesSendBinaryFile, false);
}

void RttyFinish(ModeWindow& w, const QString& endOfLine, bool longTextsAllowed) {
    FocusTransmitWindow(w);
    FinishLineRules(w, endOfLine, longTextsAllowed);
    EnableItem(w.mnuSpecialTest, true);
    SetToneList(w, FskToneTests());
}

void ShowRate(ModeWindow& w, QAction* button, int rate) {
    Pane(w, 1, QString::number(rate));
    SetCaption(button, QString::number(rate));
}

// A text parameter ends at 80 00: a NUL inside the text would end it there and hand what
// follows to the modem as commands, so the text goes only up to its first NUL.
std::string_view UpToNul(const QByteArray& bytes) {
    const qsizetype nul = bytes.indexOf('\0');
    return std::string_view(bytes.constData(),
                            static_cast<std::size_t>(nul < 0 ? bytes.size() : nul));
}

void SendTextCommand(ModeWindow& w, std::uint8_t code, const QString& text) {
    w.sendCommand(TextCommand(code, UpToNul(text.toLatin1())));
}

// The opening every tone mode shares: its four selection commands, its tone pair (also on
// the tuning strip), polarity and gains.
void ToneModeOpening(ModeWindow& w, std::uint8_t third, std::uint8_t fourth, int tuneIndex,
                     int mark, int space) {
    SendEach(w, {kCmdSetup41, kCmdSetup46, third, fourth});
    SendTonePair(w, mark, space);
    ShowTuneTones(w, tuneIndex, mark, space);
    PolarityStep(w);
    GainStep(w);
}

} // namespace

bool RttyRateCode(int rate, std::uint8_t& code) {
    static constexpr int kRates[] = {45, 50, 57, 75, 100, 110};
    for (std::uint8_t i = 0; i < std::size(kRates); ++i) {
        if (kRates[i] == rate) {
            code = i;
            return true;
        }
    }
    code = 0x00;
    return false;
}

int TextEntryFromSetting(const QString& setting) {
    if (Is(setting, "WORD")) {
        return kTextEntryWord;
    }
    if (Is(setting, "CHAR")) {
        return kTextEntryChar;
    }
    return kTextEntryLine;
}

void ShowTxEnable(const ModeToolBars& bars, QAction* button, bool enabled) {
    SetPicture(bars, button, enabled ? kImageTxEnabled : kImageTxDisabled);
    SetCaption(button, enabled ? QStringLiteral("TX EN ") : QStringLiteral("TX DIS"));
}

void SendMyCall(ModeWindow& w, int hintMode) {
    SendTextCommand(w, kCmdMyCall, w.settings.MYCALL);
    const ModeToolBars& b = w.bars;
    QAction* deMy = b.butAsciideMY;
    QAction* hisDeMy = b.butAsciiHISdeMY;
    if (hintMode == kModeMirvol) {
        deMy = b.butMVLdeMY;
        hisDeMy = b.butMVLHisDeMY;
    } else if (hintMode == kModePMode) {
        deMy = b.butPModedeMY;
        hisDeMy = b.butPModeHISdeMY;
    } else if (hintMode == kModeBaudot) {
        deMy = b.butBaudotdeMY;
        hisDeMy = b.butBaudotHISdeMY;
    }
    if (deMy != nullptr) {
        deMy->setToolTip(QStringLiteral("de ") + w.settings.MYCALL);
    }
    if (hisDeMy != nullptr) {
        hisDeMy->setToolTip(w.settings.HISCALL + QStringLiteral(" de ") + w.settings.MYCALL);
    }
}

void SendMyCall476(ModeWindow& w) {
    SendTextCommand(w, kCmdMyCall476, w.settings.MYCALL476);
}
void SendMyCall625(ModeWindow& w) {
    SendTextCommand(w, kCmdMyCall625, w.settings.MYCALL625);
}
void SendGroupCall(ModeWindow& w) {
    SendTextCommand(w, kCmdGroupCall, w.settings.GROUPCALL);
}

void SendAnswerback(ModeWindow& w) {
    const MessageFile file = ReadMessageFile(w.messageFolder, kWruMessage, MissingMessage::Leave);
    if (file.missing || !file.error.isEmpty()) {
        return;
    }
    w.sendCommand(AnswerBackCommand(kCmdAnswerBack, UpToNul(file.bytes)));
}

void SendTonePair(ModeWindow& w, int mark, int space) {
    w.sendCommand(WordPairCommand(kCmdTonePair, static_cast<std::uint16_t>(mark & 0xFFFF),
                                  static_cast<std::uint16_t>(space & 0xFFFF)));
}

void SetUpMirvol(ModeWindow& w) {
    Settings& s = w.settings;
    ModeToolBars& b = w.bars;
    const bool m2000 = w.identity.mirvol2000;
    SendEach(w, {kCmdSetup41, kCmdSetup46, kCmdSetup4D, kCmdSelectMirvol});
    w.terminal.ListenState = 1;
    if (b.butMVLMonitor != nullptr) {
        b.butMVLMonitor->setVisible(!m2000);
        b.butMVLMonitor->setEnabled(!m2000);
    }
    if (!m2000) {
        Send(w, kCmdAudioChannel, LowByte(s.AFChannel));
    }
    if (w.tuneView != nullptr) {
        if (m2000) {
            w.tuneView->SetDisplayIndex(kTuneMirvol2000);
        } else if (s.AFChannel >= 1 && s.AFChannel <= 4) {
            w.tuneView->SetDisplayIndex(kTuneMirvolChannel1 + s.AFChannel - 1);
        }
    }
    PolarityStep(w);
    std::uint8_t bias = 3;
    if (Is(s.AutoBias, "ROBUST")) {
        bias = 0;
    } else if (Is(s.AutoBias, "NORMAL")) {
        bias = 1;
    } else if (Is(s.AutoBias, "FAST")) {
        bias = 2;
    }
    Send(w, kCmdAdaptiveBias, bias);
    Send(w, kCmdNormalRetry, LowByte(s.NormalRetry));
    Send(w, kCmdRobustRetry, LowByte(s.RobustRetry));
    Send(w, kCmdFailRetry, LowByte(s.FailRetry));
    Send(w, kCmdChatCount, LowByte(s.ChatCount));
    if (w.statusBar != nullptr) {
        w.statusBar->hide();
    }
    Pane(w, 0, QStringLiteral("MIRVOL"));
    ClearPanes(w, 2, 5);
    Pane(w, 6, s.TextEntry);
    Pane(w, 7, QString());
    CheckCodeItem(w, kSlotMirvol);
    EnableItem(w.mnuFilesSendtextfile, false);
    EnableItem(w.mnuFilesSendBinaryFile, false);
    TextEntryStep(w, s.TextEntry);
    FinishLineRules(w, s.EndOfLine, false);
    EnableItem(w.mnuSpecialTest, true);
    SetToneList(w, {QStringLiteral("Test OFF"), QStringLiteral("Single Tone Test"),
                    m2000 ? QStringLiteral("Eight Tone Test") : QStringLiteral("Four Tone Test")});
    SetCaption(b.butMVLFEC, QStringLiteral("BDCST"));
    ToolBarStep(w, kSlotMirvol, b.butMVLTXEnable);
    // The hints go to the MIRVOL bar's buttons, the one being set up, whichever mode came before.
    SendMyCall(w, kModeMirvol);
    SendEach(w, {kCmdSetup51, kCmdMirvolCallAdaptive, kCmdSetup56, kCmdSetup5A});
    Pane(w, 1, QStringLiteral("STBY"));
    Send(w, kCmdSetup59);
    w.terminal.OperatingMode = kModeMirvol;
    if (w.reRXData != nullptr) {
        w.reRXData->viewport()->update();
    }
}

void SetUpAmtor(ModeWindow& w) {
    Settings& s = w.settings;
    ToneModeOpening(w, kCmdSetup84, kCmdSelectAmtor, kTuneAmtor, s.AMTORMark, s.AMTORSpace);
    ListenStandby(w);
    SendEach(w, {kCmdSetup59, kCmdSetup5A, kCmdSetup51, kCmdSetup56, kCmdSetup5D});
    Send(w, kCmdSetupEE, 0x07);
    Pane(w, 0, QStringLiteral("AMTOR"));
    ClearPanes(w, 2, 6);
    w.terminal.OperatingMode = kModeAmtor;
    SendMyCall476(w);
    SendMyCall625(w);
    SendGroupCall(w);
    CheckCodeItem(w, kSlotAmtor);
    EnableItem(w.mnuSpecialTest, true);
    EnableItem(w.mnuFilesSendtextfile, false);
    PolarityButton(w, s.A_Polarity, w.bars.butAmtorNormRev, false);
    Send(w, kCmdAmtorCd, LowByte(s.A_CD));
    // The modem's reports after CD are held off the display for a moment.
    w.link.Flags().dispatchPaused = true;
    w.clock.Sleep(100);
    w.link.Flags().dispatchPaused = false;
    Send(w, kCmdAmtorTd, LowByte(s.A_TD));
    Send(w, kCmdAmtorTimeOut, LowByte(s.A_TimeOut));
    Send(w, kCmdModeParameter, 0x01);
    if (Is(s.A_WRU, "ON")) {
        Send(w, kCmdAnswerBackOn);
        SendAnswerback(w);
    } else {
        Send(w, kCmdAnswerBackOff);
    }
    Send(w,
         s.A_LetterCase.startsWith(QLatin1Char('U')) ? kCmdLetterCaseUpper : kCmdLetterCaseLower);
    TextEntryStep(w, s.A_TextEntry);
    FinishLineRules(w, s.A_EndOfLine, true);
    SetToneList(w, FskToneTests());
    ToolBarStep(w, kSlotAmtor, w.bars.butAmtorTXEnable);
}

void SetUpPMode(ModeWindow& w) {
    Settings& s = w.settings;
    ToneModeOpening(w, kCmdSetup84, kCmdSelectPMode, kTunePMode, s.PMODEFREQ1, s.PMODEFREQ2);
    Send(w, kCmdPModeF0, 0x02);
    Send(w, kCmdPModeCsDelay, LowByte(s.P_CSDelay));
    Send(w, kCmdPModeMaxUp, LowByte(s.P_MaxUp));
    Send(w, kCmdPModeMaxTry, LowByte(s.P_MaxTry));
    Send(w, kCmdPModeMaxDown, LowByte(s.P_MaxDown));
    Send(w, kCmdPModeMaxError, LowByte(s.P_MaxError));
    Send(w, kCmdPModeFecRepeats, LowByte(s.P_FECRepeats));
    Send(w, kCmdPModeMaxArqSum, LowByte(s.P_MaxARQSum));
    Send(w, s.P_Huffman == QLatin1String("ON") ? kCmdHuffmanOn : kCmdHuffmanOff);
    Send(w, kCmdModeParameter, 0x02);
    SendEach(w, {kCmdSetup59, kCmdListenOn, kCmdSetup5D, kCmdSetup5A, kCmdSetup51, kCmdSetup56});
    Send(w, kCmdSetupEE, 0x07);
    ListenStandby(w);
    ClearPanes(w, 2, 6);
    w.terminal.OperatingMode = kModePMode;
    SendMyCall(w);
    Pane(w, 0, QStringLiteral("P-Mode"));
    CheckCodeItem(w, kSlotPMode);
    EnableItem(w.mnuSpecialTest, true);
    EnableItem(w.mnuFilesSendtextfile, false);
    TextEntryStep(w, s.P_TextEntry);
    FinishLineRules(w, s.P_EndOfLine, false);
    ToolBarStep(w, kSlotPMode, w.bars.butPModeTXEnable);
}

void SetUpBaudot(ModeWindow& w) {
    Settings& s = w.settings;
    ModeToolBars& b = w.bars;
    ToneModeOpening(w, kCmdSetup4D, kCmdSetup84, kTuneBaudot, s.BAUDOTMark, s.BAUDOTSpace);
    std::uint8_t rate = 0;
    RttyRateCode(s.B_Rate, rate); // an unknown rate goes as 00 and is kept
    Send(w, kCmdBaudotRate, rate);
    ShowRate(w, b.butBaudotRttyRate, s.B_Rate);
    Send(w, kCmdModeParameter, 0x00);
    Send(w, Is(s.B_CodeType, "US") ? kCmdBaudotUs : kCmdBaudotNo2);
    Send(w, kCmdPttOnDelay, LowByte(s.B_PTTON));
    Send(w, kCmdPttOffDelay, LowByte(s.B_PTTOFF));
    SendEach(w, {kCmdSetup5D, kCmdSetup5A, kCmdSetup51, kCmdSetup56, kCmdSetup59});
    RttyTxEnable(w, s.B_TXEnable, b.butBaudotTXEnable);
    Pane(w, 0, QStringLiteral("Baudot"));
    ShowRate(w, b.butBaudotRttyRate, s.B_Rate);
    if (b.butBaudotRttyRate != nullptr) {
        b.butBaudotRttyRate->setVisible(true);
    }
    Pane(w, 2, QStringLiteral("RX"));
    const bool usos = Is(s.B_USOS, "ON");
    Pane(w, 3, usos ? QStringLiteral("USOS") : QString());
    Send(w, usos ? kCmdUsosOn : kCmdUsosOff);
    SyncIdle(w, s.B_SyncIdle, b.butBaudotMonitor);
    if (b.butBaudotMonitor != nullptr) {
        b.butBaudotMonitor->setToolTip(QStringLiteral("Toggle SYNC IDLE ON/OFF."));
    }
    PolarityButton(w, s.B_Polarity, b.butBaudotNormRev, true);
    SendMyCall(w, kModeBaudot);
    w.terminal.TextEntryMode = TextEntryFromSetting(s.B_TextEntry);
    Pane(w, 6, s.B_TextEntry);
    Pane(w, 7, QString());
    w.terminal.OperatingMode = kModeBaudot;
    RttyMenus(w, kSlotBaudot);
    RttyFinish(w, s.B_EndOfLine, true);
    ToolBarStep(w, kSlotBaudot, b.butBaudotTXEnable);
    Send(w, kCmdRxPolarityFollows);
    if (w.reTXData != nullptr) {
        w.reTXData->clear();
    }
    Send(w, kCmdSelectBaudot);
}

void SetUpAscii(ModeWindow& w) {
    Settings& s = w.settings;
    ModeToolBars& b = w.bars;
    ToneModeOpening(w, kCmdSetup4D, kCmdSetup84, kTuneAscii, s.ASCIIMark, s.ASCIISpace);
    Send(w, kCmdModeParameter, 0x00);
    Send(w, kCmdPttOnDelay, LowByte(s.S_PTTON));
    Send(w, kCmdPttOffDelay, LowByte(s.S_PTTOFF));
    std::uint8_t rate = 0;
    if (!RttyRateCode(s.S_Rate, rate)) {
        s.S_Rate = 45;
        w.configChanged = true;
    }
    Send(w, kCmdAsciiRate, rate);
    ShowRate(w, b.butAsciiRttyRate, s.S_Rate);
    RttyTxEnable(w, s.S_TXEnable, b.butAsciiTXEnable);
    Pane(w, 0, QStringLiteral("Ascii"));
    Pane(w, 2, QStringLiteral("RX"));
    SyncIdle(w, s.S_SyncIdle, b.butAsciiMonitor);
    PolarityButton(w, s.S_Polarity, b.butAsciiNormRev, true);
    w.terminal.TextEntryMode = TextEntryFromSetting(s.S_TextEntry);
    Pane(w, 6, s.S_TextEntry);
    SendEach(w, {kCmdSetup59, kCmdSetup5A, kCmdSetup51, kCmdSetup56, kCmdSetup5D});
    Pane(w, 2, QStringLiteral("RX"));
    Pane(w, 3, QString());
    SendMyCall(w, kModeAscii);
    w.terminal.OperatingMode = kModeAscii;
    RttyMenus(w, kSlotAscii);
    RttyFinish(w, s.S_EndOfLine, false);
    ToolBarStep(w, kSlotAscii, b.butAsciiTXEnable);
    if (w.reTXData != nullptr) {
        w.reTXData->clear();
    }
    Send(w, kCmdSelectAscii);
}

bool RunModeSetUp(ModeWindow& w, int mode) {
    switch (mode) {
    case kModeAmtor:
        SetUpAmtor(w);
        return true;
    case kModePMode:
        SetUpPMode(w);
        return true;
    case kModeBaudot:
        SetUpBaudot(w);
        return true;
    case kModeAscii:
        SetUpAscii(w);
        return true;
    case kModePsk31:
        return false;
    default:
        SetUpMirvol(w);
        return true;
    }
}

void CodeMenuClick(ModeWindow& w, int mode) {
    if (w.terminal.OperatingMode == kModePsk31) {
        if (w.engine != nullptr) {
            w.engine->StopTX();
        }
        w.terminal.Psk31Transmitting = false;
        Send(w, kCmdEndSoundCardTx);
    }
    const ModeSlot slot = static_cast<ModeSlot>(mode - kModeMirvol);
    CheckCodeItem(w, slot);
    ModeToolBars& b = w.bars;
    switch (mode) {
    case kModeMirvol:
        SetCaption(b.butMVLConnect, QStringLiteral("Connect"));
        break;
    case kModeAmtor:
        SetCaption(b.butAmtorConnect, QStringLiteral("Connect"));
        break;
    case kModePMode:
        SetCaption(b.butPModeConnect, QStringLiteral("Connect"));
        break;
    default:
        w.terminal.OperatingMode = mode;
        Pane(w, 0, mode == kModeBaudot ? QStringLiteral("Baudot") : QStringLiteral("ASCII"));
        Pane(w, 1, QString());
        break;
    }
    w.configChanged = true;
    RunModeSetUp(w, mode);
}

} // namespace tarvis
