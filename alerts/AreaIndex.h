#pragma once

#include "alerts/Area.h"

#include <memory>
#include <vector>

// The areas' boxes in an R-tree: which areas may hold a point, without
// looking at every area.
class AreaIndex {
public:
    explicit AreaIndex(const std::vector<Area>& areas = {});
    ~AreaIndex();
    AreaIndex(AreaIndex&&) noexcept;
    AreaIndex& operator=(AreaIndex&&) noexcept;

    // Places in the list given of the areas whose boxes hold the point, in no
    // particular order, replacing what `found` held.
    void candidates(GeoPoint point, std::vector<int>& found) const;

private:
    struct Tree;
    std::unique_ptr<Tree> tree_;
};
