#include "shell/StatusClock.h"

#include <QTextBlock>
#include <QTextDocument>

namespace tarvis {

QString ClockText(const QDateTime& utc) {
    static const char* const kDays[] = {"Mon ", "Tue ", "Wed ", "Thu ", "Fri ", "Sat ", "Sun "};
    static const char* const kMonths[] = {"Jan ", "Feb ", "Mar ", "Apr ", "May ", "Jun ",
                                          "Jul ", "Aug ", "Sep ", "Oct ", "Nov ", "Dec "};
    const QDateTime t = utc.toUTC();
    const QDate d = t.date();
    const QTime time = t.time();
    const int year = d.year() >= 2000 ? d.year() : d.year() % 100;
    return QLatin1String(kDays[d.dayOfWeek() - 1]) + QLatin1String(kMonths[d.month() - 1]) +
           QString::number(d.day()) + QStringLiteral(", ") + QString::number(year) +
           QStringLiteral("  ") + time.toString(QStringLiteral("HH:mm:ss"));
}

QString LineCountText(int receiveLines, int transmitLines) {
    return QStringLiteral("RX ") + QString::number(receiveLines) +
           QStringLiteral("           TX ") + QString::number(transmitLines);
}

int LineCount(const QTextDocument& document) {
    if (document.isEmpty()) {
        return 0;
    }
    int lines = document.blockCount();
    if (document.lastBlock().text().isEmpty()) {
        --lines;
    }
    return lines;
}

} // namespace tarvis
