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

std::vector<qsizetype> trailPointsToKeep(std::span<const QPointF> latLng, qsizetype maxPoints) {
    std::vector<qsizetype> kept;
    if (qsizetype(latLng.size()) <= maxPoints) {
        for (qsizetype at = 0; at < qsizetype(latLng.size()); ++at)
            kept.push_back(at);
        return kept;
    }
    const double xScale = std::cos(latLng.back().x() * std::numbers::pi / 180.0);
    PlanePath path;
    path.reserve(latLng.size());
    for (qsizetype at = 0; at < qsizetype(latLng.size()); ++at)
        path.push_back({latLng[at].y() * xScale, latLng[at].x(), at});
    const auto simplified = [&](double tolerance) {
        PlanePath simple;
        boost::geometry::simplify(path, simple, tolerance);
        return simple;
    };
    const qsizetype room = std::max<qsizetype>(maxPoints, 2);
    // Double the tolerance until the path fits, then narrow it down, so that
    // the path keeps as many of its turns as there is room for.
    double tooFine = 0;
    double enough = firstTolerance;
    PlanePath simple = simplified(enough);
    while (qsizetype(simple.size()) > room) {
        tooFine = enough;
        enough *= 2;
        simple = simplified(enough);
    }
    for (int step = 0; step < narrowingSteps && tooFine > 0; ++step) {
        const double middle = (tooFine + enough) / 2;
        PlanePath finer = simplified(middle);
        if (qsizetype(finer.size()) > room) {
            tooFine = middle;
        } else {
            enough = middle;
            simple = std::move(finer);
        }
    }
    for (const PlanePoint& point : simple)
        kept.push_back(point.at);
    // A path that never moved comes back as its first point; the trail must
    // still end where the radio is.
    if (kept.back() != qsizetype(latLng.size()) - 1)
        kept.push_back(qsizetype(latLng.size()) - 1);
    return kept;
}
