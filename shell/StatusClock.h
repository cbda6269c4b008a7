#pragma once
// The texts the display timer keeps current: the UTC clock of the last status pane and the
// line counts of the two panes.
#include <QDateTime>
#include <QString>

class QFontMetrics;
class QTextDocument;

namespace tarvis {

// "Tue Dec 8, 2026  21:59:43": weekday, month, day without a leading zero, the year (two
// digits before 2000), two blanks, the time.
QString ClockText(const QDateTime& utc);

// A clock text at least as wide in these metrics as any the clock shows from the year 2000 on:
// the widest weekday and month names and the widest digit in every digit's place.
QString WidestClockText(const QFontMetrics& metrics);

// "RX n           TX m" (eleven blanks before TX).
QString LineCountText(int receiveLines, int transmitLines);

// The lines a pane holds: none when empty; a line break at the very end starts no new line.
int LineCount(const QTextDocument& document);

} // namespace tarvis
