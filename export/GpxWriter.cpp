#include "export/GpxWriter.h"

#include <QXmlStreamWriter>

QString degreesText(double degrees) {
    return QString::number(degrees, 'f', 7);
}

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
        xml.writeAttribute(QStringLiteral("lat"), degreesText(*point.lat));
        xml.writeAttribute(QStringLiteral("lon"), degreesText(*point.lng));
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
