#include "alerts/Area.h"

#include "app/Error.h"

#include <GeographicLib/Geodesic.hpp>
#include <boost/geometry.hpp>

#include <cmath>
#include <numbers>

namespace bg = boost::geometry;

namespace {

using PlanePoint = bg::model::d2::point_xy<double>; // x longitude, y latitude
using PlanePolygon = bg::model::polygon<PlanePoint>;

// The smallest radius of curvature of the WGS 84 ellipsoid (along a meridian
// at the equator), with a margin: no geodesic of a given length turns a
// wider angle, so a circle's box built with it always holds the circle.
constexpr double kSmallestRadiusMetres = 6335439.0 / 1.01;

double radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}
double degrees(double radians) {
    return radians * 180 / std::numbers::pi;
}

Error notSimple(const QString& name, const QString& why) {
    return Error(QStringLiteral("Area \"%1\" is not a simple polygon: %2.").arg(name, why));
}

QString whyNotValid(bg::validity_failure_type failure) {
    switch (failure) {
    case bg::failure_self_intersections:
    // Left after correct() only when crossing edges cancel the ring's area out.
    case bg::failure_wrong_orientation:
        return QStringLiteral("its edges cross each other");
    case bg::failure_spikes:
        return QStringLiteral("an edge runs back along the one before it");
    case bg::failure_wrong_topological_dimension:
        return QStringLiteral("its points lie on one line");
    case bg::failure_interior_rings_outside:
        return QStringLiteral("a hole lies outside the outline");
    case bg::failure_nested_interior_rings:
        return QStringLiteral("a hole lies inside another hole");
    case bg::failure_disconnected_interior:
        return QStringLiteral("its holes cut it in pieces");
    default:
        return QStringLiteral("its rings do not enclose one area");
    }
}

// One place: longitudes whole turns apart, up to the rounding that taking
// each the short way round from the one before leaves.
bool samePlace(GeoPoint a, GeoPoint b) {
    return a.lat == b.lat && std::abs(std::remainder(a.lng - b.lng, 360.0)) < 1e-9;
}

// The ring without a closing repeat or points repeated in a row; each
// longitude the short way round from the one before.
std::vector<GeoPoint> continuousRing(const QList<GeoPoint>& ring) {
    std::vector<GeoPoint> points;
    for (const GeoPoint& point : ring) {
        GeoPoint next = point;
        if (!points.empty())
            next.lng = points.back().lng + std::remainder(point.lng - points.back().lng, 360.0);
        if (points.empty() || !samePlace(next, points.back()))
            points.push_back(next);
    }
    if (points.size() > 1 && samePlace(points.front(), points.back()))
        points.pop_back();
    return points;
}

// Pieces of [west, east] within -180..180; the span is under 360 degrees.
std::vector<GeoBox> boxesOf(double south, double west, double north, double east) {
    if (west < -180)
        return {{south, west + 360, north, 180}, {south, -180, north, east}};
    if (east > 180)
        return {{south, west, north, 180}, {south, -180, north, east - 360}};
    return {{south, west, north, east}};
}

} // namespace

struct Area::Shape {
    PlanePolygon polygon;
    double west = 0;
    double east = 0;
};

Area Area::polygon(const QString& name, const QList<QList<GeoPoint>>& rings) {
    if (rings.isEmpty())
        throw notSimple(name, QStringLiteral("it has no outline"));
    auto shape = std::make_shared<Shape>();
    double outlineLng = 0;
    for (qsizetype r = 0; r < rings.size(); ++r) {
        for (const GeoPoint& point : rings[r]) {
            if (!std::isfinite(point.lat) || !std::isfinite(point.lng) || std::abs(point.lat) > 90)
                throw notSimple(name, QStringLiteral("a point is not on the globe"));
        }
        std::vector<GeoPoint> points = continuousRing(rings[r]);
        if (points.size() < 3)
            throw notSimple(name, QStringLiteral("a ring has fewer than 3 points"));
        // The outline starts within -180..180, each hole beside it.
        const double shift = r == 0 ? std::remainder(points.front().lng, 360.0) - points.front().lng
                                    : outlineLng +
                                          std::remainder(points.front().lng - outlineLng, 360.0) -
                                          points.front().lng;
        if (r == 0)
            outlineLng = points.front().lng + shift;
        bg::model::ring<PlanePoint> planeRing;
        for (const GeoPoint& point : points)
            planeRing.push_back(PlanePoint(point.lng + shift, point.lat));
        if (r == 0)
            shape->polygon.outer() = std::move(planeRing);
        else
            shape->polygon.inners().push_back(std::move(planeRing));
    }
    bg::correct(shape->polygon);
    bg::validity_failure_type failure = bg::no_failure;
    if (!bg::is_valid(shape->polygon, failure))
        throw notSimple(name, whyNotValid(failure));

    const auto envelope = bg::return_envelope<bg::model::box<PlanePoint>>(shape->polygon);
    shape->west = envelope.min_corner().x();
    shape->east = envelope.max_corner().x();

    Area area;
    area.kind_ = Kind::Polygon;
    area.name_ = name;
    area.rings_ = rings;
    for (QList<GeoPoint>& ring : area.rings_) {
        if (ring.size() > 1 && ring.front() == ring.back())
            ring.removeLast();
    }
    area.boxes_ =
        boxesOf(envelope.min_corner().y(), shape->west, envelope.max_corner().y(), shape->east);
    area.shape_ = std::move(shape);
    return area;
}

Area Area::circle(const QString& name, GeoPoint centre, double radiusMetres) {
    if (!std::isfinite(radiusMetres) || radiusMetres <= 0)
        throw Error(QStringLiteral("Area \"%1\" is not a circle: its radius is not a positive "
                                   "number of metres.")
                        .arg(name));
    if (!std::isfinite(centre.lat) || !std::isfinite(centre.lng) || std::abs(centre.lat) > 90)
        throw Error(QStringLiteral("Area \"%1\" is not a circle: its centre is not on the globe.")
                        .arg(name));
    Area area;
    area.kind_ = Kind::Circle;
    area.name_ = name;
    area.centre_ = {centre.lat, std::remainder(centre.lng, 360.0)};
    area.radius_ = radiusMetres;

    const double angle = radiusMetres / kSmallestRadiusMetres;
    const double north = centre.lat + degrees(angle);
    const double south = centre.lat - degrees(angle);
    if (north >= 90 || south <= -90) {
        // Round a pole: every longitude.
        area.boxes_ = {{std::max(south, -90.0), -180, std::min(north, 90.0), 180}};
    } else {
        const double halfWidth =
            degrees(std::asin(std::min(1.0, std::sin(angle) / std::cos(radians(centre.lat)))));
        area.boxes_ =
            boxesOf(south, area.centre_.lng - halfWidth, north, area.centre_.lng + halfWidth);
    }
    return area;
}

bool Area::contains(GeoPoint point) const {
    if (kind_ == Kind::Circle) {
        double metres = 0;
        GeographicLib::Geodesic::WGS84().Inverse(centre_.lat, centre_.lng, point.lat, point.lng,
                                                 metres);
        return metres <= radius_;
    }
    const double lng0 = std::abs(point.lng) <= 180 ? point.lng : std::remainder(point.lng, 360.0);
    for (const double lng : {lng0, lng0 + 360, lng0 - 360}) {
        if (lng >= shape_->west && lng <= shape_->east &&
            bg::covered_by(PlanePoint(lng, point.lat), shape_->polygon))
            return true;
    }
    return false;
}
