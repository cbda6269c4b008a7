#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace tarvis {

// The longest value the initialisation-file reader hands out, in characters.
inline constexpr qsizetype kMaxIniValueLength = 2047;

// An initialisation file as the reader sees it. Section and key names match without regard to
// letter case; the first line of a section that carries a key wins (also when the section
// appears more than once); a key before the first section, or under another section, is not
// found. A missing or unreadable file is an empty one.
class IniFile {
public:
    static IniFile Load(const QString& path);
    static IniFile FromBytes(const QByteArray& bytes);

    // The text after the first equals sign of the key's line, without leading and trailing
    // blanks, with one pair of enclosing double quotes removed and cut to kMaxIniValueLength.
    // A key with an empty value is present; a missing key gives defaultText (also cut).
    QString Value(const QString& section, const QString& key, const QString& defaultText) const;

private:
    QHash<QString, QString> m_values; // folded section, '\n', folded key -> text after '='
};

// Reads one key of an initialisation file by the rules of IniFile::Value.
QString GetStringFromIniFile(const QString& file, const QString& section, const QString& key,
                             const QString& defaultText);

// Cuts a text to at most capacity characters without splitting a surrogate pair.
QString CutText(const QString& text, qsizetype capacity);

// List text: the items joined by commas with no blanks; an item that is empty or contains a
// blank, a comma, a double quote or a control character is written inside double quotes with
// every inner double quote doubled.
QString ListToText(const QStringList& items);

// Splits a list text back into items: commas and runs of blanks separate items, a quoted item
// ends at its closing quote (a doubled quote inside stands for one), blanks around separators
// are skipped and a comma with nothing after it ends the list with an empty item.
QStringList TextToList(const QString& text);

// Audio gains, held as the codes the modem's gain command carries. The texts match exactly.
// On receive, "1", "2" and "3" stand for "+0dB", "+6dB" and "+12dB". A text not in the table
// leaves code as it was and returns false.
bool RxGainCodeFromText(const QString& text, int& code);
bool TxGainCodeFromText(const QString& text, int& code);

// The gain text of a receive code ("+0dB", "+6dB", "+12dB" also for 24, 26 and 28) or of a
// transmit code 32..40; an empty text for a code not in the table.
QString RxGainText(int code);
QString TxGainText(int code);

// Hardware versions whose modem takes a transmit gain: "800A", "8004" and "800B".
bool HasTransmitGain(const QString& hardwareVersion);

// Operating mode numbers of the mode texts "MIRVOL" 1, "AMTOR" 2, "PMODE" 3, "BAUDOT" 4,
// "ASCII" 5 and "PSK31" 10, matched without regard to letter case; any other text gives 1.
int ModeNumberFromText(const QString& text);

// The text of a mode number; every number without a text of its own (the broadcast states
// 6, 7 and 8 included) gives "MIRVOL".
QString ModeText(int mode);

} // namespace tarvis
