#pragma once

#include <QPointF>
#include <QString>

#include <random>

// A small town of named streets in a square grid around a centre, for the
// demo: its map as OpenStreetMap XML, and the crossings radios drive between.
class TownGrid {
public:
    TownGrid(double centreLatitude, double centreLongitude);

    static constexpr int streetsEachWay = 9;
    static constexpr double blockMetres = 220.0;

    // Crossing (column, row), counted from the south-west corner.
    struct Crossing {
        int column;
        int row;
        bool operator==(const Crossing&) const = default;
    };

    // Metres east and north of the centre.
    QPointF metres(const Crossing& crossing) const;
    QPointF latLng(const QPointF& metres) const; // x: latitude, y: longitude
    // A neighbouring crossing, not back where the radio came from unless the
    // street ends.
    Crossing nextCrossing(const Crossing& from, const Crossing& at, std::mt19937& random) const;
    Crossing randomCrossing(std::mt19937& random) const;

    QString osmXml() const;

private:
    double centreLatitude_;
    double centreLongitude_;
};
