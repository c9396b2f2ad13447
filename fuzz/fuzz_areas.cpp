// The areas file reader over any bytes. A file it takes must be written back
// to the same areas, and every area must answer where a point lies.

#include "alerts/AreaFile.h"
#include "alerts/AreaIndex.h"
#include "app/Error.h"
#include "fuzz/FuzzCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

bool sameArea(const Area& a, const Area& b) {
    return a.kind() == b.kind() && a.name() == b.name() && a.rule() == b.rule() &&
           a.radios() == b.radios() && a.isShown() == b.isShown() && a.rings() == b.rings() &&
           a.centre() == b.centre() && a.radiusMetres() == b.radiusMetres();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<Area> areas;
    try {
        areas = AreaFile::parse(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    } catch (const Error& error) {
        fuzzCheck(!error.message().isEmpty(), "a refused file says why");
        return 0;
    }

    std::vector<Area> again;
    try {
        again = AreaFile::parse(AreaFile::toJson(areas));
    } catch (const Error& e) {
        fprintf(stderr, "%s\n%s\n", qPrintable(e.message()), AreaFile::toJson(areas).constData());
        fuzzCheck(false, "the areas taken are written back to a file that reads");
    }
    fuzzCheck(again.size() == areas.size(), "as many areas read back");
    for (std::size_t k = 0; k < areas.size(); ++k)
        fuzzCheck(sameArea(areas[k], again[k]), "each area read back the same");

    const AreaIndex index(areas);
    std::vector<int> candidates;
    for (std::size_t k = 0; k < areas.size(); ++k) {
        const Area& area = areas[k];
        const GeoPoint probe =
            area.kind() == Area::Kind::Circle ? area.centre() : area.rings().front().front();
        if (std::abs(probe.lng) > 180)
            continue;
        // A point on the border is inside, and the index offers the area.
        fuzzCheck(area.contains(probe), "a polygon's vertex or a circle's centre is inside it");
        index.candidates(probe, candidates);
        fuzzCheck(std::find(candidates.begin(), candidates.end(), int(k)) != candidates.end(),
                  "the index offers an area for a point inside it");
    }
    return 0;
}
