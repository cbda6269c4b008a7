#include "shell/StatusClock.h"

#include <QFontMetrics>
#include <QTextBlock>
#include <QTextDocument>

namespace tarvis {

namespace {

const char* const kDays[] = {"Mon ", "Tue ", "Wed ", "Thu ", "Fri ", "Sat ", "Sun "};
const char* const kMonths[] = {"Jan ", "Feb ", "Mar ", "Apr ", "May ", "Jun ",
                               "Jul ", "Aug ", "Sep ", "Oct ", "Nov ", "Dec "};

template <std::size_t N>
QString Widest(const QFontMetrics& metrics, const char* const (&names)[N]) {
    QString widest;
    for (const char* name : names) {
        const QString text = QLatin1String(name);
        if (metrics.horizontalAdvance(text) > metrics.horizontalAdvance(widest)) {
            widest = text;
        }
    }
    return widest;
}

} // namespace

QString ClockText(const QDateTime& utc) {
    const QDateTime t = utc.toUTC();
    const QDate d = t.date();
    const QTime time = t.time();
    const int year = d.year() >= 2000 ? d.year() : d.year() % 100;
    return QLatin1String(kDays[d.dayOfWeek() - 1]) + QLatin1String(kMonths[d.month() - 1]) +
           QString::number(d.day()) + QStringLiteral(", ") + QString::number(year) +
           QStringLiteral("  ") + time.toString(QStringLiteral("HH:mm:ss"));
}

QString WidestClockText(const QFontMetrics& metrics) {
    QChar digit = QLatin1Char('0');
    for (char c = '1'; c <= '9'; ++c) {
        if (metrics.horizontalAdvance(QLatin1Char(c)) > metrics.horizontalAdvance(digit)) {
            digit = QLatin1Char(c);
        }
    }
    QString numbers = QStringLiteral("00, 0000  00:00:00");
    numbers.replace(QLatin1Char('0'), digit);
    return Widest(metrics, kDays) + Widest(metrics, kMonths) + numbers;
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
