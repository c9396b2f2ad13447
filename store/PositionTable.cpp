#include "store/PositionTable.h"

#include "store/DateTimeValue.h"
#include "store/TableCursor.h"

PositionTable::PositionTable(TableCursor& cursor)
    : cursor_(cursor) {}

QString PositionTable::radioFilter(qint32 radio) {
    return radioShortId + QLatin1Char('=') + QString::number(radio);
}

QString PositionTable::routeFilter(qint32 radio, const QDateTime& first, const QDateTime& last) {
    return radioFilter(radio) + QStringLiteral(" and ") + time + QStringLiteral(">='") +
           fixedFormText(first) + QStringLiteral("' and ") + time + QStringLiteral("<='") +
           fixedFormText(last) + QLatin1Char('\'');
}

std::optional<QString> PositionTable::newestPairOf(qint32 radio) {
    if (!refreshAndFilter(radioFilter(radio)) || cursor_.rowCount() == 0)
        return std::nullopt;
    cursor_.last();
    return currentPair(QuotientRule::Truncating);
}

void PositionTable::returnToNewestOf(qint32 radio) {
    cursor_.applyFilter(radioFilter(radio));
    cursor_.last();
}

PositionTable::ReportInfo PositionTable::currentInfo() const {
    const DateTimeValue stamp = cursor_.fieldAsDateTime(time);
    return {cursor_.fieldAsText(radioShortId), cursor_.fieldAsText(stationName), displayText(stamp),
            stamp};
}

bool PositionTable::selectRoute(qint32 radio, const QDateTime& first, const QDateTime& last) {
    if (!refreshAndFilter(routeFilter(radio, first, last)) || cursor_.rowCount() < 1)
        return false;
    cursor_.last();
    return true;
}

QString PositionTable::currentPair(QuotientRule rule) const {
    return coordinatePairText(cursor_.fieldAsText(lat), hemisphere(ns), cursor_.fieldAsText(lng),
                              hemisphere(ew), rule);
}

QString PositionTable::currentLatitude(QuotientRule rule) const {
    return ToDecimalDegrees(cursor_.fieldAsText(lat), rule, hemisphere(ns));
}

QString PositionTable::currentLongitude(QuotientRule rule) const {
    return ToDecimalDegrees(cursor_.fieldAsText(lng), rule, hemisphere(ew));
}

std::pair<double, double> PositionTable::currentDegrees() const {
    return {decimalDegrees(cursor_.fieldAsText(lat), hemisphere(ns)),
            decimalDegrees(cursor_.fieldAsText(lng), hemisphere(ew))};
}

QStringList PositionTable::routePoints(qint32 count) {
    QStringList points;
    points.reserve(count);
    for (qint32 k = 1; k <= count; ++k) {
        points << currentPair(QuotientRule::Rounding);
        cursor_.prior();
    }
    return points;
}

bool PositionTable::refreshAndFilter(const QString& filter) {
    try {
        cursor_.refresh();
        cursor_.applyFilter(filter);
        return true;
    } catch (...) {
        return false;
    }
}

QChar PositionTable::hemisphere(const QString& column) const {
    const QString letter = cursor_.fieldAsText(column).trimmed();
    return letter.isEmpty() ? QChar() : letter.front().toUpper();
}
