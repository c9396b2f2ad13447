#pragma once

#include "store/DateTimeValue.h"

#include <QDateTime>
#include <QString>

// How old a report is, as a marker's label says it: "now" under a minute,
// "3 min", "2 h 5 min", "3 d 4 h"; a report stamped ahead of the clock reads
// "in 5 min (clock ahead)", and one whose time did not read "unknown age".
QString reportAgeText(DateTimeValue stamp, const QDateTime& now);

// A report older than staleMinutes, or one whose time did not read, is stale:
// its radio may have stopped reporting. One stamped ahead of the clock is not.
bool isStale(DateTimeValue stamp, const QDateTime& now, int staleMinutes);
