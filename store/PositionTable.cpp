#include "store/PositionTable.h"

#include "store/DateTimeValue.h"
#include "store/TableCursor.h"

PositionTable::PositionTable(TableCursor& cursor)
    : cursor_(cursor) {}

FilterExpression PositionTable::radioFilter(qint32 radio) {
    FilterComparison equal;
    equal.column = radioShortId;
    equal.integer = radio;
    return {{equal}};
}

FilterExpression PositionTable::routeFilter(qint32 radio, const QDateTime& first,
                                            const QDateTime& last) {
    FilterExpression route = radioFilter(radio);
    for (const auto& [op, bound] : {std::pair{FilterComparison::Operator::GreaterOrEqual, first},
                                    std::pair{FilterComparison::Operator::LessOrEqual, last}}) {
        FilterComparison comparison;
        comparison.column = time;
        comparison.op = op;
        comparison.literalIsText = true;
        comparison.text = fixedFormText(bound);
        route.comparisons.push_back(comparison);
    }
    return route;
}

bool PositionTable::selectNewestOf(qint32 radio) {
    if (!refreshAndFilter(radioFilter(radio)) || cursor_.rowCount() == 0)
        return false;
    cursor_.last();
    return true;
}

std::optional<QString> PositionTable::newestPairOf(qint32 radio) {
    if (!selectNewestOf(radio))
        return std::nullopt;
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

bool PositionTable::refreshAndFilter(const FilterExpression& filter) {
    // One read a run: every radio is shown from the same read, which on a
    // server is a round trip. A database replaced by something else, or a
    // table gone, must not empty the map: the rows read before stay and are
    // shown.
    if (!read_) {
        read_ = true;
        try {
            cursor_.refresh();
        } catch (...) {
        }
    }
    try {
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
