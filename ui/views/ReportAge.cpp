#include "ui/views/ReportAge.h"

namespace {

constexpr qint64 minute = 60;
constexpr qint64 hour = 60 * minute;
constexpr qint64 day = 24 * hour;

// Whole minutes, hours and days, the two largest parts; a zero second part
// is left out.
QString span(qint64 seconds) {
    if (seconds < hour)
        return QString::number(seconds / minute) + QStringLiteral(" min");
    const auto twoParts = [](qint64 big, const char* bigUnit, qint64 small, const char* smallUnit) {
        QString text = QString::number(big) + QLatin1Char(' ') + QLatin1String(bigUnit);
        if (small > 0)
            text += QLatin1Char(' ') + QString::number(small) + QLatin1Char(' ') +
                    QLatin1String(smallUnit);
        return text;
    };
    if (seconds < day)
        return twoParts(seconds / hour, "h", seconds % hour / minute, "min");
    return twoParts(seconds / day, "d", seconds % day / hour, "h");
}

} // namespace

namespace {

QDateTime reportedAt(DateTimeValue stamp) {
    // Zero is what an unreadable stored time reads as.
    return stamp == 0 ? QDateTime() : fromDateTimeValue(stamp);
}

} // namespace

QString reportAgeText(DateTimeValue stamp, const QDateTime& now) {
    const QDateTime reported = reportedAt(stamp);
    if (!reported.isValid() || !now.isValid())
        return QStringLiteral("unknown age");
    const qint64 seconds = reported.secsTo(now);
    if (seconds > -minute && seconds < minute)
        return QStringLiteral("now");
    if (seconds < 0)
        return QStringLiteral("in ") + span(-seconds) + QStringLiteral(" (clock ahead)");
    return span(seconds);
}

bool isStale(DateTimeValue stamp, const QDateTime& now, int staleMinutes) {
    const QDateTime reported = reportedAt(stamp);
    if (!reported.isValid() || !now.isValid())
        return true;
    return reported.secsTo(now) > qint64(staleMinutes) * minute;
}
