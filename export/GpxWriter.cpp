#include "export/GpxWriter.h"

#include <QXmlStreamWriter>

QByteArray gpxDocument(const QList<TrackPoint>& points, const QString& trackName) {
    QByteArray document;
    QXmlStreamWriter xml(&document);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
    xml.writeStartElement(QStringLiteral("gpx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("GPS Positions"));
    xml.writeStartElement(QStringLiteral("trk"));
    xml.writeTextElement(QStringLiteral("name"), trackName);
    xml.writeStartElement(QStringLiteral("trkseg"));
    for (const TrackPoint& point : points) {
        if (!point.hasPosition())
            continue;
        xml.writeStartElement(QStringLiteral("trkpt"));
        xml.writeAttribute(QStringLiteral("lat"), QString::number(*point.lat, 'f', 6));
        xml.writeAttribute(QStringLiteral("lon"), QString::number(*point.lng, 'f', 6));
        bool isNumber = false;
        const double elevation = point.altitude.trimmed().toDouble(&isNumber);
        if (isNumber)
            xml.writeTextElement(QStringLiteral("ele"), QString::number(elevation, 'g', 10));
        if (point.time.isValid())
            xml.writeTextElement(QStringLiteral("time"), point.time.toUTC().toString(Qt::ISODate));
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return document;
}
