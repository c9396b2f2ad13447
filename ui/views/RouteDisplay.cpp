#include "ui/views/RouteDisplay.h"

#include "app/Error.h"
#include "map/ScriptCommands.h"
#include "map/ScriptSink.h"
#include "store/PositionTable.h"
#include "ui/views/CommandBatch.h"
#include "ui/views/SelectedRadios.h"
#include "ui/views/ViewOutput.h"

#include <QStringList>

namespace {

qint32 routeCountOf(const QString& text) {
    bool isNumber = false;
    const qint32 count = text.toInt(&isNumber, 10);
    if (!isNumber)
        throw notAnIntegerError(text);
    return count;
}

} // namespace

void showRoute(const SelectedRadios& radios, TableCursor& table, const RouteRequest& request,
               const ViewOutput& out, const std::function<void()>& selected) {
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
    if (selected)
        selected();
    const qint32 count = routeCountOf(request.routeCount);
    if (count > maxRoutePoints) {
        out.showMessage(QStringLiteral("Route count is limited to %1 points.").arg(maxRoutePoints));
        return;
    }
    if (count < 2) {
        out.page.runScriptCommand(ScriptCommands::centreOnRoute(
            positions.currentPair(QuotientRule::Rounding), request.zoom));
        return;
    }
    const QStringList points = positions.routePoints(count);
    CommandBatch batch(out.page);
    batch.add(ScriptCommands::initLine());
    for (qint32 k = 0; k + 1 < count; ++k)
        batch.add(ScriptCommands::fillLine(points[k]));
    batch.add(ScriptCommands::drawLine());
    batch.add(ScriptCommands::centreOnRoute(points.back(), request.zoom));
    batch.send();
}
