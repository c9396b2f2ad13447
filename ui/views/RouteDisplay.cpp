#include "ui/views/RouteDisplay.h"

#include "app/Error.h"
#include "map/ScriptCommands.h"
#include "map/ScriptSink.h"
#include "store/PositionTable.h"
#include "store/TableCursor.h"
#include "track/RouteReports.h"
#include "ui/views/CommandBatch.h"
#include "ui/views/SelectedRadios.h"
#include "ui/views/ViewOutput.h"

#include <QStringList>

#include <algorithm>

namespace {

qint32 routeCountOf(const QString& text) {
    bool isNumber = false;
    const qint32 count = text.toInt(&isNumber, 10);
    if (!isNumber)
        throw notAnIntegerError(text);
    return count;
}

// A report's place on the line, or the reason it has none.
QString linePoint(const TrackPoint& report) {
    if (report.mapPair.isEmpty())
        throw Error(report.unreadable);
    return report.mapPair;
}

// The line's `count` points walking back from the newest report; the walk
// stays on the oldest, so a short range repeats it. The table is left where
// that walk ends: a step past its last point (at most the oldest), or on the
// report that does not convert.
QStringList walkBack(const Route& route, TableCursor& table) {
    const int newestRow = table.rowCount() - 1;
    const int oldest = 0;
    QStringList points;
    points.reserve(route.count);
    int index = int(route.reports.size()) - 1;
    for (qint32 k = 0; k < route.count; ++k) {
        const TrackPoint& report = route.reports[index];
        if (report.mapPair.isEmpty())
            table.moveTo(newestRow - (int(route.reports.size()) - 1 - index));
        points << linePoint(report);
        index = std::max(index - 1, oldest);
    }
    table.moveTo(std::max(newestRow - route.count, oldest));
    return points;
}

} // namespace

void showRoute(const SelectedRadios& radios, TableCursor& table, const RouteRequest& request,
               const ViewOutput& out, const std::function<void(const Route&)>& read) {
    out.page.runScriptCommand(ScriptCommands::clearScreen());
    const qint32 radio = radios.firstRadio();
    // Deliberately no return after the message: the run goes on with radio 0,
    // so the table is narrowed to it and, unless a radio 0 reported in the
    // range, the run ends with "No records found".
    if (radio == 0)
        out.showMessage(QStringLiteral("Please select a user."));
    PositionTable positions(table);
    if (!positions.selectRoute(radio, request.firstDate, request.lastDate)) {
        out.setStatus(QStringLiteral("No records found"));
        return;
    }
    const qint32 count = routeCountOf(request.routeCount);
    if (count > maxRoutePoints) {
        out.showMessage(QStringLiteral("Route count is limited to %1 points.").arg(maxRoutePoints));
        return;
    }
    const Route route{count, newestRouteReports(table, std::max(count, 1))};
    if (read)
        read(route);
    if (count < 2) {
        out.page.runScriptCommand(
            ScriptCommands::centreOnRoute(linePoint(route.reports.back()), request.zoom));
        return;
    }
    const QStringList points = walkBack(route, table);
    CommandBatch batch(out.page);
    batch.add(ScriptCommands::initLine());
    for (qint32 k = 0; k + 1 < count; ++k)
        batch.add(ScriptCommands::fillLine(points[k]));
    batch.add(ScriptCommands::drawLine());
    batch.add(ScriptCommands::centreOnRoute(points.back(), request.zoom));
    batch.send();
}
