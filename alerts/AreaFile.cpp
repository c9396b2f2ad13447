#include "alerts/AreaFile.h"

#include "app/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace {

// Far above any real file (10,000 areas of 50 points are some 20 MB); a
// larger one is refused before it is read into memory.
constexpr qint64 kLargestFileBytes = 256 * 1024 * 1024;

const QString kRuleNames[] = {QStringLiteral("enter"), QStringLiteral("leave"),
                              QStringLiteral("both")};

GeoPoint pointOf(const QJsonValue& value) {
    const QJsonArray pair = value.toArray();
    if (pair.size() < 2 || !pair[0].isDouble() || !pair[1].isDouble())
        throw Error(QStringLiteral("a position is not a [longitude, latitude] pair"));
    return {pair[1].toDouble(), pair[0].toDouble()};
}

QJsonArray pairOf(GeoPoint point) {
    return QJsonArray{point.lng, point.lat};
}

AreaRule ruleOf(const QJsonValue& value) {
    if (value.isUndefined())
        return AreaRule::Both;
    for (int rule = 0; rule < 3; ++rule) {
        if (value.toString() == kRuleNames[rule])
            return AreaRule(rule);
    }
    throw Error(QStringLiteral("its \"rule\" is not \"enter\", \"leave\" or \"both\""));
}

AreaRadios radiosOf(const QJsonValue& value) {
    AreaRadios radios;
    if (value.isUndefined() || value.toString() == QLatin1String("all"))
        return radios;
    const QJsonObject object = value.toObject();
    if (object.value(QLatin1String("project")).isDouble()) {
        radios.kind = AreaRadios::Kind::Project;
        radios.project = object.value(QLatin1String("project")).toInt();
        return radios;
    }
    if (object.value(QLatin1String("members")).isArray()) {
        radios.kind = AreaRadios::Kind::Members;
        for (const QJsonValue member : object.value(QLatin1String("members")).toArray()) {
            if (!member.isDouble())
                throw Error(QStringLiteral("a member in \"radios\" is not a radio id"));
            radios.members.append(member.toInt());
        }
        return radios;
    }
    throw Error(
        QStringLiteral("its \"radios\" is not \"all\", {\"project\": id} or {\"members\": [...]}"));
}

QJsonValue radiosValue(const AreaRadios& radios) {
    switch (radios.kind) {
    case AreaRadios::Kind::All:
        break;
    case AreaRadios::Kind::Project:
        return QJsonObject{{QStringLiteral("project"), radios.project}};
    case AreaRadios::Kind::Members: {
        QJsonArray members;
        for (const qint32 radio : radios.members)
            members.append(radio);
        return QJsonObject{{QStringLiteral("members"), members}};
    }
    }
    return QStringLiteral("all");
}

Area areaOf(const QJsonObject& feature, int number) {
    const QJsonObject properties = feature.value(QLatin1String("properties")).toObject();
    const QJsonValue nameValue = properties.value(QLatin1String("name"));
    const QString name =
        nameValue.isString() ? nameValue.toString() : QStringLiteral("Area %1").arg(number);
    const QJsonObject geometry = feature.value(QLatin1String("geometry")).toObject();
    const QString type = geometry.value(QLatin1String("type")).toString();
    const QJsonValue coordinates = geometry.value(QLatin1String("coordinates"));

    std::optional<Area> area;
    if (type == QLatin1String("Polygon")) {
        QList<QList<GeoPoint>> rings;
        for (const QJsonValue ring : coordinates.toArray()) {
            QList<GeoPoint> points;
            for (const QJsonValue position : ring.toArray())
                points.append(pointOf(position));
            rings.append(points);
        }
        area = Area::polygon(name, rings);
    } else if (type == QLatin1String("Point")) {
        const QJsonValue radius = properties.value(QLatin1String("radius"));
        if (!radius.isDouble())
            throw Error(QStringLiteral("a Point needs a \"radius\" in metres to be a circle"));
        area = Area::circle(name, pointOf(coordinates), radius.toDouble());
    } else {
        throw Error(QStringLiteral("its geometry is not a Polygon or a Point with a radius"));
    }
    area->setRule(ruleOf(properties.value(QLatin1String("rule"))));
    area->setRadios(radiosOf(properties.value(QLatin1String("radios"))));
    area->setShown(properties.value(QLatin1String("shown")).toBool(true));
    return *area;
}

} // namespace

std::vector<Area> AreaFile::parse(const QByteArray& json) {
    if (json.trimmed().isEmpty())
        throw Error(QStringLiteral("the file is empty"));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        throw Error(QStringLiteral("it is not JSON (%1 at character %2)")
                        .arg(parseError.errorString())
                        .arg(parseError.offset));
    }
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("type")).toString() != QLatin1String("FeatureCollection") ||
        !root.value(QLatin1String("features")).isArray())
        throw Error(QStringLiteral("it is not a GeoJSON FeatureCollection"));

    const QJsonArray features = root.value(QLatin1String("features")).toArray();
    std::vector<Area> areas;
    areas.reserve(features.size());
    for (qsizetype k = 0; k < features.size(); ++k) {
        try {
            areas.push_back(areaOf(features[k].toObject(), int(k) + 1));
        } catch (const Error& error) {
            throw Error(QStringLiteral("feature %1: %2").arg(k + 1).arg(error.message()));
        }
    }
    return areas;
}

std::vector<Area> AreaFile::read(const QString& path) {
    const QFileInfo info(path);
    QString why;
    QByteArray bytes;
    if (!info.exists()) {
        why = QStringLiteral("the file does not exist");
    } else if (!info.isFile()) {
        why = QStringLiteral("it is not a file");
    } else if (info.size() > kLargestFileBytes) {
        why = QStringLiteral("it is larger than 256 MiB");
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            why = file.errorString();
        else
            bytes = file.readAll();
    }
    try {
        if (why.isEmpty())
            return parse(bytes);
    } catch (const Error& error) {
        why = error.message();
    }
    if (why.endsWith(u'.'))
        why.chop(1);
    throw Error(QStringLiteral("The areas file \"%1\" could not be opened: %2.")
                    .arg(QDir::toNativeSeparators(path), why));
}

QByteArray AreaFile::toJson(const std::vector<Area>& areas, QJsonDocument::JsonFormat format) {
    QJsonArray features;
    for (const Area& area : areas) {
        QJsonObject properties{{QStringLiteral("name"), area.name()},
                               {QStringLiteral("rule"), kRuleNames[int(area.rule())]},
                               {QStringLiteral("radios"), radiosValue(area.radios())},
                               {QStringLiteral("shown"), area.isShown()}};
        QJsonObject geometry;
        if (area.kind() == Area::Kind::Circle) {
            geometry = {{QStringLiteral("type"), QStringLiteral("Point")},
                        {QStringLiteral("coordinates"), pairOf(area.centre())}};
            properties.insert(QStringLiteral("radius"), area.radiusMetres());
        } else {
            QJsonArray rings;
            for (const QList<GeoPoint>& ring : area.rings()) {
                QJsonArray points;
                for (const GeoPoint& point : ring)
                    points.append(pairOf(point));
                points.append(pairOf(ring.front())); // GeoJSON rings are closed
                rings.append(points);
            }
            geometry = {{QStringLiteral("type"), QStringLiteral("Polygon")},
                        {QStringLiteral("coordinates"), rings}};
        }
        features.append(QJsonObject{{QStringLiteral("type"), QStringLiteral("Feature")},
                                    {QStringLiteral("geometry"), geometry},
                                    {QStringLiteral("properties"), properties}});
    }
    const QJsonObject root{{QStringLiteral("type"), QStringLiteral("FeatureCollection")},
                           {QStringLiteral("features"), features}};
    return QJsonDocument(root).toJson(format);
}
