#pragma once

#include "config/Settings.h"

#include <QByteArray>
#include <QString>

namespace tarvis {

// Room of the free texts the configuration pages edit, in characters.
inline constexpr qsizetype kCallSignCapacity = 30; // MYCALL, HISCALL, GROUPCALL
inline constexpr qsizetype kSelCallCapacity = 15;  // the AMTOR selective calls
inline constexpr qsizetype kListCapacity = 1023;   // the call-sign lists

// What the defaults of the window geometry and the transmit font depend on: the primary
// display's size, the widths of the four tool windows and the transmit pane's own font.
struct ScreenContext {
    int screenWidth{};
    int screenHeight{};
    int ampTuneWidth{};
    int freqTuneWidth{};
    int mirvolStatWidth{};
    int soundTuneWidth{};
    QString transmitFontName = QStringLiteral("Fixedsys");
};

// Values the reader derives beside the settings themselves.
struct LoadResult {
    int ListenState{};      // 2 when Listen is exactly "ON", else 1
    bool EchoDataChecked{}; // the View menu's echo item: EchoEnable exactly "ON"
};

// Reads tarvis.ini at path into s. Every key absent from the file takes its default; a missing
// file gives every default. Numbers that are not decimal 32-bit integers take their defaults;
// free texts longer than their room are cut. A gain text not in the gain table leaves that
// gain code as it was in s. Never fails: unreadable parts of the file count as absent.
LoadResult ReadConfiguration(const QString& path, Settings& s, const ScreenContext& screen);

// The whole file for s, byte for byte: every section and key in their order, lines ending in
// CR LF, a blank line after every section and after ReceiveColor. The transmit gain is written
// only for hardware that takes one (HasTransmitGain) and only with a code of 32..40.
QByteArray FormatConfiguration(const Settings& s, const QString& hardwareVersion);

// Replaces the file at path by bytes as a whole: the bytes go to a new hidden file in the same
// folder, which is flushed to disk and then renamed over path (over the file a link at path
// points to). On failure the previous file is left as
// it was, nothing partly written remains, false is returned and errorText (when given) names
// the file and the reason.
bool WriteConfigurationFile(const QString& path, const QByteArray& bytes, QString* errorText);

} // namespace tarvis
