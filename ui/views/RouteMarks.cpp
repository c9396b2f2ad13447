#include "ui/views/RouteMarks.h"

#include "map/ScriptCommands.h"
#include "store/DateTimeValue.h"

#include <algorithm>

namespace {

QString endText(const QString& name, const TrackPoint& point) {
    return point.time.isValid() ? name + QLatin1Char(' ') + displayText(toDateTimeValue(point.time))
                                : name;
}

} // namespace

QStringList routeMarkCommands(const QList<TrackPoint>& reports, bool fit) {
    const auto hasPosition = [](const TrackPoint& point) { return point.hasPosition(); };
    const auto oldest = std::find_if(reports.begin(), reports.end(), hasPosition);
    if (oldest == reports.end())
        return {};
    const auto newest = std::find_if(reports.rbegin(), reports.rend(), hasPosition);
    QStringList commands{ScriptCommands::markRoute(oldest->mapPair, endText("Start", *oldest),
                                                   newest->mapPair, endText("End", *newest))};
    if (fit)
        commands << ScriptCommands::fitRoute();
    return commands;
}
