#pragma once

#include <QImage>
#include <QList>
#include <QString>

// One 32 x 32 toolbar picture with a transparent background, and the file it is stored in.
struct ToolbarPicture {
    QString fileName;
    QImage image;
};

// The image list of the map toolbar, in index order.
QList<ToolbarPicture> drawToolbarPictures();
