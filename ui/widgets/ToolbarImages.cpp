#include "ui/widgets/ToolbarImages.h"

#include "ui/widgets/UiArtwork.h"

#include <array>

namespace {

const std::array<const char*, toolbarImageCount> fileNames = {
    "toolbar-0-close.png",          "toolbar-1-route.png",   "toolbar-2-marker.png",
    "toolbar-3-search.png",         "toolbar-4-line.png",    "toolbar-5-reload.png",
    "toolbar-6-last-positions.png", "toolbar-7-polygon.png", "toolbar-8-clear.png",
};

} // namespace

QList<QPixmap> ImageList1() {
    QList<QPixmap> images;
    for (const char* fileName : fileNames)
        images.append(uiImage(QString::fromLatin1(fileName)));
    return images;
}

QIcon toolbarImage(int index) {
    if (index < 0 || index >= toolbarImageCount)
        return {};
    return QIcon(uiImage(QString::fromLatin1(fileNames[index])));
}
