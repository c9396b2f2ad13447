#include "ui/alerts/AreaMapCommands.h"

#include "map/ScriptCommands.h"
#include "ui/views/MarkerLabels.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

QJsonArray pairOf(GeoPoint point) {
    return QJsonArray{point.lat, point.lng};
}

} // namespace

namespace AreaMapCommands {

QString showAreas(const std::vector<Area>& areas) {
    QJsonArray shown;
    for (const Area& area : areas) {
        if (!area.isShown())
            continue;
        QJsonObject item{{QStringLiteral("name"), area.name()}};
        if (area.kind() == Area::Kind::Circle) {
            item.insert(QStringLiteral("centre"), pairOf(area.centre()));
            item.insert(QStringLiteral("radius"), area.radiusMetres());
        } else {
            QJsonArray rings;
            for (const QList<GeoPoint>& ring : area.rings()) {
                QJsonArray points;
                for (const GeoPoint& point : ring)
                    points.append(pairOf(point));
                rings.append(points);
            }
            item.insert(QStringLiteral("rings"), rings);
        }
        shown.append(item);
    }
    return ScriptCommands::showAreas(QJsonDocument(shown).toJson(QJsonDocument::Compact));
}

QString markRadios(const QSet<qint32>& radios, const MarkerLabels& labels) {
    QList<qint32> sorted(radios.begin(), radios.end());
    std::sort(sorted.begin(), sorted.end());
    QStringList titles;
    for (const qint32 radio : sorted)
        titles << labels.titleOf(QString::number(radio), radio);
    return ScriptCommands::setAlertedRadios(titles);
}

} // namespace AreaMapCommands
