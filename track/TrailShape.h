#pragma once

#include <QPointF>

#include <span>
#include <vector>

// Which points of a path to draw when it must keep at most maxPoints: the
// first, the last and those where it turns most (Douglas-Peucker), so that a
// trail along streets keeps its corners instead of cutting across blocks.
// Points are (latitude, longitude) in degrees; returns their positions in
// order, all of them when they are few enough.
std::vector<qsizetype> trailPointsToKeep(std::span<const QPointF> latLng, qsizetype maxPoints);
