#include "map/browser/MapApiScript.h"

#include "app/AppPaths.h"
#include "app/IniReader.h"
#include "app/Resources.h"
#include "map/ScriptCommands.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace {

QByteArray resource(const QString& name) {
    return builtInResource(QStringLiteral(":/web/") + name);
}

// Everything but the tile settings; built once, it is the bulk of the answer.
const QByteArray& fixedParts() {
    static const QByteArray parts = [] {
        QByteArray styleSheet;
        for (const char* name :
             {"leaflet.css", "MarkerCluster.css", "MarkerCluster.Default.css", "maplayer.css"})
            styleSheet += resource(QLatin1String(name)) + '\n';
        QByteArray script;
        script += "(function () { var style = document.createElement(\"style\"); "
                  "style.textContent = " +
                  ScriptCommands::scriptStringLiteral(QString::fromUtf8(styleSheet)).toUtf8() +
                  "; document.head.appendChild(style); })();\n";
        script += resource("leaflet.js") + "\n;\n";
        script += resource("leaflet.markercluster.js") + "\n;\n";
        script += resource("topojson-client.min.js") + "\n;\n";
        script += resource("protomaps-leaflet.js") + "\n;\n";
        script += "var G_WORLD_ATLAS = " + resource("countries-50m.json") + ";\n";
        return script;
    }();
    return parts;
}

// The map API layer: its modules joined in the listed order inside one
// function, so that they share their helpers without adding them to the
// page's globals; each module hands its public names to the page itself.
const QByteArray& layerScript() {
    static const QByteArray script = [] {
        QByteArray joined = "(function () {\n\"use strict\";\n";
        for (const QByteArray& line : resource(QStringLiteral("layer/modules.txt")).split('\n')) {
            const QByteArray name = line.trimmed();
            if (!name.isEmpty())
                joined += resource(QStringLiteral("layer/") + QString::fromUtf8(name)) + '\n';
        }
        return joined + "})();\n";
    }();
    return script;
}

} // namespace

MapTiles configuredMapTiles() {
    const IniReader ini(iniFilePath());
    return {ini.readString(QStringLiteral("General"), QStringLiteral("TileUrl")),
            ini.readString(QStringLiteral("General"), QStringLiteral("TileAttribution"))};
}

QByteArray mapApiScript(const MapTiles& tiles, const QJsonArray& mapFiles) {
    const QJsonObject settings{{QStringLiteral("url"), tiles.urlTemplate},
                               {QStringLiteral("attribution"), tiles.attribution}};
    return fixedParts() +
           "var G_MAP_TILES = " + QJsonDocument(settings).toJson(QJsonDocument::Compact) + ";\n" +
           "var G_MAP_FILES = " + QJsonDocument(mapFiles).toJson(QJsonDocument::Compact) + ";\n" +
           layerScript();
}
