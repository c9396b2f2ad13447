#pragma once

#include "alerts/Area.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QString>

#include <vector>

// Areas as a GeoJSON FeatureCollection: a polygon is a Polygon feature, a
// circle a Point feature with a "radius" in metres; the properties "name",
// "rule" ("enter", "leave", "both"), "radios" ("all", {"project": id} or
// {"members": [radio, ...]}) and "shown". Names are kept as written.
class AreaFile {
public:
    // All the areas, or Error with one message saying why the text is not
    // an areas file; nothing of a bad file is kept.
    static std::vector<Area> parse(const QByteArray& json);
    // parse() of the file's bytes; the message names the file.
    static std::vector<Area> read(const QString& path);
    static QByteArray toJson(const std::vector<Area>& areas,
                             QJsonDocument::JsonFormat format = QJsonDocument::Indented);
};
