#include "config/ConfigFile.h"

#include "config/FileReplace.h"
#include "config/Utils.h"

#include <QDir>

#include <algorithm>
#include <climits>
#include <optional>

namespace tarvis {

namespace {

enum class Kind { Text, Number, Flag, RxGain, TxGain, Mode, LetterCase };

using NumberDefault = int (*)(const Settings&, const ScreenContext&);
using TextDefault = QString (*)(const Settings&, const ScreenContext&);

// One key of the file. The table below lists them in the order they are written.
struct KeyDef {
    const char16_t* section;
    const char16_t* key;
    Kind kind;
    QString Settings::*text;
    int Settings::*number;
    bool Settings::*flag;
    const char16_t* defaultText; // texts, flags ("ON" or "OFF"), gains and the mode
    int defaultNumber;
    qsizetype capacity; // texts: room in characters; 0 leaves only the reader's own limit
    // Defaults that depend on other keys or on the screen; such keys are read after the rest.
    NumberDefault numberDefault;
    TextDefault textDefault;
    bool written;
    bool blankAfter;
};

KeyDef Text(const char16_t* section, const char16_t* key, QString Settings::*member,
            const char16_t* defaultText, qsizetype capacity) {
    return {section, key,      Kind::Text, member,  nullptr, nullptr, defaultText,
            0,       capacity, nullptr,    nullptr, true,    false};
}

KeyDef Number(const char16_t* section, const char16_t* key, int Settings::*member,
              int defaultNumber) {
    return {section,       key, Kind::Number, nullptr, member, nullptr, nullptr,
            defaultNumber, 0,   nullptr,      nullptr, true,   false};
}

KeyDef Number(const char16_t* section, const char16_t* key, int Settings::*member,
              NumberDefault numberDefault) {
    return {section, key, Kind::Number,  nullptr, member, nullptr, nullptr,
            0,       0,   numberDefault, nullptr, true,   false};
}

KeyDef Flag(const char16_t* section, const char16_t* key, bool Settings::*member, bool on) {
    return {section, key, Kind::Flag, nullptr, nullptr, member, on ? u"ON" : u"OFF",
            0,       0,   nullptr,    nullptr, true,    false};
}

KeyDef Code(const char16_t* section, const char16_t* key, Kind kind, int Settings::*member,
            const char16_t* defaultText) {
    return {section, key, kind,    nullptr, member, nullptr, defaultText,
            0,       0,   nullptr, nullptr, true,   false};
}

// A one-letter text of which only the first character of the value counts.
KeyDef LetterCase(const char16_t* section, const char16_t* key, QString Settings::*member,
                  const char16_t* defaultText) {
    KeyDef def = Text(section, key, member, defaultText, 1);
    def.kind = Kind::LetterCase;
    return def;
}

KeyDef Font(const char16_t* key, QString Settings::*member, TextDefault textDefault) {
    KeyDef def = Text(u"screen", key, member, nullptr, 79);
    def.textDefault = textDefault;
    return def;
}

KeyDef BlankAfter(KeyDef def) {
    def.blankAfter = true;
    return def;
}

KeyDef NotWritten(KeyDef def) {
    def.written = false;
    return def;
}

// a div 2 - b div 2 with division truncating toward zero, kept within 32 bits.
int CentredEdge(int whole, int part) {
    const qint64 edge = qint64(whole / 2) - qint64(part / 2);
    return int(std::clamp<qint64>(edge, INT_MIN, INT_MAX));
}

int MainLeftDefault(const Settings& s, const ScreenContext& c) {
    return CentredEdge(c.screenWidth, s.MainWidth);
}
int MainTopDefault(const Settings& s, const ScreenContext& c) {
    return CentredEdge(c.screenHeight, s.MainHeight);
}
int AmpTuneLeftDefault(const Settings&, const ScreenContext& c) {
    return CentredEdge(c.screenWidth, c.ampTuneWidth);
}
int FreqTuneLeftDefault(const Settings&, const ScreenContext& c) {
    return CentredEdge(c.screenWidth, c.freqTuneWidth);
}
int MirvolStatLeftDefault(const Settings&, const ScreenContext& c) {
    return CentredEdge(c.screenWidth, c.mirvolStatWidth);
}
int SoundTuneLeftDefault(const Settings&, const ScreenContext& c) {
    return CentredEdge(c.screenWidth, c.soundTuneWidth);
}
int ToolTopDefault(const Settings&, const ScreenContext& c) {
    return c.screenHeight / 2;
}
QString ReceiveFontDefault(const Settings& s, const ScreenContext&) {
    return s.RXTextFontName;
}
QString TransmitFontDefault(const Settings&, const ScreenContext& c) {
    return c.transmitFontName;
}

// Room of the enumerated texts: their longest listed value.
constexpr qsizetype kOnOff = 3;    // "ON", "OFF" (and "EN")
constexpr qsizetype kEntry = 4;    // "CHAR", "WORD", "LINE"
constexpr qsizetype kPolarity = 4; // "NORM", "REV"
constexpr qsizetype kShortEol = 5; // "CR", "CR LF"
constexpr qsizetype kLongEol = 10; // "CR LF LTRS", "CR", "CR CR LF", "CR LF"
constexpr qsizetype kColour = 7;   // "Fuchsia" and the other colour names

using S = Settings;

const KeyDef kKeys[] = {
    Text(u"callsigns", u"MYCALL", &S::MYCALL, u"MYCALL", kCallSignCapacity),
    Text(u"callsigns", u"HISCALL", &S::HISCALL, u"HISCALL", kCallSignCapacity),
    Text(u"callsigns", u"HISCALLLIST", &S::HISCALLLIST, u"HISCALL", kListCapacity),
    Text(u"callsigns", u"MYCALL476", &S::MYCALL476, u"SCALL", kSelCallCapacity),
    Text(u"callsigns", u"HISCALL476", &S::HISCALL476, u"SCALL", kSelCallCapacity),
    Text(u"callsigns", u"HISCALL476LIST", &S::HISCALL476LIST, u"SCALL", kListCapacity),
    Text(u"callsigns", u"MYCALL625", &S::MYCALL625, u"SELCALL", kSelCallCapacity),
    Text(u"callsigns", u"HISCALL625", &S::HISCALL625, u"SELCALL", kSelCallCapacity),
    Text(u"callsigns", u"GROUPCALL", &S::GROUPCALL, u"CQCQ", kCallSignCapacity),

    Text(u"system", u"TXEnable", &S::TXEnable, u"EN", kOnOff),
    Text(u"system", u"TextEntry", &S::TextEntry, u"WORD", kEntry),
    Text(u"system", u"EndOfLine", &S::EndOfLine, u"CR LF", kShortEol),
    Text(u"system", u"ScanControl", &S::ScanControl, u"CONT", 5),
    Text(u"system", u"CWID", &S::CWID, u"OFF", kOnOff),
    Number(u"system", u"AFChannel", &S::AFChannel, 4),
    Text(u"system", u"EchoEnable", &S::EchoEnable, u"ON", kOnOff),
    Text(u"system", u"Printer", &S::Printer, u"OFF", kOnOff),
    Text(u"system", u"PrintSquelchEnable", &S::PrintSquelchEnable, u"ON", kOnOff),
    Number(u"system", u"PrintSquelchSetting", &S::PrintSquelchSetting, 69),
    Text(u"system", u"ComPort", &S::ComPort, u"", 0),
    Text(u"system", u"Listen", &S::Listen, u"ON", kOnOff),
    Code(u"system", u"RXGain", Kind::RxGain, &S::RXGain, u"+0dB"),
    Code(u"system", u"TXGain", Kind::TxGain, &S::TXGain, u"+0dB"),
    Text(u"system", u"FSKPol", &S::FSKPol, u"NORM", kPolarity),
    Flag(u"system", u"StatusBar", &S::StatusBar, true),
    Flag(u"system", u"ToolBar", &S::ToolBar, true),
    Code(u"system", u"Code", Kind::Mode, &S::Code, u"MIRVOL"),

    Text(u"fec", u"FECMod", &S::FECMod, u"BPSM", 5),
    Number(u"fec", u"FECCodeEff", &S::FECCodeEff, 60),
    Number(u"fec", u"FECBlockSize", &S::FECBlockSize, 60),

    Text(u"adaptive arq", u"AutoBias", &S::AutoBias, u"NORMAL", 7),
    Text(u"adaptive arq", u"ConnectBias", &S::ConnectBias, u"ROBUST", 6),
    Number(u"adaptive arq", u"NormalRetry", &S::NormalRetry, 30),
    Number(u"adaptive arq", u"RobustRetry", &S::RobustRetry, 10),
    Number(u"adaptive arq", u"FailRetry", &S::FailRetry, 20),
    Number(u"adaptive arq", u"ChatCount", &S::ChatCount, 1),

    Text(u"amtor", u"A_TXEnable", &S::A_TXEnable, u"ON", kOnOff),
    Text(u"amtor", u"A_TextEntry", &S::A_TextEntry, u"WORD", kEntry),
    Text(u"amtor", u"A_Polarity", &S::A_Polarity, u"NORM", kPolarity),
    Text(u"amtor", u"A_EndOfLine", &S::A_EndOfLine, u"CR LF LTRS", kLongEol),
    Text(u"amtor", u"A_WRU", &S::A_WRU, u"OFF", kOnOff),
    Number(u"amtor", u"A_TimeOut", &S::A_TimeOut, 32),
    Number(u"amtor", u"A_TD", &S::A_TD, 10),
    Number(u"amtor", u"A_CD", &S::A_CD, 50),
    LetterCase(u"amtor", u"A_LetterCase", &S::A_LetterCase, u"U"),

    Text(u"pmode", u"P_TXEnable", &S::P_TXEnable, u"ON", kOnOff),
    Text(u"pmode", u"P_TextEntry", &S::P_TextEntry, u"WORD", kEntry),
    Text(u"pmode", u"P_EndOfLine", &S::P_EndOfLine, u"CR LF", kShortEol),
    Number(u"pmode", u"P_CSDelay", &S::P_CSDelay, 30),
    Number(u"pmode", u"P_MaxDown", &S::P_MaxDown, 6),
    Number(u"pmode", u"P_MaxUp", &S::P_MaxUp, 3),
    Number(u"pmode", u"P_MaxTry", &S::P_MaxTry, 2),
    Number(u"pmode", u"P_MaxError", &S::P_MaxError, 80),
    Number(u"pmode", u"P_MaxARQSum", &S::P_MaxARQSum, 30),
    Number(u"pmode", u"P_FECRepeats", &S::P_FECRepeats, 2),
    Text(u"pmode", u"P_Huffman", &S::P_Huffman, u"ON", kOnOff),

    Text(u"baudot", u"B_TXEnable", &S::B_TXEnable, u"ON", kOnOff),
    Text(u"baudot", u"B_TextEntry", &S::B_TextEntry, u"WORD", kEntry),
    Text(u"baudot", u"B_Polarity", &S::B_Polarity, u"NORM", kPolarity),
    Text(u"baudot", u"B_EndOfLine", &S::B_EndOfLine, u"CR LF LTRS", kLongEol),
    Text(u"baudot", u"B_SyncIdle", &S::B_SyncIdle, u"ON", kOnOff),
    Text(u"baudot", u"B_USOS", &S::B_USOS, u"ON", kOnOff),
    Number(u"baudot", u"B_Rate", &S::B_Rate, 45),
    Text(u"baudot", u"B_CodeType", &S::B_CodeType, u"US", 3),
    Number(u"baudot", u"B_PTTON", &S::B_PTTON, 20),
    Number(u"baudot", u"B_PTTOFF", &S::B_PTTOFF, 20),
    Flag(u"baudot", u"RXPolaritySameAsTX", &S::RXPolaritySameAsTX, true),

    Text(u"ascii", u"S_TXEnable", &S::S_TXEnable, u"ON", kOnOff),
    Text(u"ascii", u"S_TextEntry", &S::S_TextEntry, u"WORD", kEntry),
    Text(u"ascii", u"S_Polarity", &S::S_Polarity, u"NORM", kPolarity),
    Text(u"ascii", u"S_EndOfLine", &S::S_EndOfLine, u"CR LF", kShortEol),
    Text(u"ascii", u"S_SyncIdle", &S::S_SyncIdle, u"ON", kOnOff),
    Number(u"ascii", u"S_Rate", &S::S_Rate, 110),
    Number(u"ascii", u"S_PTTON", &S::S_PTTON, 20),
    Number(u"ascii", u"S_PTTOFF", &S::S_PTTOFF, 20),

    Number(u"fsk", u"AMTORMark", &S::AMTORMark, 2125),
    Number(u"fsk", u"AMTORSpace", &S::AMTORSpace, 2295),
    Number(u"fsk", u"AMTORCenter", &S::AMTORCenter, 2210),
    Number(u"fsk", u"AMTORShift", &S::AMTORShift, 170),
    Number(u"fsk", u"BAUDOTMark", &S::BAUDOTMark, 2125),
    Number(u"fsk", u"BAUDOTSpace", &S::BAUDOTSpace, 2295),
    Number(u"fsk", u"BAUDOTCenter", &S::BAUDOTCenter, 2210),
    Number(u"fsk", u"BAUDOTShift", &S::BAUDOTShift, 170),
    Number(u"fsk", u"ASCIIMark", &S::ASCIIMark, 2125),
    Number(u"fsk", u"ASCIISpace", &S::ASCIISpace, 2295),
    Number(u"fsk", u"ASCIICenter", &S::ASCIICenter, 2210),
    Number(u"fsk", u"ASCIIShift", &S::ASCIIShift, 170),
    Number(u"fsk", u"PMODEFREQ1", &S::PMODEFREQ1, 2100),
    Number(u"fsk", u"PMODEFREQ2", &S::PMODEFREQ2, 2300),
    Number(u"fsk", u"PMODECenter", &S::PMODECenter, 2200),
    Number(u"fsk", u"PMODEShift", &S::PMODEShift, 200),
    Text(u"fsk", u"Polarity", &S::Polarity, u"NORM", kPolarity),

    Text(u"psk31", u"PSK31_TXEnable", &S::PSK31_TXEnable, u"ON", kOnOff),
    Text(u"psk31", u"PSK31_TextEntry", &S::PSK31_TextEntry, u"WORD", kEntry),
    Number(u"psk31", u"PSK31_PTTON", &S::PSK31_PTTON, 20),
    Number(u"psk31", u"PSK31_PTTOFF", &S::PSK31_PTTOFF, 20),
    Flag(u"psk31", u"PSK31_AFCEnable", &S::PSK31_AFCEnable, false),
    Number(u"psk31", u"PSK31_SQUELCH", &S::PSK31_SQUELCH, 69),

    Number(u"screen", u"MainLeft", &S::MainLeft, MainLeftDefault),
    Number(u"screen", u"MainTop", &S::MainTop, MainTopDefault),
    Number(u"screen", u"MainWidth", &S::MainWidth, 750),
    Number(u"screen", u"MainHeight", &S::MainHeight, 390),
    Number(u"screen", u"TransmitHeight", &S::TransmitHeight, 50),
    Flag(u"screen", u"AmpTune", &S::AmpTune, false),
    Number(u"screen", u"AmpTuneLeft", &S::AmpTuneLeft, AmpTuneLeftDefault),
    Number(u"screen", u"AmpTuneTop", &S::AmpTuneTop, ToolTopDefault),
    Flag(u"screen", u"FreqTune", &S::FreqTune, false),
    Number(u"screen", u"FreqTuneLeft", &S::FreqTuneLeft, FreqTuneLeftDefault),
    Number(u"screen", u"FreqTuneTop", &S::FreqTuneTop, ToolTopDefault),
    Flag(u"screen", u"MirvolStat", &S::MirvolStat, false),
    Number(u"screen", u"MirvolStatLeft", &S::MirvolStatLeft, MirvolStatLeftDefault),
    Number(u"screen", u"MirvolStatTop", &S::MirvolStatTop, ToolTopDefault),
    Flag(u"screen", u"SoundTune", &S::SoundTune, false),
    Number(u"screen", u"SoundTuneLeft", &S::SoundTuneLeft, SoundTuneLeftDefault),
    Number(u"screen", u"SoundTuneTop", &S::SoundTuneTop, ToolTopDefault),
    Font(u"ReceiveFont", &S::ReceiveFont, ReceiveFontDefault),
    Text(u"screen", u"ReceiveTextColor", &S::ReceiveTextColor, u"Black", kColour),
    Number(u"screen", u"ReceiveTextSize", &S::ReceiveTextSize, 10),
    Text(u"screen", u"EchoTextColor", &S::EchoTextColor, u"Red", kColour),
    BlankAfter(Text(u"screen", u"ReceiveColor", &S::ReceiveColor, u"White", kColour)),
    Font(u"TransmitFont", &S::TransmitFont, TransmitFontDefault),
    Text(u"screen", u"TransmitTextColor", &S::TransmitTextColor, u"Black", kColour),
    Number(u"screen", u"TransmitTextSize", &S::TransmitTextSize, 10),
    Text(u"screen", u"HighLightTextColor", &S::HighLightTextColor, u"Gray", kColour),
    Text(u"screen", u"TransmitColor", &S::TransmitColor, u"White", kColour),
    NotWritten(Text(u"screen", u"RXTextFontName", &S::RXTextFontName, u"Fixedsys", 79)),
};

// A decimal integer with an optional sign that fits in 32 bits; anything else is refused.
std::optional<int> ParseDecimal(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > qint64(INT_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return std::nullopt;
    return int(value);
}

QString FirstCharacter(const QString& text) {
    if (text.size() >= 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate())
        return text.left(2);
    return text.left(1);
}

void ReadKey(const IniFile& ini, const KeyDef& def, Settings& s, const ScreenContext& screen) {
    const QString section = QString::fromUtf16(def.section);
    const QString key = QString::fromUtf16(def.key);
    switch (def.kind) {
    case Kind::Text: {
        const QString fallback =
            def.textDefault ? def.textDefault(s, screen) : QString::fromUtf16(def.defaultText);
        const QString value = ini.Value(section, key, fallback);
        s.*def.text = def.capacity > 0 ? CutText(value, def.capacity) : value;
        break;
    }
    case Kind::Number: {
        const int fallback = def.numberDefault ? def.numberDefault(s, screen) : def.defaultNumber;
        s.*def.number =
            ParseDecimal(ini.Value(section, key, QString::number(fallback))).value_or(fallback);
        break;
    }
    case Kind::Flag:
        s.*def.flag = ini.Value(section, key, QString::fromUtf16(def.defaultText)) == u"ON";
        break;
    case Kind::RxGain:
        RxGainCodeFromText(ini.Value(section, key, QString::fromUtf16(def.defaultText)),
                           s.*def.number);
        break;
    case Kind::TxGain:
        TxGainCodeFromText(ini.Value(section, key, QString::fromUtf16(def.defaultText)),
                           s.*def.number);
        break;
    case Kind::Mode:
        s.*def.number =
            ModeNumberFromText(ini.Value(section, key, QString::fromUtf16(def.defaultText)));
        break;
    case Kind::LetterCase: {
        // Only the first letter counts; an empty value keeps upper case, as if it were absent.
        const QString value =
            FirstCharacter(ini.Value(section, key, QString::fromUtf16(def.defaultText)));
        s.*def.text = value.isEmpty() ? QString::fromUtf16(def.defaultText) : value;
        break;
    }
    }
}

// A text as written: the reader trims blanks and drops one pair of enclosing quotes, so a
// value that would lose something that way is written inside an extra pair of quotes, and a
// line break inside a value, which would end its line, becomes a blank.
QString EncodeText(QString value) {
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    const bool edgeBlank = !value.isEmpty() && (value.front() == u' ' || value.front() == u'\t' ||
                                                value.back() == u' ' || value.back() == u'\t');
    const bool enclosed = value.size() >= 2 && value.front() == u'"' && value.back() == u'"';
    if (edgeBlank || enclosed)
        return u'"' + value + u'"';
    return value;
}

std::optional<QString> FormatValue(const KeyDef& def, const Settings& s,
                                   const QString& hardwareVersion) {
    switch (def.kind) {
    case Kind::Text:
        return EncodeText(s.*def.text);
    case Kind::Number:
        return QString::number(s.*def.number);
    case Kind::Flag:
        return s.*def.flag ? QStringLiteral("ON") : QStringLiteral("OFF");
    case Kind::RxGain: {
        const QString text = RxGainText(s.*def.number);
        return text.isEmpty() ? QStringLiteral("+0dB") : text;
    }
    case Kind::TxGain: {
        const QString text = TxGainText(s.*def.number);
        if (!HasTransmitGain(hardwareVersion) || text.isEmpty())
            return std::nullopt;
        return text;
    }
    case Kind::Mode:
        return ModeText(s.*def.number);
    case Kind::LetterCase:
        return EncodeText(FirstCharacter(s.*def.text));
    }
    return std::nullopt;
}

} // namespace

LoadResult ReadConfiguration(const QString& path, Settings& s, const ScreenContext& screen) {
    const IniFile ini = IniFile::Load(path);
    // Keys whose default depends on another key come after all the others, so the window
    // positions are centred with the sizes just read and the receive font defaults to
    // RXTextFontName.
    for (const bool dependent : {false, true}) {
        for (const KeyDef& def : kKeys) {
            const bool hasDependentDefault = def.numberDefault || def.textDefault;
            if (hasDependentDefault == dependent)
                ReadKey(ini, def, s, screen);
        }
    }
    LoadResult result;
    result.ListenState = s.Listen == u"ON" ? 2 : 1;
    result.EchoDataChecked = s.EchoEnable == u"ON";
    return result;
}

QByteArray FormatConfiguration(const Settings& s, const QString& hardwareVersion) {
    const QString lineEnd = QStringLiteral("\r\n");
    QString out;
    QStringView section;
    for (const KeyDef& def : kKeys) {
        if (!def.written)
            continue;
        if (section != QStringView(def.section)) {
            if (!section.isEmpty())
                out += lineEnd;
            section = QStringView(def.section);
            out += u'[' + section.toString() + u']' + lineEnd;
        }
        if (const std::optional<QString> value = FormatValue(def, s, hardwareVersion))
            out += QString::fromUtf16(def.key) + u'=' + *value + lineEnd;
        if (def.blankAfter)
            out += lineEnd;
    }
    out += lineEnd;
    return out.toUtf8();
}

bool WriteConfigurationFile(const QString& path, const QByteArray& bytes, QString* errorText) {
    QString reason;
    if (ReplaceFile(path, bytes, &reason))
        return true;
    if (errorText != nullptr)
        *errorText = QStringLiteral("Cannot save the configuration file %1: %2")
                         .arg(QDir::toNativeSeparators(path), reason);
    return false;
}

} // namespace tarvis
