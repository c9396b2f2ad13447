#include "ui/widgets/ToolbarImages.h"

#include "ui/widgets/UiArtwork.h"

#include <array>

namespace {

const std::array<const char*, toolbarImageCount> baseNames = {
    "toolbar-0-close",          "toolbar-1-route",   "toolbar-2-marker",
    "toolbar-3-search",         "toolbar-4-line",    "toolbar-5-reload",
    "toolbar-6-last-positions", "toolbar-7-polygon", "toolbar-8-clear",
};

} // namespace

QList<QPixmap> ImageList1() {
    QList<QPixmap> images;
    for (const char* baseName : baseNames)
        images.append(uiImage(QLatin1String(baseName) + QStringLiteral(".png")));
    return images;
}

QIcon toolbarImage(int index) {
    if (index < 0 || index >= toolbarImageCount)
        return {};
    return uiIcon(QLatin1String(baseNames[index]));
}
