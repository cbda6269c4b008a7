#pragma once

#include <QString>

namespace tarvis {

// The in-memory record of every value kept in tarvis.ini, one field per key, named by its key.
// Texts are stored as found in the file, numbers as 32-bit integers, flags as truth values and
// codes as the small integers the modem commands carry. Before the file is read every number
// and code is 0 and every text empty.
struct Settings {
    // [callsigns]
    QString MYCALL;
    QString HISCALL;
    QString HISCALLLIST;
    QString MYCALL476;
    QString HISCALL476;
    QString HISCALL476LIST;
    QString MYCALL625;
    QString HISCALL625;
    QString GROUPCALL;

    // [system]
    QString TXEnable;
    QString TextEntry;
    QString EndOfLine;
    QString ScanControl;
    QString CWID;
    int AFChannel{};
    QString EchoEnable;
    QString Printer;
    QString PrintSquelchEnable;
    int PrintSquelchSetting{};
    QString ComPort;
    QString Listen;
    int RXGain{};
    int TXGain{};
    QString FSKPol;
    bool StatusBar{};
    bool ToolBar{};
    int Code{};

    // [fec]
    QString FECMod;
    int FECCodeEff{};
    int FECBlockSize{};

    // [adaptive arq]
    QString AutoBias;
    QString ConnectBias;
    int NormalRetry{};
    int RobustRetry{};
    int FailRetry{};
    int ChatCount{};

    // [amtor]
    QString A_TXEnable;
    QString A_TextEntry;
    QString A_Polarity;
    QString A_EndOfLine;
    QString A_WRU;
    int A_TimeOut{};
    int A_TD{};
    int A_CD{};
    QString A_LetterCase;

    // [pmode]
    QString P_TXEnable;
    QString P_TextEntry;
    QString P_EndOfLine;
    int P_CSDelay{};
    int P_MaxDown{};
    int P_MaxUp{};
    int P_MaxTry{};
    int P_MaxError{};
    int P_MaxARQSum{};
    int P_FECRepeats{};
    QString P_Huffman;

    // [baudot]
    QString B_TXEnable;
    QString B_TextEntry;
    QString B_Polarity;
    QString B_EndOfLine;
    QString B_SyncIdle;
    QString B_USOS;
    int B_Rate{};
    QString B_CodeType;
    int B_PTTON{};
    int B_PTTOFF{};
    bool RXPolaritySameAsTX{};

    // [ascii]
    QString S_TXEnable;
    QString S_TextEntry;
    QString S_Polarity;
    QString S_EndOfLine;
    QString S_SyncIdle;
    int S_Rate{};
    int S_PTTON{};
    int S_PTTOFF{};

    // [fsk], tones in hertz
    int AMTORMark{};
    int AMTORSpace{};
    int AMTORCenter{};
    int AMTORShift{};
    int BAUDOTMark{};
    int BAUDOTSpace{};
    int BAUDOTCenter{};
    int BAUDOTShift{};
    int ASCIIMark{};
    int ASCIISpace{};
    int ASCIICenter{};
    int ASCIIShift{};
    int PMODEFREQ1{};
    int PMODEFREQ2{};
    int PMODECenter{};
    int PMODEShift{};
    QString Polarity;

    // [psk31]
    QString PSK31_TXEnable;
    QString PSK31_TextEntry;
    int PSK31_PTTON{};
    int PSK31_PTTOFF{};
    bool PSK31_AFCEnable{};
    int PSK31_SQUELCH{};

    // [screen]
    int MainLeft{};
    int MainTop{};
    int MainWidth{};
    int MainHeight{};
    int TransmitHeight{};
    bool AmpTune{};
    int AmpTuneLeft{};
    int AmpTuneTop{};
    bool FreqTune{};
    int FreqTuneLeft{};
    int FreqTuneTop{};
    bool MirvolStat{};
    int MirvolStatLeft{};
    int MirvolStatTop{};
    bool SoundTune{};
    int SoundTuneLeft{};
    int SoundTuneTop{};
    QString ReceiveFont;
    QString ReceiveTextColor;
    int ReceiveTextSize{};
    QString EchoTextColor;
    QString ReceiveColor;
    QString TransmitFont;
    QString TransmitTextColor;
    int TransmitTextSize{};
    QString HighLightTextColor;
    QString TransmitColor;
    // Read but never written: the receive pane's font before ReceiveFont is read.
    QString RXTextFontName;

    friend bool operator==(const Settings&, const Settings&) = default;
};

// The serial port's name: "COM" followed by the ComPort value ("COM" alone when it is empty).
QString PortName(const Settings& s);

// Stores a port name such as "COM3" as the ComPort value: the name without its first three
// characters.
void SetPortName(Settings& s, const QString& name);

} // namespace tarvis
