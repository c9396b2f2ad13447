#pragma once

#include "track/TrackPoint.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Decimal degrees with seven decimals, about a centimetre: finer than the
// stored minutes (0.0001', about 0.2 m), which the files keep in full.
QString degreesText(double degrees);

// A GPX 1.1 document with one track of the reports, oldest first. Reports
// without a position are left out; a time that does not read and an
// altitude that is no number are left out of their point.
QByteArray gpxDocument(const QList<TrackPoint>& points, const QString& trackName);
