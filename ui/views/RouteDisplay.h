#pragma once

#include <QDateTime>
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

// The red line through the newest reports of the first selected radio in the
// date range, centred on its oldest point. `selected` runs once the table is
// narrowed to the route and on its newest report, before anything is drawn.
void showRoute(const SelectedRadios& radios, TableCursor& table, const RouteRequest& request,
               const ViewOutput& out, const std::function<void()>& selected = {});
