#pragma once

#include "track/TrackPoint.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Figures of a route for the dispatcher: how far, how long, how fast, and
// where the radio stood still. Distances are geodesics on the WGS 84
// ellipsoid.
struct RouteSummary {
    struct Stop {
        QDateTime from;
        QDateTime to;
        double lat = 0;
        double lng = 0;
    };

    int points = 0;  // reports with a position
    int skipped = 0; // reports whose coordinates do not convert
    // Steps between consecutive reports with the same time or faster than
    // maxPlausibleKmh: counted in the distance, left out of the top speed.
    int flagged = 0;
    double distanceMetres = 0;
    qint64 durationSeconds = 0;
    double averageKmh = 0; // 0 without a duration
    double topKmh = 0;
    QList<Stop> stops;

    static constexpr double maxPlausibleKmh = 300;
    static constexpr double stopRadiusMetres = 50;
    static constexpr qint64 stopSeconds = 5 * 60;
};

// Reports oldest first.
RouteSummary summarizeRoute(const QList<TrackPoint>& reports);

// The summary as a few short lines for the "Fast Search" tab.
QString routeSummaryText(const RouteSummary& summary);
