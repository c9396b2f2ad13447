#pragma once

#include "track/TrackPoint.h"

#include <QList>
#include <QStringList>

// The commands sent after a drawn route's fixed ones: pins at its oldest and
// newest report (at the line's own rounded points) with their times and
// arrowheads along the line, then, with
// `fit`, the view fitted to the whole route. None when no report has a
// position. Reports oldest first.
QStringList routeMarkCommands(const QList<TrackPoint>& reports, bool fit);
