#pragma once
// What the configuration pages hold and do, apart from their widgets: the state of every
// control as plain values, filling it from the settings, the factory defaults, and the apply
// that copies it back into the settings and brings the modem in line. The dialog (Config1)
// only moves these values to and from its controls.
#include "config/Settings.h"
#include "link/LinkStatus.h"
#include "link/ModemIdentity.h"
#include "modes/TerminalState.h"

#include <QStringList>
#include <functional>

namespace tarvis {

struct ModeWindow;

// The controls of the seven pages. A group of radio buttons is held as the text of the setting
// its checked button stands for ("" when none is checked); edit boxes, combo boxes and labels
// as their texts.
struct ConfigPageValues {
    // General page
    QString ScanControl; // "CONT", "PULSE"
    QString CWID;        // "ON", "OFF"
    QString EchoEnable;
    QString Printer;
    QStringList ports; // PortBox's list
    QString port;      // its selected item
    bool portChanged = false;
    bool listenShown = true;
    QString Listen;
    QStringList rxGains;
    QString rxGain;
    QStringList txGains;
    QString txGain;
    bool txGainShown = true;
    QString StatusBar; // "ON", "OFF"
    QString lodVersion;
    QString s28Version;
    QString programVersion;
    QString bootVersion;
    QString productId;
    QString PrintSquelchEnable;
    QString psLevel; // the spin's text
    QString FSKPol;  // "NORM", "REV"

    // MIRVOL page
    QString TextEntry; // "WORD", "CHAR", "LINE"
    QString EndOfLine; // "CR", "CR LF"
    QString TXEnable;  // "EN", "OFF"
    QString AFChannel; // "1" .. "4"
    QString FECMod;
    QString codeEfficiency; // label: "60%"
    QString blockSize;      // label
    QString AutoBias;
    QString ConnectBias;
    QString normalRetries;
    QString robustRetries;
    QString failRetries;
    QString chatCount;

    // AMTOR page
    QString A_TXEnable; // "ON", "OFF"
    QString A_TextEntry;
    QString A_Polarity; // "NORM", "REV"
    QString A_EndOfLine;
    QString A_WRU;
    QString A_LetterCase; // "U", "L"
    QString amtorTimeOut;
    QString amtorTD;
    QString amtorCD;
    QString amtorMark;
    QString amtorSpace;
    QString amtorCenter; // label
    QString amtorShift;  // label

    // Baudot page
    QString B_TXEnable;
    QString B_TextEntry;
    QString B_Polarity;
    QString B_EndOfLine;
    QString B_SyncIdle;
    QString B_USOS;
    QString B_CodeType; // "US", "No2"
    QString baudotRate;
    QString baudotPttOn;
    QString baudotPttOff;
    QString baudotMark;
    QString baudotSpace;
    QString baudotCenter;
    QString baudotShift;

    // ASCII page
    QString S_TXEnable;
    QString S_TextEntry;
    QString S_Polarity;
    QString S_EndOfLine;
    QString S_SyncIdle;
    QString asciiRate;
    QString asciiPttOn;
    QString asciiPttOff;
    QString asciiMark;
    QString asciiSpace;
    QString asciiCenter;
    QString asciiShift;

    // P-Mode page
    QString P_TXEnable;
    QString P_TextEntry;
    QString P_EndOfLine;
    QString P_Huffman;
    QString pmodeCsDelay;
    QString pmodeMaxDown;
    QString pmodeMaxUp;
    QString pmodeMaxTry;
    QString pmodeMaxError;
    QString pmodeMaxArqSum;
    QString pmodeFecRepeats;
    QString pmodeFreq1;
    QString pmodeFreq2;
    QString pmodeCenter;
    QString pmodeShift;

    // PSK31 page
    QString PSK31_TXEnable;
    QString PSK31_TextEntry;
    QString psk31PttOn;
    QString psk31PttOff;
    bool psk31Afc = false;
    QString psk31Squelch; // the spin's text

    // Messages page
    QString myCall;
    QString myCall476;
    QString myCall625;
    QString groupCall;
    bool callSignsEnabled = true;
    QStringList hisCalls;
    QString hisCall;
    QStringList hisCalls476;
    QString hisCall476;
    QString hereIs; // the memo's text
    bool hereIsModified = false;
    QString hereIsNumber; // "0" .. "9", "WRU"

    // Which page is in front, in page order: General, MIRVOL, AMTOR, Baudot, ASCII, P-Mode,
    // PSK31, Messages.
    int activePage = 0;
    // The settings that must not change while a link is up, the modem transmits or a broadcast
    // runs: their controls are enabled only when none of that is so.
    bool idleControlsEnabled = true;
};

enum ConfigPage : int {
    kPageGeneral,
    kPageMirvol,
    kPageAmtor,
    kPageBaudot,
    kPageAscii,
    kPagePMode,
    kPagePsk31,
    kPageMessages,
};

// What filling the pages reads besides the settings.
struct ConfigFillContext {
    const ModemIdentity& identity;
    const TerminalState& terminal;
    const LinkStatus& linkStatus;
    // The main window's port name, e.g. "COM1".
    QString portName;
    QString programVersion;
    // The port probe: whether COM port n can be opened now.
    std::function<bool(int)> portAvailable;
};

// Fills the controls from the settings, in the pages' order; a setting whose text no control
// stands for leaves its radios as they are. Replaces gain codes the gain lists cannot show,
// sets the broadcast code efficiency and block size from the modulation and recomputes the
// tone centres and shifts, in the settings as on the pages. The Here-Is memo is emptied; its
// file is loaded by the caller.
void FillConfigPages(Settings& s, const ConfigFillContext& context, ConfigPageValues& v);

// The factory defaults of the settings the Defaults button restores, in the settings and on
// their controls; the Here-Is memo is emptied and the call-sign controls reloaded from their
// settings.
void RestoreConfigDefaults(Settings& s, ConfigPageValues& v);

// The leading decimal number of an edit's text: 0 when it does not start with a digit; a
// number too large for the settings stays at the largest one.
int LeadingNumber(const QString& text);

// A page's centre and shift labels from its two tone edits: |mark + space| / 2 and
// |space - mark|.
struct ToneLabels {
    QString center;
    QString shift;
};
ToneLabels ToneLabelsFromEdits(const QString& mark, const QString& space);

// The MIRVOL broadcast block size of a modulation name; 0 for a name that is not one of the six.
int FecBlockSize(const QString& modulation);

// The Here-Is selector: position 0..9 stands for message 0 .. 9 (hereis0.txt .. hereis9.txt)
// and shows the digit, 10 for the answer-back wru.txt and shows "WRU". The number a box text
// stands for, -1 for any other text.
QString HereIsNumberText(int position);
int HereIsMessageNumber(const QString& numberText);

// What applying the pages needs besides the main window's state.
struct ConfigApplyHooks {
    // The print squelch dialog's level: setting it runs that dialog's reaction to a change.
    std::function<void(bool on, int level)> setPrintSquelch;
    // Tells the operator that a new port takes effect at the next start.
    std::function<void()> portChangedMessage;
    QString* portName = nullptr;
    // Replaces Here-Is message n (0..9, 10 the answer-back) by the memo's text; false when
    // the file could not be written (the memo then stays modified).
    std::function<bool(int number, const QString& text)> saveHereIs;
};

// Copies every control into the settings, sends what the modem takes as single commands,
// saves a modified Here-Is memo, and refreshes the current mode: directly while the modem
// transmits, while a broadcast runs, or when no link is up and transmission is disabled;
// otherwise by running the mode's set-up again. Marks the configuration changed.
void ApplyConfigPages(ModeWindow& w, ConfigPageValues& v, const ConfigApplyHooks& hooks);

} // namespace tarvis
