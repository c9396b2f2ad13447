#include "export/RouteExport.h"

#include "export/CsvWriter.h"
#include "export/GpxWriter.h"

#include <QFileInfo>

namespace {

const QString gpxFilter = QStringLiteral("GPX track (*.gpx)");
const QString csvFilter = QStringLiteral("CSV table (*.csv)");

} // namespace

QString routeFileFilters() {
    return gpxFilter + QStringLiteral(";;") + csvFilter;
}

RouteFormat routeFormatFor(const QString& path, const QString& selectedFilter) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"gpx")
        return RouteFormat::Gpx;
    if (suffix == u"csv")
        return RouteFormat::Csv;
    return selectedFilter == csvFilter ? RouteFormat::Csv : RouteFormat::Gpx;
}

QString withRouteExtension(const QString& path, RouteFormat format) {
    const QString suffix =
        format == RouteFormat::Gpx ? QStringLiteral("gpx") : QStringLiteral("csv");
    return QFileInfo(path).suffix().toLower() == suffix ? path : path + u'.' + suffix;
}

QByteArray routeDocument(const QList<TrackPoint>& points, const QString& name, RouteFormat format) {
    if (format == RouteFormat::Gpx)
        return gpxDocument(points, name);
    QList<QStringList> rows{{QStringLiteral("time"), QStringLiteral("latitude"),
                             QStringLiteral("longitude"), QStringLiteral("altitude")}};
    for (const TrackPoint& point : points) {
        if (!point.hasPosition())
            continue;
        rows << QStringList{point.time.isValid() ? point.time.toString(Qt::ISODate) : QString(),
                            degreesText(*point.lat), degreesText(*point.lng), point.altitude};
    }
    return csvDocument(rows);
}
