#pragma once

#include <QImage>
#include <QList>
#include <QString>

// One toolbar picture with a transparent background, 32 x 32 points, and the
// file it is stored in.
struct ToolbarPicture {
    QString fileName;
    QImage image;
};

// The image list of the map toolbar, in index order, drawn at `scale` pixels
// a point; the files of scale 2 are named "<name>@2x.png".
QList<ToolbarPicture> drawToolbarPictures(int scale = 1);
