#include "track/RouteReports.h"

#include "app/Error.h"
#include "store/CoordinateText.h"
#include "store/DateTimeValue.h"
#include "store/PositionTable.h"
#include "store/TableCursor.h"

#include <algorithm>

namespace {

QChar hemisphereOf(const TableCursor& positions, const QString& column) {
    const QString letter = positions.fieldAsText(column).trimmed();
    return letter.isEmpty() ? QChar() : letter.front().toUpper();
}

// The map's reading of a stored coordinate, as a number.
std::optional<double> degreesOf(const TableCursor& positions, const QString& column,
                                const QString& hemisphereColumn) {
    try {
        return ToDecimalDegrees(positions.fieldAsText(column), QuotientRule::Rounding,
                                hemisphereOf(positions, hemisphereColumn))
            .toDouble();
    } catch (const Error&) {
        return std::nullopt;
    }
}

TrackPoint currentReport(const TableCursor& positions) {
    TrackPoint point;
    // A time that does not read is stored as day zero.
    const DateTimeValue time = positions.fieldAsDateTime(PositionTable::time);
    if (time != 0)
        point.time = fromDateTimeValue(time);
    point.lat = degreesOf(positions, PositionTable::lat, PositionTable::ns);
    point.lng = degreesOf(positions, PositionTable::lng, PositionTable::ew);
    if (!point.lat || !point.lng)
        point.lat = point.lng = std::nullopt;
    point.altitude = positions.fieldAsText(PositionTable::alt);
    return point;
}

} // namespace

QList<TrackPoint> newestRouteReports(TableCursor& positions, qint32 count) {
    const int rows = positions.rowCount();
    const int taken = std::clamp(count, 0, rows);
    const int back = positions.currentRow();
    QList<TrackPoint> reports;
    reports.reserve(taken);
    for (int row = rows - taken; row < rows; ++row) {
        positions.moveTo(row);
        reports.append(currentReport(positions));
    }
    if (back >= 0)
        positions.moveTo(back);
    return reports;
}
