#include "track/TrailShape.h"

#include <boost/geometry/algorithms/simplify.hpp>
#include <boost/geometry/geometries/register/linestring.hpp>
#include <boost/geometry/geometries/register/point.hpp>
#include <boost/geometry/strategies/strategies.hpp>

#include <cmath>
#include <numbers>

namespace {

// A point on a plane where a degree of longitude is as long as it is at the
// path's latitude; the position rides along through the simplification.
struct PlanePoint {
    double x = 0;
    double y = 0;
    qsizetype at = 0;
};
using PlanePath = std::vector<PlanePoint>;

// About a metre in degrees of latitude; the tolerance doubles from there.
constexpr double firstTolerance = 1e-5;
constexpr int narrowingSteps = 10;

} // namespace

BOOST_GEOMETRY_REGISTER_POINT_2D(PlanePoint, double, boost::geometry::cs::cartesian, x, y)
BOOST_GEOMETRY_REGISTER_LINESTRING(PlanePath)

namespace {

PlanePath simplified(const PlanePath& path, double tolerance) {
    PlanePath simple;
    boost::geometry::simplify(path, simple, tolerance);
    return simple;
}

// The path's turns of more than the first tolerance, each stretch of one
// band on its own so that the points where the band changes stay.
PlanePath keptByBand(const PlanePath& path, std::span<const int> bands) {
    PlanePath kept;
    qsizetype start = 0;
    for (qsizetype at = 1; at < qsizetype(path.size()); ++at) {
        if (at + 1 < qsizetype(path.size()) && bands[at] == bands[at - 1])
            continue;
        const PlanePath stretch(path.begin() + start, path.begin() + at + 1);
        PlanePath simple = simplified(stretch, firstTolerance);
        // A stretch standing still comes back as one point.
        if (simple.back().at != stretch.back().at)
            simple.push_back(stretch.back());
        kept.insert(kept.end(), simple.begin() + (kept.empty() ? 0 : 1), simple.end());
        start = at;
    }
    return kept;
}

// The path's turns of most consequence, at most `room` points.
PlanePath keptWithin(const PlanePath& path, qsizetype room) {
    // Double the tolerance until the path fits, then narrow it down, so that
    // the path keeps as many of its turns as there is room for.
    double tooFine = 0;
    double enough = firstTolerance;
    PlanePath simple = simplified(path, enough);
    while (qsizetype(simple.size()) > room) {
        tooFine = enough;
        enough *= 2;
        simple = simplified(path, enough);
    }
    for (int step = 0; step < narrowingSteps && tooFine > 0; ++step) {
        const double middle = (tooFine + enough) / 2;
        PlanePath finer = simplified(path, middle);
        if (qsizetype(finer.size()) > room) {
            tooFine = middle;
        } else {
            enough = middle;
            simple = std::move(finer);
        }
    }
    if (simple.back().at != path.back().at)
        simple.push_back(path.back());
    return simple;
}

} // namespace

std::vector<qsizetype> trailPointsToKeep(std::span<const QPointF> latLng,
                                         std::span<const int> bands, qsizetype maxPoints) {
    std::vector<qsizetype> kept;
    if (latLng.size() <= 2) {
        for (qsizetype at = 0; at < qsizetype(latLng.size()); ++at)
            kept.push_back(at);
        return kept;
    }
    const double xScale = std::cos(latLng.back().x() * std::numbers::pi / 180.0);
    PlanePath path;
    path.reserve(latLng.size());
    for (qsizetype at = 0; at < qsizetype(latLng.size()); ++at)
        path.push_back({latLng[at].y() * xScale, latLng[at].x(), at});
    PlanePath simple = keptByBand(path, bands);
    if (qsizetype(simple.size()) > maxPoints)
        simple = keptWithin(path, std::max<qsizetype>(maxPoints, 2));
    for (const PlanePoint& point : simple)
        kept.push_back(point.at);
    return kept;
}
