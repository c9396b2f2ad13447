#pragma once

#include <QDateTime>
#include <QStringList>

#include <utility>

// The ready-made date ranges of the "Fast Search" tab, in the order the
// choice lists them.
enum class QuickRange { LastHour, Today, Yesterday };

QStringList quickRangeNames();
// First and last bound of the range at `now`: the hour up to now, or the
// whole day from midnight to its last millisecond.
std::pair<QDateTime, QDateTime> quickRangeBounds(QuickRange range, const QDateTime& now);
