#include "config/ConfigPages.h"
#include "config/Utils.h"
#include "modes/ModeSetup.h"
#include "modes/ModeWindow.h"
#include "tuning/ToolWindows.h"

#include <QAction>
#include <algorithm>
#include <climits>
#include <cstdlib>

namespace tarvis {

namespace {

bool Is(const QString& text, const char* value) {
    return text.compare(QLatin1String(value), Qt::CaseInsensitive) == 0;
}

// The first of two radio texts when the setting is that text (without regard to case),
// else the second.
QString Either(const QString& setting, const char* first, const char* second) {
    return Is(setting, first) ? QLatin1String(first) : QLatin1String(second);
}

// The listed text the setting matches, or the radios' current text when it matches none.
QString OneOf(const QString& setting, std::initializer_list<const char*> values,
              const QString& current) {
    for (const char* value : values) {
        if (Is(setting, value)) {
            return QLatin1String(value);
        }
    }
    return current;
}

// A checked radio's text into its setting; none checked leaves the setting.
void Chosen(const QString& radios, QString& setting) {
    if (!radios.isEmpty()) {
        setting = radios;
    }
}

QString Number(int value) {
    return QString::number(value);
}

constexpr const char* kModulations[] = {"BPSM", "QPSM", "8PSM", "8P2A", "16P4A", "2DPSM"};

QString TextEntryRadios(const QString& setting, const QString& current) {
    return OneOf(setting, {"CHAR", "WORD", "LINE"}, current);
}
QString LongEndOfLineRadios(const QString& setting, const QString& current) {
    return OneOf(setting, {"CR LF LTRS", "CR", "CR CR LF", "CR LF"}, current);
}
QString ShortEndOfLineRadios(const QString& setting, const QString& current) {
    return OneOf(setting, {"CR", "CR LF"}, current);
}

// The tones of one page, with the centre and shift recomputed into the settings.
void FillTones(int mark, int space, int& center, int& shift, QString& markText, QString& spaceText,
               QString& centerText, QString& shiftText) {
    center = static_cast<int>((static_cast<qint64>(mark) + space) / 2);
    shift = static_cast<int>(std::llabs(static_cast<qint64>(space) - mark));
    markText = Number(mark);
    spaceText = Number(space);
    centerText = Number(center);
    shiftText = Number(shift);
}

// A page's transmit radios: the state in force when the page's mode is the current one.
QString TransmitRadios(const ConfigFillContext& c, int mode, const QString& setting) {
    if (c.terminal.OperatingMode == mode) {
        return c.terminal.TxEnabled ? QStringLiteral("ON") : QStringLiteral("OFF");
    }
    return Either(setting, "ON", "OFF");
}

void FillGains(Settings& s, const ModemIdentity& identity, ConfigPageValues& v) {
    if (HasTransmitGain(identity.hardwareVersion)) {
        v.rxGains = {"-12dB", "-9dB", "-6dB", "-3dB", "+0dB", "+3dB", "+6dB", "+9dB", "+12dB"};
        v.rxGain = RxGainText(s.RXGain);
        if (v.rxGain.isEmpty()) {
            v.rxGain = QStringLiteral("+0dB");
            s.RXGain = 1;
        }
        v.txGains = {"-36dB", "-30dB", "-24dB", "-18dB", "-12dB", "-9dB", "-6dB", "-3dB", "+0dB"};
        v.txGain = TxGainText(s.TXGain);
        if (v.txGain.isEmpty()) {
            v.txGain = QStringLiteral("-9dB");
            s.TXGain = 37;
        }
        v.txGainShown = true;
    } else {
        v.rxGains = {"+0dB", "+6dB", "+12dB"};
        if (s.RXGain == 2 || s.RXGain == 3) {
            v.rxGain = RxGainText(s.RXGain);
        } else {
            v.rxGain = QStringLiteral("+0dB");
            s.RXGain = 1;
        }
        v.txGainShown = false;
    }
}

void FillCallSigns(const Settings& s, ConfigPageValues& v) {
    v.myCall = s.MYCALL;
    v.myCall476 = s.MYCALL476;
    v.myCall625 = s.MYCALL625;
    v.groupCall = s.GROUPCALL;
    v.hisCalls = TextToList(s.HISCALLLIST);
    v.hisCalls476 = TextToList(s.HISCALL476LIST);
    v.hisCall = s.HISCALL;
    v.hisCall476 = s.HISCALL476;
}

void ShowModulation(Settings& s, ConfigPageValues& v) {
    const int block = FecBlockSize(s.FECMod);
    if (block == 0) {
        return;
    }
    v.FECMod = OneOf(s.FECMod, {"BPSM", "QPSM", "8PSM", "8P2A", "16P4A", "2DPSM"}, v.FECMod);
    s.FECCodeEff = 60;
    s.FECBlockSize = block;
    v.codeEfficiency = QStringLiteral("60%");
    v.blockSize = Number(block);
}

// --- applying ---

void SendCode(ModeWindow& w, std::uint8_t code) {
    w.sendCommand(Command(code));
}

void SendByteCode(ModeWindow& w, std::uint8_t code, int parameter) {
    w.sendCommand(ByteCommand(code, LowByte(parameter)));
}

// A page's transmit radios into its setting and, in the page's own mode, onto its tool-bar
// button and the terminal.
void ApplyTransmit(ModeWindow& w, int mode, const QString& radios, const char* on, QString& setting,
                   QAction* button) {
    const bool enabled = radios == QLatin1String(on);
    setting = enabled ? QLatin1String(on) : QStringLiteral("OFF");
    if (w.terminal.OperatingMode == mode) {
        ShowTxEnable(w.bars, button, enabled);
        w.terminal.TxEnabled = enabled;
    }
}

void ApplyTextEntry(ModeWindow& w, int mode, const QString& radios, QString& setting) {
    Chosen(radios, setting);
    if (w.terminal.OperatingMode == mode) {
        w.terminal.TextEntryMode = TextEntryFromSetting(setting);
        w.setStatusPane(6, setting);
    }
}

void ApplyTones(const QString& mark, const QString& space, const QString& center,
                const QString& shift, int& markValue, int& spaceValue, int& centerValue,
                int& shiftValue) {
    markValue = LeadingNumber(mark);
    spaceValue = LeadingNumber(space);
    centerValue = LeadingNumber(center);
    shiftValue = LeadingNumber(shift);
}

void SetPicture(ModeWindow& w, QAction* button, int image) {
    if (button != nullptr && image < w.bars.ImageList.size()) {
        button->setIcon(w.bars.ImageList[image]);
    }
}

// The transmit polarity of an FSK mode: pane 5, the command and the button's picture.
void ShowPolarity(ModeWindow& w, const QString& setting, QAction* button) {
    const bool normal = Is(setting, "NORM");
    w.setStatusPane(5, normal ? QStringLiteral("NORM") : QStringLiteral("REV"));
    SendCode(w, normal ? kCmdTxPolarityNormal : kCmdTxPolarityReverse);
    SetPicture(w, button, normal ? kImageNormal : kImageReverse);
}

// The MIRVOL transmit enable, which the MIRVOL, AMTOR and P-Mode buttons all follow here.
void SharedTransmitEnable(ModeWindow& w, QAction* button) {
    const bool enabled = w.settings.TXEnable == QLatin1String("EN");
    if (!enabled) {
        w.settings.TXEnable = QStringLiteral("OFF");
    }
    ShowTxEnable(w.bars, button, enabled);
    w.terminal.TxEnabled = enabled;
}

void RttyTransmitEnable(ModeWindow& w, const QString& setting, QAction* button) {
    const bool enabled = !Is(setting, "OFF");
    ShowTxEnable(w.bars, button, enabled);
    w.terminal.TxEnabled = enabled;
}

void DirectRefresh(ModeWindow& w) {
    Settings& s = w.settings;
    TerminalState& t = w.terminal;
    ModeToolBars& b = w.bars;
    SendCode(w, Is(s.FSKPol, "NORM") ? kCmdFskPolarityNormal : kCmdFskPolarityReverse);
    SendByteCode(w, kCmdAudioGain, s.RXGain);
    switch (t.OperatingMode) {
    case kModeMirvol:
        SharedTransmitEnable(w, b.butMVLTXEnable);
        t.TextEntryMode = TextEntryFromSetting(s.TextEntry);
        EndOfLineFromSetting(Either(s.EndOfLine, "CR", "CR LF"), t.EndOfLineText);
        break;
    case kModeAmtor:
        if (Is(s.A_WRU, "ON")) {
            SendCode(w, kCmdAnswerBackOn);
            SendAnswerback(w);
        } else {
            SendCode(w, kCmdAnswerBackOff);
        }
        SendCode(w, Is(s.A_LetterCase, "U") ? kCmdLetterCaseUpper : kCmdLetterCaseLower);
        t.TextEntryMode = TextEntryFromSetting(s.A_TextEntry);
        EndOfLineFromSetting(s.A_EndOfLine, t.EndOfLineText);
        SharedTransmitEnable(w, b.butAmtorTXEnable);
        ShowPolarity(w, s.A_Polarity, b.butAmtorNormRev);
        break;
    case kModePMode:
        SharedTransmitEnable(w, b.butPModeTXEnable);
        t.TextEntryMode = TextEntryFromSetting(s.P_TextEntry);
        EndOfLineFromSetting(Either(s.P_EndOfLine, "CR", "CR LF"), t.EndOfLineText);
        SendCode(w, s.P_Huffman == QLatin1String("ON") ? kCmdHuffmanOn : kCmdHuffmanOff);
        break;
    case kModeBaudot: {
        SendCode(w, Is(s.B_CodeType, "US") ? kCmdBaudotUs : kCmdBaudotNo2);
        SendByteCode(w, kCmdPttOnDelay, s.B_PTTON);
        SendByteCode(w, kCmdPttOffDelay, s.B_PTTOFF);
        RttyTransmitEnable(w, s.B_TXEnable, b.butBaudotTXEnable);
        const bool usos = Is(s.B_USOS, "ON");
        w.setStatusPane(3, usos ? QStringLiteral("USOS") : QString());
        SendCode(w, usos ? kCmdUsosOn : kCmdUsosOff);
        ShowPolarity(w, s.B_Polarity, b.butBaudotNormRev);
        t.TextEntryMode = TextEntryFromSetting(s.B_TextEntry);
        EndOfLineFromSetting(s.B_EndOfLine, t.EndOfLineText);
        break;
    }
    case kModeAscii:
        SendByteCode(w, kCmdPttOnDelay, s.S_PTTON);
        SendByteCode(w, kCmdPttOffDelay, s.S_PTTOFF);
        RttyTransmitEnable(w, s.S_TXEnable, b.butAsciiTXEnable);
        ShowPolarity(w, s.S_Polarity, b.butAsciiNormRev);
        t.NormFlag = Is(s.S_Polarity, "NORM");
        t.TextEntryMode = TextEntryFromSetting(s.S_TextEntry);
        w.setStatusPane(6, s.S_TextEntry);
        EndOfLineFromSetting(Either(s.S_EndOfLine, "CR", "CR LF"), t.EndOfLineText);
        break;
    default:
        break;
    }
}

bool IsBroadcast(int mode) {
    return mode == kModeMirvolBroadcast || mode == kModeAmtorBroadcast || mode == kModePModeUnproto;
}

bool IsRtty(int mode) {
    return mode == kModeBaudot || mode == kModeAscii;
}

void PlaceSquelchMarkers(ModeWindow& w, int level, bool visible) {
    if (w.amplitudeTune != nullptr) {
        w.amplitudeTune->SetSquelchMarkers(PrintSquelchMarkerLeft(level), visible);
    }
}

} // namespace

int LeadingNumber(const QString& text) {
    qint64 value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9') {
            break;
        }
        value = std::min<qint64>(value * 10 + (c.unicode() - u'0'), INT_MAX);
    }
    return static_cast<int>(value);
}

ToneLabels ToneLabelsFromEdits(const QString& mark, const QString& space) {
    const qint64 m = LeadingNumber(mark);
    const qint64 sp = LeadingNumber(space);
    return {Number(static_cast<int>((m + sp) / 2)), Number(static_cast<int>(std::llabs(sp - m)))};
}

int FecBlockSize(const QString& modulation) {
    static constexpr int kSizes[] = {85, 85, 255, 255, 255, 51};
    for (std::size_t i = 0; i < std::size(kModulations); ++i) {
        if (Is(modulation, kModulations[i])) {
            return kSizes[i];
        }
    }
    return 0;
}

QString HereIsNumberText(int position) {
    return position == 10 ? QStringLiteral("WRU") : Number(position);
}

int HereIsMessageNumber(const QString& numberText) {
    if (numberText == QLatin1String("WRU")) {
        return 10;
    }
    if (numberText.size() == 1 && numberText[0] >= u'0' && numberText[0] <= u'9') {
        return numberText[0].unicode() - u'0';
    }
    return -1;
}

void FillConfigPages(Settings& s, const ConfigFillContext& c, ConfigPageValues& v) {
    const int mode = c.terminal.OperatingMode;
    // PSK31 receive settings
    v.psk31Afc = s.PSK31_AFCEnable;
    v.psk31Squelch = Number(s.PSK31_SQUELCH);
    // Versions
    v.lodVersion = c.identity.dspVersion;
    v.s28Version = c.identity.cpuVersion;
    v.programVersion = c.programVersion;
    v.bootVersion = c.identity.bootVersion;
    v.productId = c.identity.productId;
    // MIRVOL text entry, end of line; scan control, CW ID, transmit enable
    v.TextEntry = TextEntryRadios(s.TextEntry, v.TextEntry);
    v.EndOfLine = Either(s.EndOfLine, "CR", "CR LF");
    v.ScanControl = Either(s.ScanControl, "CONT", "PULSE");
    v.CWID = Either(s.CWID, "ON", "OFF");
    v.TXEnable = s.TXEnable == QLatin1String("EN") ? QStringLiteral("EN") : QStringLiteral("OFF");
    // Listen: the MIRVOL 2000 modem listens by itself
    v.listenShown = !c.identity.mirvol2000;
    if (v.listenShown) {
        v.Listen = c.terminal.ListenState == 2 ? QStringLiteral("ON") : QStringLiteral("OFF");
    }
    v.FSKPol = Either(s.FSKPol, "NORM", "REV");
    v.AFChannel = s.AFChannel >= 1 && s.AFChannel <= 3 ? Number(s.AFChannel) : QStringLiteral("4");
    v.EchoEnable = Either(s.EchoEnable, "ON", "OFF");
    v.Printer = Either(s.Printer, "ON", "OFF");
    // Ports that can be opened now
    v.ports.clear();
    for (int n = 1; n <= 254; ++n) {
        if (c.portAvailable && c.portAvailable(n)) {
            v.ports << QStringLiteral("COM") + Number(n);
        }
    }
    QString current = c.portName;
    current.remove(u'\\');
    current.remove(u'.');
    v.port = v.ports.contains(current) ? current : QString();
    v.StatusBar = s.StatusBar ? QStringLiteral("ON") : QStringLiteral("OFF");
    FillGains(s, c.identity, v);
    // Messages page
    FillCallSigns(s, v);
    v.hereIs.clear();
    v.hereIsModified = false;
    v.callSignsEnabled = !c.linkStatus.linkEstablished;
    v.hereIsNumber = QStringLiteral("0");
    // Adaptive ARQ and broadcast
    v.AutoBias = OneOf(s.AutoBias, {"NORMAL", "ROBUST", "FAST", "FASTEST"}, v.AutoBias);
    v.ConnectBias = Either(s.ConnectBias, "NORMAL", "ROBUST");
    ShowModulation(s, v);
    v.normalRetries = Number(s.NormalRetry);
    v.robustRetries = Number(s.RobustRetry);
    v.failRetries = Number(s.FailRetry);
    v.chatCount = Number(s.ChatCount);
    // Baudot page
    v.B_TXEnable = TransmitRadios(c, kModeBaudot, s.B_TXEnable);
    v.B_Polarity = Either(s.B_Polarity, "NORM", "REV");
    v.B_TextEntry = TextEntryRadios(s.B_TextEntry, v.B_TextEntry);
    v.B_EndOfLine = LongEndOfLineRadios(s.B_EndOfLine, v.B_EndOfLine);
    v.B_SyncIdle = Either(s.B_SyncIdle, "ON", "OFF");
    v.B_USOS = Either(s.B_USOS, "ON", "OFF");
    v.B_CodeType = Is(s.B_CodeType, "US") ? QStringLiteral("US") : QStringLiteral("No2");
    v.baudotRate = Number(s.B_Rate);
    v.baudotPttOn = Number(s.B_PTTON);
    v.baudotPttOff = Number(s.B_PTTOFF);
    FillTones(s.BAUDOTMark, s.BAUDOTSpace, s.BAUDOTCenter, s.BAUDOTShift, v.baudotMark,
              v.baudotSpace, v.baudotCenter, v.baudotShift);
    // ASCII page
    v.S_TXEnable = TransmitRadios(c, kModeAscii, s.S_TXEnable);
    v.S_Polarity = Either(s.S_Polarity, "NORM", "REV");
    v.S_TextEntry = TextEntryRadios(s.S_TextEntry, v.S_TextEntry);
    v.S_EndOfLine = ShortEndOfLineRadios(s.S_EndOfLine, v.S_EndOfLine);
    v.S_SyncIdle = Either(s.S_SyncIdle, "ON", "OFF");
    v.asciiRate = Number(s.S_Rate);
    v.asciiPttOn = Number(s.S_PTTON);
    v.asciiPttOff = Number(s.S_PTTOFF);
    FillTones(s.ASCIIMark, s.ASCIISpace, s.ASCIICenter, s.ASCIIShift, v.asciiMark, v.asciiSpace,
              v.asciiCenter, v.asciiShift);
    // AMTOR page
    v.A_TXEnable = TransmitRadios(c, kModeAmtor, s.A_TXEnable);
    v.A_Polarity = Either(s.A_Polarity, "NORM", "REV");
    v.A_TextEntry = TextEntryRadios(s.A_TextEntry, v.A_TextEntry);
    v.A_EndOfLine = LongEndOfLineRadios(s.A_EndOfLine, v.A_EndOfLine);
    v.A_WRU = Either(s.A_WRU, "ON", "OFF");
    v.amtorTimeOut = Number(s.A_TimeOut);
    v.amtorTD = Number(s.A_TD);
    v.amtorCD = Number(s.A_CD);
    v.A_LetterCase = Either(s.A_LetterCase, "U", "L");
    FillTones(s.AMTORMark, s.AMTORSpace, s.AMTORCenter, s.AMTORShift, v.amtorMark, v.amtorSpace,
              v.amtorCenter, v.amtorShift);
    // P-Mode page
    v.P_TXEnable = TransmitRadios(c, kModePMode, s.P_TXEnable);
    v.P_TextEntry = TextEntryRadios(s.P_TextEntry, v.P_TextEntry);
    v.P_EndOfLine = ShortEndOfLineRadios(s.P_EndOfLine, v.P_EndOfLine);
    v.P_Huffman = s.P_Huffman == QLatin1String("ON") ? QStringLiteral("ON") : QStringLiteral("OFF");
    v.pmodeCsDelay = Number(s.P_CSDelay);
    v.pmodeMaxDown = Number(s.P_MaxDown);
    v.pmodeMaxUp = Number(s.P_MaxUp);
    v.pmodeMaxTry = Number(s.P_MaxTry);
    v.pmodeMaxError = Number(s.P_MaxError);
    v.pmodeMaxArqSum = Number(s.P_MaxARQSum);
    v.pmodeFecRepeats = Number(s.P_FECRepeats);
    FillTones(s.PMODEFREQ1, s.PMODEFREQ2, s.PMODECenter, s.PMODEShift, v.pmodeFreq1, v.pmodeFreq2,
              v.pmodeCenter, v.pmodeShift);
    // PSK31 page
    v.PSK31_TXEnable = TransmitRadios(c, kModePsk31, s.PSK31_TXEnable);
    v.PSK31_TextEntry = TextEntryRadios(s.PSK31_TextEntry, v.PSK31_TextEntry);
    v.psk31PttOn = Number(s.PSK31_PTTON);
    v.psk31PttOff = Number(s.PSK31_PTTOFF);
    // The page of the mode in force
    switch (mode) {
    case kModeMirvol:
        v.activePage = kPageMirvol;
        break;
    case kModeAmtor:
        v.activePage = kPageAmtor;
        break;
    case kModePMode:
        v.activePage = kPagePMode;
        break;
    case kModeBaudot:
        v.activePage = kPageBaudot;
        break;
    case kModeAscii:
        v.activePage = kPageAscii;
        break;
    case kModePsk31:
        v.activePage = kPagePsk31;
        break;
    default:
        v.activePage = kPageGeneral;
        break;
    }
    // Print squelch
    v.psLevel = Number(s.PrintSquelchSetting);
    v.PrintSquelchEnable = Either(s.PrintSquelchEnable, "ON", "OFF");
    // What may change only while the link is idle
    v.idleControlsEnabled =
        !c.linkStatus.linkEstablished && !c.linkStatus.transmitting && !IsBroadcast(mode);
}

void RestoreConfigDefaults(Settings& s, ConfigPageValues& v) {
    auto text = [](QString& setting, QString& control, const char* value) {
        setting = QLatin1String(value);
        control = setting;
    };
    auto number = [](int& setting, QString& control, int value) {
        setting = value;
        control = Number(value);
    };
    auto tones = [](int& mark, int& space, int& center, int& shift, int markValue, int spaceValue,
                    QString& markText, QString& spaceText, QString& centerText,
                    QString& shiftText) {
        mark = markValue;
        space = spaceValue;
        FillTones(mark, space, center, shift, markText, spaceText, centerText, shiftText);
    };
    text(s.TXEnable, v.TXEnable, "EN");
    text(s.TextEntry, v.TextEntry, "WORD");
    text(s.EndOfLine, v.EndOfLine, "CR LF");
    text(s.ScanControl, v.ScanControl, "CONT");
    text(s.CWID, v.CWID, "OFF");
    number(s.AFChannel, v.AFChannel, 4);
    text(s.EchoEnable, v.EchoEnable, "ON");
    text(s.Printer, v.Printer, "OFF");
    text(s.PrintSquelchEnable, v.PrintSquelchEnable, "ON");
    number(s.PrintSquelchSetting, v.psLevel, 68);
    s.RXGain = 1;
    v.rxGain = QStringLiteral("+0dB");
    text(s.Listen, v.Listen, "ON");
    text(s.FECMod, v.FECMod, "BPSM");
    s.FECCodeEff = 60;
    v.codeEfficiency = QStringLiteral("60%");
    number(s.FECBlockSize, v.blockSize, 85);
    text(s.AutoBias, v.AutoBias, "NORMAL");
    text(s.ConnectBias, v.ConnectBias, "ROBUST");
    number(s.NormalRetry, v.normalRetries, 30);
    number(s.RobustRetry, v.robustRetries, 10);
    number(s.FailRetry, v.failRetries, 20);
    number(s.ChatCount, v.chatCount, 1);

    text(s.A_TXEnable, v.A_TXEnable, "ON");
    text(s.A_TextEntry, v.A_TextEntry, "WORD");
    text(s.A_Polarity, v.A_Polarity, "NORM");
    text(s.A_EndOfLine, v.A_EndOfLine, "CR LF LTRS");
    text(s.A_WRU, v.A_WRU, "OFF");
    number(s.A_TimeOut, v.amtorTimeOut, 32);
    number(s.A_TD, v.amtorTD, 10);
    number(s.A_CD, v.amtorCD, 50);
    text(s.A_LetterCase, v.A_LetterCase, "U");

    text(s.P_TXEnable, v.P_TXEnable, "ON");
    text(s.P_TextEntry, v.P_TextEntry, "WORD");
    text(s.P_EndOfLine, v.P_EndOfLine, "CR LF");
    number(s.P_CSDelay, v.pmodeCsDelay, 30);
    number(s.P_MaxDown, v.pmodeMaxDown, 6);
    number(s.P_MaxUp, v.pmodeMaxUp, 3);
    number(s.P_MaxTry, v.pmodeMaxTry, 2);
    number(s.P_MaxError, v.pmodeMaxError, 80);
    number(s.P_MaxARQSum, v.pmodeMaxArqSum, 30);
    number(s.P_FECRepeats, v.pmodeFecRepeats, 2);
    text(s.P_Huffman, v.P_Huffman, "ON");

    text(s.B_TXEnable, v.B_TXEnable, "ON");
    text(s.B_TextEntry, v.B_TextEntry, "WORD");
    text(s.B_Polarity, v.B_Polarity, "NORM");
    text(s.B_EndOfLine, v.B_EndOfLine, "CR LF LTRS");
    text(s.B_SyncIdle, v.B_SyncIdle, "ON");
    text(s.B_USOS, v.B_USOS, "ON");
    number(s.B_Rate, v.baudotRate, 45);
    text(s.B_CodeType, v.B_CodeType, "US");
    number(s.B_PTTON, v.baudotPttOn, 20);
    number(s.B_PTTOFF, v.baudotPttOff, 20);

    text(s.S_TXEnable, v.S_TXEnable, "ON");
    text(s.S_TextEntry, v.S_TextEntry, "WORD");
    text(s.S_Polarity, v.S_Polarity, "NORM");
    text(s.S_EndOfLine, v.S_EndOfLine, "CR LF");
    text(s.S_SyncIdle, v.S_SyncIdle, "OFF");
    number(s.S_Rate, v.asciiRate, 110);
    number(s.S_PTTON, v.asciiPttOn, 20);
    number(s.S_PTTOFF, v.asciiPttOff, 20);

    tones(s.AMTORMark, s.AMTORSpace, s.AMTORCenter, s.AMTORShift, 2125, 2295, v.amtorMark,
          v.amtorSpace, v.amtorCenter, v.amtorShift);
    tones(s.BAUDOTMark, s.BAUDOTSpace, s.BAUDOTCenter, s.BAUDOTShift, 2125, 2295, v.baudotMark,
          v.baudotSpace, v.baudotCenter, v.baudotShift);
    tones(s.ASCIIMark, s.ASCIISpace, s.ASCIICenter, s.ASCIIShift, 2125, 2295, v.asciiMark,
          v.asciiSpace, v.asciiCenter, v.asciiShift);
    tones(s.PMODEFREQ1, s.PMODEFREQ2, s.PMODECenter, s.PMODEShift, 2100, 2300, v.pmodeFreq1,
          v.pmodeFreq2, v.pmodeCenter, v.pmodeShift);
    s.Polarity = QStringLiteral("NORM");

    v.hereIs.clear();
    v.hereIsModified = false;
    FillCallSigns(s, v);
}

void ApplyConfigPages(ModeWindow& w, ConfigPageValues& v, const ConfigApplyHooks& hooks) {
    Settings& s = w.settings;
    TerminalState& t = w.terminal;
    ModeToolBars& b = w.bars;
    const int mode = t.OperatingMode;

    // Scan control, CW ID, printer
    s.ScanControl = Either(v.ScanControl, "CONT", "PULSE");
    SendByteCode(w, kCmdScanControl, s.ScanControl == QLatin1String("CONT") ? 0x00 : 0x01);
    s.CWID = Either(v.CWID, "ON", "OFF");
    SendCode(w, s.CWID == QLatin1String("ON") ? kCmdCwIdOn : kCmdCwIdOff);
    s.Printer = Either(v.Printer, "ON", "OFF");
    // Listen
    s.Listen = Either(v.Listen, "ON", "OFF");
    const bool listen = s.Listen == QLatin1String("ON");
    SendCode(w, listen ? kCmdListenOn : kCmdListenOff);
    t.ListenState = listen ? 2 : 1;
    if (!IsRtty(mode) && !w.linkStatus.linkEstablished) {
        w.setStatusPane(1, listen ? QStringLiteral("STBY-LISTEN") : QStringLiteral("STBY"));
    }
    // Audio gains
    RxGainCodeFromText(v.rxGain, s.RXGain);
    SendByteCode(w, kCmdAudioGain, s.RXGain);
    if (HasTransmitGain(w.identity.hardwareVersion)) {
        TxGainCodeFromText(v.txGain, s.TXGain);
        SendByteCode(w, kCmdAudioGain, s.TXGain);
    }
    // A new port is taken at the next start
    if (v.portChanged) {
        if (hooks.portChangedMessage) {
            hooks.portChangedMessage();
        }
        if (hooks.portName != nullptr) {
            *hooks.portName = v.port;
        }
    }
    s.StatusBar = v.StatusBar == QLatin1String("ON");
    // Print squelch
    bool levelRead = false;
    const int level = v.psLevel.trimmed().toInt(&levelRead);
    if (levelRead) {
        s.PrintSquelchSetting = std::clamp(level, 0, 99);
    }
    s.PrintSquelchEnable = Either(v.PrintSquelchEnable, "ON", "OFF");
    const bool squelch = s.PrintSquelchEnable == QLatin1String("ON");
    if (hooks.setPrintSquelch) {
        hooks.setPrintSquelch(squelch, s.PrintSquelchSetting);
    }
    if (IsRtty(mode)) {
        SendByteCode(w, kCmdPrintSquelch, squelch ? s.PrintSquelchSetting : 0);
        PlaceSquelchMarkers(w, s.PrintSquelchSetting,
                            squelch && !PrintSquelchMarkersHidden(s.PrintSquelchSetting));
    } else {
        PlaceSquelchMarkers(w, s.PrintSquelchSetting, false);
    }
    // FSK polarity
    s.FSKPol = Either(v.FSKPol, "NORM", "REV");
    SendCode(w, s.FSKPol == QLatin1String("NORM") ? kCmdFskPolarityNormal : kCmdFskPolarityReverse);
    // MIRVOL page
    ApplyTransmit(w, kModeMirvol, v.TXEnable, "EN", s.TXEnable, b.butMVLTXEnable);
    s.EndOfLine = Either(v.EndOfLine, "CR", "CR LF");
    ApplyTextEntry(w, kModeMirvol, v.TextEntry, s.TextEntry);
    s.EchoEnable = Either(v.EchoEnable, "ON", "OFF");
    if (!v.AFChannel.isEmpty()) {
        s.AFChannel = LeadingNumber(v.AFChannel);
    }
    if (const int block = FecBlockSize(v.FECMod); block != 0) {
        s.FECMod = v.FECMod;
        s.FECCodeEff = 60;
        s.FECBlockSize = block;
    }
    Chosen(v.AutoBias, s.AutoBias);
    Chosen(v.ConnectBias, s.ConnectBias);
    s.NormalRetry = LeadingNumber(v.normalRetries);
    s.RobustRetry = LeadingNumber(v.robustRetries);
    s.FailRetry = LeadingNumber(v.failRetries);
    s.ChatCount = LeadingNumber(v.chatCount);
    // AMTOR page
    ApplyTransmit(w, kModeAmtor, v.A_TXEnable, "ON", s.A_TXEnable, b.butAmtorTXEnable);
    ApplyTextEntry(w, kModeAmtor, v.A_TextEntry, s.A_TextEntry);
    s.A_Polarity = Either(v.A_Polarity, "NORM", "REV");
    s.A_LetterCase = Either(v.A_LetterCase, "U", "L");
    Chosen(v.A_EndOfLine, s.A_EndOfLine);
    s.A_WRU = Either(v.A_WRU, "ON", "OFF");
    ApplyTones(v.amtorMark, v.amtorSpace, v.amtorCenter, v.amtorShift, s.AMTORMark, s.AMTORSpace,
               s.AMTORCenter, s.AMTORShift);
    s.A_TimeOut = LeadingNumber(v.amtorTimeOut);
    s.A_TD = LeadingNumber(v.amtorTD);
    s.A_CD = LeadingNumber(v.amtorCD);
    // Baudot page
    ApplyTransmit(w, kModeBaudot, v.B_TXEnable, "ON", s.B_TXEnable, b.butBaudotTXEnable);
    ApplyTextEntry(w, kModeBaudot, v.B_TextEntry, s.B_TextEntry);
    s.B_Polarity = Either(v.B_Polarity, "NORM", "REV");
    if (mode == kModeBaudot) {
        const bool normal = s.B_Polarity == QLatin1String("NORM");
        if (b.butBaudotNormRev != nullptr) {
            b.butBaudotNormRev->setText(normal ? QStringLiteral("Normal")
                                               : QStringLiteral("Reverse"));
        }
        ShowPolarity(w, s.B_Polarity, b.butBaudotNormRev);
    }
    Chosen(v.B_EndOfLine, s.B_EndOfLine);
    s.B_SyncIdle = Either(v.B_SyncIdle, "ON", "OFF");
    s.B_USOS = Either(v.B_USOS, "ON", "OFF");
    s.B_CodeType = Either(v.B_CodeType, "US", "No2");
    s.B_Rate = LeadingNumber(v.baudotRate);
    s.B_PTTON = LeadingNumber(v.baudotPttOn);
    s.B_PTTOFF = LeadingNumber(v.baudotPttOff);
    ApplyTones(v.baudotMark, v.baudotSpace, v.baudotCenter, v.baudotShift, s.BAUDOTMark,
               s.BAUDOTSpace, s.BAUDOTCenter, s.BAUDOTShift);
    // ASCII page
    ApplyTransmit(w, kModeAscii, v.S_TXEnable, "ON", s.S_TXEnable, b.butAsciiTXEnable);
    ApplyTextEntry(w, kModeAscii, v.S_TextEntry, s.S_TextEntry);
    s.S_Polarity = Either(v.S_Polarity, "NORM", "REV");
    Chosen(v.S_EndOfLine, s.S_EndOfLine);
    s.S_SyncIdle = Either(v.S_SyncIdle, "ON", "OFF");
    s.S_Rate = LeadingNumber(v.asciiRate);
    s.S_PTTON = LeadingNumber(v.asciiPttOn);
    s.S_PTTOFF = LeadingNumber(v.asciiPttOff);
    ApplyTones(v.asciiMark, v.asciiSpace, v.asciiCenter, v.asciiShift, s.ASCIIMark, s.ASCIISpace,
               s.ASCIICenter, s.ASCIIShift);
    // P-Mode page
    ApplyTransmit(w, kModePMode, v.P_TXEnable, "ON", s.P_TXEnable, b.butPModeTXEnable);
    ApplyTextEntry(w, kModePMode, v.P_TextEntry, s.P_TextEntry);
    s.P_EndOfLine = v.P_EndOfLine == QLatin1String("CR LF") ? v.P_EndOfLine : QStringLiteral("CR");
    s.P_Huffman = Either(v.P_Huffman, "ON", "OFF");
    s.P_CSDelay = LeadingNumber(v.pmodeCsDelay);
    s.P_MaxDown = LeadingNumber(v.pmodeMaxDown);
    s.P_MaxUp = LeadingNumber(v.pmodeMaxUp);
    s.P_MaxTry = LeadingNumber(v.pmodeMaxTry);
    s.P_MaxError = LeadingNumber(v.pmodeMaxError);
    s.P_MaxARQSum = LeadingNumber(v.pmodeMaxArqSum);
    s.P_FECRepeats = LeadingNumber(v.pmodeFecRepeats);
    ApplyTones(v.pmodeFreq1, v.pmodeFreq2, v.pmodeCenter, v.pmodeShift, s.PMODEFREQ1, s.PMODEFREQ2,
               s.PMODECenter, s.PMODEShift);
    // PSK31 page
    ApplyTransmit(w, kModePsk31, v.PSK31_TXEnable, "ON", s.PSK31_TXEnable, b.butPSKTXEnable);
    ApplyTextEntry(w, kModePsk31, v.PSK31_TextEntry, s.PSK31_TextEntry);
    s.PSK31_PTTON = LeadingNumber(v.psk31PttOn);
    s.PSK31_PTTOFF = LeadingNumber(v.psk31PttOff);
    s.PSK31_AFCEnable = v.psk31Afc;
    // A squelch text that is no whole number keeps the squelch as it was.
    bool squelchRead = false;
    const int psk31Squelch = v.psk31Squelch.trimmed().toInt(&squelchRead);
    if (squelchRead) {
        s.PSK31_SQUELCH = std::clamp(psk31Squelch, 1, 99);
    }
    // The Here-Is message being edited
    if (v.hereIsModified) {
        const int number = HereIsMessageNumber(v.hereIsNumber);
        if (number >= 0 && hooks.saveHereIs && hooks.saveHereIs(number, v.hereIs)) {
            v.hereIsModified = false;
        }
    }
    // The mode in force
    const bool direct = w.linkStatus.transmitting || IsBroadcast(mode) ||
                        (!w.linkStatus.linkEstablished && !t.TxEnabled);
    if (direct) {
        DirectRefresh(w);
    } else if (mode != kModePsk31) {
        RunModeSetUp(w, mode);
    }
    w.configChanged = true;
}

} // namespace tarvis
