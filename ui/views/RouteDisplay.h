// The route run: one radio's newest reports in a date range read once, drawn
// as the red line, and handed to the window for its summary and export.
#pragma once

#include "track/TrackPoint.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

class SelectedRadios;
class TableCursor;
struct ViewOutput;

struct RouteRequest {
    QDateTime firstDate;
    QDateTime lastDate;
    QString routeCount; // the field's text
    QString zoom;       // the field's text, passed on unchanged
};

// Routes longer than this are refused: the page stays responsive up to it.
constexpr int maxRoutePoints = 100000;

// A route run's reports, read from the table once: the red line, its end
// marks, the summary and the export all come from them.
struct Route {
    qint32 count = 0;          // the "Route count" field, read once
    QList<TrackPoint> reports; // the newest max(count, 1) in the range, oldest first
};

// The red line through the newest reports of the first selected radio in the
// date range, centred on its oldest point. `read` gets the route once it is
// read, before anything is drawn, so that its figures show even when drawing
// then fails. A report whose coordinates do not convert fails the run.
void showRoute(const SelectedRadios& radios, TableCursor& table, const RouteRequest& request,
               const ViewOutput& out, const std::function<void(const Route&)>& read = {});
