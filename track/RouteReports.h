#pragma once

#include "track/TrackPoint.h"

#include <QList>

class TableCursor;

// The reports a route run drew: the newest `count` passing rows of the
// position table's cursor, oldest first, read without converting errors into
// failures (a report that does not convert has no position). The cursor is
// left on the row it was on.
QList<TrackPoint> newestRouteReports(TableCursor& positions, qint32 count);
