#include "tools/simulator/RadioTrack.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double metresPerDegreeLatitude = 111320.0;
constexpr double maxDistanceMetres = 15000.0;
constexpr double maxSpeedMetresPerSecond = 16.0;

double metresPerDegreeLongitude(double latitude) {
    return metresPerDegreeLatitude * std::cos(latitude * std::numbers::pi / 180.0);
}

} // namespace

QString storedCoordinateText(double degrees) {
    const double magnitude = std::fabs(degrees);
    qint64 whole = qint64(std::floor(magnitude));
    qint64 minutesTenThousandths = std::llround((magnitude - double(whole)) * 60.0 * 10000.0);
    if (minutesTenThousandths >= 600000) {
        ++whole;
        minutesTenThousandths -= 600000;
    }
    return QStringLiteral("%1.%2").arg(whole).arg(minutesTenThousandths, 6, 10, QLatin1Char('0'));
}

RadioTrack::RadioTrack(double centreLatitude, double centreLongitude, std::mt19937& random)
    : centreLatitude_(centreLatitude)
    , centreLongitude_(centreLongitude) {
    std::uniform_real_distribution<double> offset(-0.6, 0.6);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    latitude_ = centreLatitude + offset(random) * maxDistanceMetres / metresPerDegreeLatitude;
    longitude_ = centreLongitude +
                 offset(random) * maxDistanceMetres / metresPerDegreeLongitude(centreLatitude);
    altitude_ = 20.0 + 80.0 * unit(random);
    headingRadians_ = 2.0 * std::numbers::pi * unit(random);
    speedMetresPerSecond_ = maxSpeedMetresPerSecond * unit(random);
}

RadioTrack::RadioTrack(const TownGrid& town, std::mt19937& random)
    : RadioTrack(town.latLng({0, 0}).x(), town.latLng({0, 0}).y(), random) {
    town_ = &town;
    from_ = town.randomCrossing(random);
    to_ = town.nextCrossing(from_, from_, random);
    speedMetresPerSecond_ = std::min(speedMetresPerSecond_, 14.0);
    driveInTown(0.0, random);
}

void RadioTrack::driveInTown(double metres, std::mt19937& random) {
    metresFromCrossing_ += metres;
    while (metresFromCrossing_ >= TownGrid::blockMetres) {
        metresFromCrossing_ -= TownGrid::blockMetres;
        const TownGrid::Crossing at = to_;
        to_ = town_->nextCrossing(from_, at, random);
        from_ = at;
    }
    const QPointF a = town_->metres(from_);
    const QPointF b = town_->metres(to_);
    const QPointF position = a + (b - a) * (metresFromCrossing_ / TownGrid::blockMetres);
    const QPointF latLng = town_->latLng(position);
    latitude_ = latLng.x();
    longitude_ = latLng.y();
}

void RadioTrack::advance(double seconds, std::mt19937& random) {
    if (town_) {
        std::normal_distribution<double> accelerate(0.0, 1.5);
        speedMetresPerSecond_ = std::clamp(speedMetresPerSecond_ + accelerate(random), 2.0, 14.0);
        driveInTown(speedMetresPerSecond_ * std::min(seconds, 120.0), random);
        return;
    }
    std::normal_distribution<double> turn(0.0, 0.35);
    std::normal_distribution<double> accelerate(0.0, 1.5);
    std::normal_distribution<double> climb(0.0, 1.0);

    const double northMetres = (latitude_ - centreLatitude_) * metresPerDegreeLatitude;
    const double eastMetres = (longitude_ - centreLongitude_) * metresPerDegreeLongitude(latitude_);
    if (std::hypot(northMetres, eastMetres) > maxDistanceMetres)
        headingRadians_ = std::atan2(-eastMetres, -northMetres); // head home
    else
        headingRadians_ += turn(random);
    speedMetresPerSecond_ =
        std::clamp(speedMetresPerSecond_ + accelerate(random), 0.0, maxSpeedMetresPerSecond);
    // Long gaps between reports do not send a radio across the map.
    const double distance = speedMetresPerSecond_ * std::min(seconds, 120.0);
    latitude_ += distance * std::cos(headingRadians_) / metresPerDegreeLatitude;
    longitude_ += distance * std::sin(headingRadians_) / metresPerDegreeLongitude(latitude_);
    altitude_ = std::clamp(altitude_ + climb(random), 0.0, 250.0);
}

StoredPosition RadioTrack::stored() const {
    return {latitude_ < 0 ? QStringLiteral("S") : QStringLiteral("N"),
            storedCoordinateText(latitude_),
            longitude_ < 0 ? QStringLiteral("W") : QStringLiteral("E"),
            storedCoordinateText(longitude_), QString::number(altitude_, 'f', 1)};
}
