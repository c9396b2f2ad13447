#include "track/RouteSummary.h"

#include <GeographicLib/Geodesic.hpp>

#include <QStringList>

#include <algorithm>

namespace {

double metresBetween(const TrackPoint& a, const TrackPoint& b) {
    double metres = 0;
    GeographicLib::Geodesic::WGS84().Inverse(*a.lat, *a.lng, *b.lat, *b.lng, metres);
    return metres;
}

bool bothTimed(const TrackPoint& a, const TrackPoint& b) {
    return a.time.isValid() && b.time.isValid();
}

// Greedy: a stop starts at a report and lasts while the following reports
// stay within the radius of it.
QList<RouteSummary::Stop> stopsOf(const QList<TrackPoint>& points) {
    QList<RouteSummary::Stop> stops;
    qsizetype i = 0;
    while (i < points.size()) {
        qsizetype j = i;
        while (j + 1 < points.size() &&
               metresBetween(points[i], points[j + 1]) <= RouteSummary::stopRadiusMetres)
            ++j;
        if (j > i && bothTimed(points[i], points[j]) &&
            points[i].time.secsTo(points[j].time) >= RouteSummary::stopSeconds) {
            stops.append({points[i].time, points[j].time, *points[i].lat, *points[i].lng});
            i = j + 1;
        } else {
            ++i;
        }
    }
    return stops;
}

QString durationText(qint64 seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

RouteSummary summarizeRoute(const QList<TrackPoint>& reports) {
    RouteSummary summary;
    QList<TrackPoint> points;
    for (const TrackPoint& report : reports) {
        if (report.hasPosition())
            points.append(report);
        else
            ++summary.skipped;
    }
    summary.points = int(points.size());
    for (qsizetype k = 1; k < points.size(); ++k) {
        const double metres = metresBetween(points[k - 1], points[k]);
        summary.distanceMetres += metres;
        if (!bothTimed(points[k - 1], points[k]))
            continue;
        const qint64 ms = points[k - 1].time.msecsTo(points[k].time);
        const double kmh = ms > 0 ? metres / 1000.0 / (ms / 3600000.0) : 0;
        if (ms <= 0 || kmh > RouteSummary::maxPlausibleKmh)
            ++summary.flagged;
        else
            summary.topKmh = std::max(summary.topKmh, kmh);
    }
    QList<QDateTime> times;
    for (const TrackPoint& point : points) {
        if (point.time.isValid())
            times.append(point.time);
    }
    if (!times.isEmpty()) {
        const auto [first, last] = std::minmax_element(times.begin(), times.end());
        summary.durationSeconds = first->secsTo(*last);
    }
    if (summary.durationSeconds > 0)
        summary.averageKmh = summary.distanceMetres / 1000.0 / (summary.durationSeconds / 3600.0);
    summary.stops = stopsOf(points);
    return summary;
}

QString routeSummaryText(const RouteSummary& summary) {
    QStringList lines;
    QString points = QStringLiteral("Points: %1").arg(summary.points);
    if (summary.skipped > 0)
        points += QStringLiteral(" (%1 reports skipped)").arg(summary.skipped);
    lines << points;
    lines << QStringLiteral("Distance: %1 km").arg(summary.distanceMetres / 1000.0, 0, 'f', 2);
    lines << QStringLiteral("Duration: %1").arg(durationText(summary.durationSeconds));
    lines << QStringLiteral("Average: %1 km/h, top: %2 km/h")
                 .arg(summary.averageKmh, 0, 'f', 1)
                 .arg(summary.topKmh, 0, 'f', 1);
    if (summary.flagged > 0)
        lines << QStringLiteral("%1 steps flagged (same time or above %2 km/h)")
                     .arg(summary.flagged)
                     .arg(RouteSummary::maxPlausibleKmh, 0, 'f', 0);
    lines << QStringLiteral("Stops: %1").arg(summary.stops.size());
    for (const RouteSummary::Stop& stop : summary.stops)
        lines << QStringLiteral("  %1 - %2 (%3 min)")
                     .arg(stop.from.toString(QStringLiteral("yyyy-MM-dd hh:mm")),
                          stop.to.toString(QStringLiteral("hh:mm")))
                     .arg(stop.from.secsTo(stop.to) / 60);
    return lines.join(QLatin1Char('\n'));
}
