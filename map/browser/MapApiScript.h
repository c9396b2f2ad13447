// The map page's one script served at "/maps", and the tile settings it carries.
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QString>

// Optional raster tiles drawn over the offline world map.
struct MapTiles {
    QString urlTemplate; // e.g. "https://tiles.example/{z}/{x}/{y}.png"; empty: none
    QString attribution;
};

// The tile settings from the [General] keys "TileUrl" and "TileAttribution"
// of the INI file beside the executable.
MapTiles configuredMapTiles();

// The one script the page loads from "/maps": Leaflet with its style sheet,
// topojson-client, the world atlas, the map-file renderer, the tile settings,
// the open map files' layers and our map API layer.
QByteArray mapApiScript(const MapTiles& tiles, const QJsonArray& mapFiles = {});
