#pragma once

#include <QPointF>

#include <span>
#include <vector>

// Which points of a trail to draw: its ends, those where its band of age
// changes (each band is drawn in its own shade) and, between them, those where
// it turns by more than about a metre; a trail along streets keeps its
// corners, and a straight stretch costs two points however often the radio
// reported on it. When that is more than maxPoints, the points where it turns
// most (Douglas-Peucker), bands left aside. Points are (latitude, longitude)
// in degrees, one band each; returns their positions in order.
std::vector<qsizetype> trailPointsToKeep(std::span<const QPointF> latLng,
                                         std::span<const int> bands, qsizetype maxPoints);
