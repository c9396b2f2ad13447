#include "track/RouteReports.h"

#include "app/Error.h"
#include "store/DateTimeValue.h"
#include "store/PositionTable.h"
#include "store/TableCursor.h"

#include <algorithm>

namespace {

TrackPoint currentReport(TableCursor& positions) {
    const PositionTable table(positions);
    TrackPoint point;
    // A time that does not read is stored as day zero.
    const DateTimeValue time = positions.fieldAsDateTime(PositionTable::time);
    if (time != 0)
        point.time = fromDateTimeValue(time);
    // The figures and files use the stored minutes in full, the route's marks
    // the map's rounded text; a report whose coordinates do not convert keeps
    // no position.
    try {
        const auto [lat, lng] = table.currentDegrees();
        point.mapPair = table.currentPair(QuotientRule::Rounding);
        point.lat = lat;
        point.lng = lng;
    } catch (const Error& error) {
        point.unreadable = error.message();
    }
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
