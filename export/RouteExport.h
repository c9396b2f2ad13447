// A route's export file: its format from the chosen name or filter.
#pragma once

#include "track/TrackPoint.h"

#include <QByteArray>
#include <QList>
#include <QString>

enum class RouteFormat { Gpx, Csv };

// The file dialog's filters for a route, GPX first.
QString routeFileFilters();
// The format a chosen path asks for: its extension, else the chosen filter.
RouteFormat routeFormatFor(const QString& path, const QString& selectedFilter);
// The path with the format's extension added when it has none.
QString withRouteExtension(const QString& path, RouteFormat format);

// The route's reports, oldest first, in the format: a GPX track, or a table
// of time (as stored, read), latitude, longitude and altitude.
QByteArray routeDocument(const QList<TrackPoint>& points, const QString& name, RouteFormat format);
