#pragma once

#include "tools/simulator/TownGrid.h"

#include <QString>

#include <random>

// A position report as the writing software stores it.
struct StoredPosition {
    QString ns;
    QString lat; // "DD.MMmmmm": degrees, then minutes to four decimals
    QString ew;
    QString lng;
    QString alt;
};

// Decimal degrees to the stored degrees-and-minutes text, unsigned.
QString storedCoordinateText(double degrees);

// One radio moving about a centre: a walk with a drifting heading and speed,
// pulled back when it strays too far, so that a track looks like a vehicle's.
// In a town it drives along the streets instead, turning at random crossings.
class RadioTrack {
public:
    RadioTrack(double centreLatitude, double centreLongitude, std::mt19937& random);
    RadioTrack(const TownGrid& town, std::mt19937& random);

    void advance(double seconds, std::mt19937& random);
    StoredPosition stored() const;
    double latitude() const { return latitude_; }
    double longitude() const { return longitude_; }

private:
    void driveInTown(double metres, std::mt19937& random);

    const TownGrid* town_ = nullptr;
    TownGrid::Crossing from_{};
    TownGrid::Crossing to_{};
    double metresFromCrossing_ = 0.0;
    double centreLatitude_;
    double centreLongitude_;
    double latitude_;
    double longitude_;
    double altitude_;
    double headingRadians_;
    double speedMetresPerSecond_;
};
