#include "alerts/AreaIndex.h"

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>

#include <algorithm>
#include <cmath>
#include <utility>

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace {
using PlanePoint = bg::model::d2::point_xy<double>; // x longitude, y latitude
using PlaneBox = bg::model::box<PlanePoint>;
using Entry = std::pair<PlaneBox, int>;
} // namespace

struct AreaIndex::Tree {
    bgi::rtree<Entry, bgi::rstar<16>> rtree;
};

AreaIndex::AreaIndex(const std::vector<Area>& areas)
    : tree_(std::make_unique<Tree>()) {
    std::vector<Entry> entries;
    for (int place = 0; place < int(areas.size()); ++place) {
        for (const GeoBox& box : areas[place].boxes()) {
            entries.emplace_back(
                PlaneBox(PlanePoint(box.west, box.south), PlanePoint(box.east, box.north)), place);
        }
    }
    // Packed in one go: faster to build and to query than one insert at a time.
    tree_->rtree = decltype(tree_->rtree)(entries.begin(), entries.end());
}

AreaIndex::~AreaIndex() = default;
AreaIndex::AreaIndex(AreaIndex&&) noexcept = default;
AreaIndex& AreaIndex::operator=(AreaIndex&&) noexcept = default;

void AreaIndex::candidates(GeoPoint point, std::vector<int>& found) const {
    found.clear();
    const double lng = std::remainder(point.lng, 360.0);
    auto collect = [&](double x) {
        for (auto it = tree_->rtree.qbegin(bgi::intersects(PlanePoint(x, point.lat)));
             it != tree_->rtree.qend(); ++it) {
            found.push_back(it->second);
        }
    };
    collect(lng);
    // -180 and 180 are one meridian; boxes end at either.
    if (std::abs(lng) == 180) {
        collect(-lng);
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
    }
}
