#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

// The map toolbar's image list: 32 x 32 pictures on a transparent background.
// Indexes: 0 close, 1 route, 2 marker, 3 search, 4 line drawing, 5 reload map,
// 6 last positions, 7 polygon drawing, 8 clear map.
inline constexpr int toolbarImageCount = 9;

QList<QPixmap> ImageList1();

// The picture at `index` as a button icon, sharp at 200 % too; a null icon
// outside the list.
QIcon toolbarImage(int index);
