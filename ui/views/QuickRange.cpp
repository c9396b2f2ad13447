#include "ui/views/QuickRange.h"

namespace {

std::pair<QDateTime, QDateTime> wholeDay(QDate day) {
    return {QDateTime(day, QTime(0, 0)), QDateTime(day, QTime(23, 59, 59, 999))};
}

} // namespace

QStringList quickRangeNames() {
    return {QStringLiteral("Last hour"), QStringLiteral("Today"), QStringLiteral("Yesterday")};
}

std::pair<QDateTime, QDateTime> quickRangeBounds(QuickRange range, const QDateTime& now) {
    switch (range) {
    case QuickRange::LastHour:
        return {now.addSecs(-3600), now};
    case QuickRange::Today:
        return wholeDay(now.date());
    case QuickRange::Yesterday:
        return wholeDay(now.date().addDays(-1));
    }
    return {now, now};
}
