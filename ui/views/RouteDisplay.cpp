#include "ui/views/RouteDisplay.h"

#include "app/Error.h"
#include "map/ScriptCommands.h"
#include "map/ScriptSink.h"
#include "store/CurrentPosition.h"
#include "store/DateTimeValue.h"
#include "store/PositionTable.h"
#include "store/TableCursor.h"
#include "ui/views/CommandBatch.h"
#include "ui/views/SelectedRadios.h"
#include "ui/views/ViewOutput.h"

#include <QStringList>

namespace {

// Bounds in the fixed form the filter reads back to the millisecond, so the
// range holds the reports between the two picker values, both included.
QString routeFilter(qint32 radio, const RouteRequest& request) {
    return QStringLiteral("radio_short_id=") + QString::number(radio) +
           QStringLiteral(" and time>='") + fixedFormText(request.firstDate) +
           QStringLiteral("' and time<='") + fixedFormText(request.lastDate) + QLatin1Char('\'');
}

qint32 routeCountOf(const QString& text) {
    bool isNumber = false;
    const qint32 count = text.toInt(&isNumber, 10);
    if (!isNumber)
        throw notAnIntegerError(text);
    return count;
}

// Points 1..count from the newest report backwards; on the oldest report the
// walk stays where it is, so a short range repeats its oldest point.
QStringList collectRoute(TableCursor& table, qint32 count) {
    QStringList points;
    points.reserve(count);
    for (qint32 k = 1; k <= count; ++k) {
        points << currentPairText(table, QuotientRule::Rounding);
        table.prior();
    }
    return points;
}

} // namespace

void showRoute(const SelectedRadios& radios, TableCursor& table, const RouteRequest& request,
               const ViewOutput& out) {
    out.page.runScriptCommand(ScriptCommands::clearScreen());
    const qint32 radio = radios.firstRadio();
    if (radio == 0)
        out.showMessage(QStringLiteral("Please select a user."));
    if (!refreshAndFilter(table, routeFilter(radio, request)) || table.rowCount() < 1) {
        out.setStatus(QStringLiteral("No records found"));
        return;
    }
    table.last();
    const qint32 count = routeCountOf(request.routeCount);
    if (count > maxRoutePoints) {
        out.showMessage(QStringLiteral("Route count is limited to %1 points.").arg(maxRoutePoints));
        return;
    }
    if (count < 2) {
        out.page.runScriptCommand(ScriptCommands::centreOnRoute(
            currentPairText(table, QuotientRule::Rounding), request.zoom));
        return;
    }
    const QStringList points = collectRoute(table, count);
    CommandBatch batch(out.page);
    batch.add(ScriptCommands::initLine());
    for (qint32 k = 0; k + 1 < count; ++k)
        batch.add(ScriptCommands::fillLine(points[k]));
    batch.add(ScriptCommands::drawLine());
    batch.add(ScriptCommands::centreOnRoute(points.back(), request.zoom));
    batch.send();
}
