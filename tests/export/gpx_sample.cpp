// Writes the GPX of a fixed route to standard output for read_gpx.py, which
// reads it back with an independent GPX reader.
#include "export/GpxWriter.h"

#include <QTimeZone>

#include <cstdio>

int main() {
    const QDateTime start(QDate(2024, 3, 1), QTime(23, 59, 30), QTimeZone(3 * 3600));
    const QList<TrackPoint> points{
        {start, -41.0065, -70.0017, "12"},
        {start.addSecs(60), -41.0063, -70.0017, "n/a"},
        {start.addSecs(120), std::nullopt, std::nullopt, "5"},
        {QDateTime(), 0.5, 179.9999, "-3.5"},
    };
    const QByteArray gpx = gpxDocument(points, "Radio 12 <Ann & \"Lee\">");
    std::fwrite(gpx.constData(), 1, size_t(gpx.size()), stdout);
    return 0;
}
