#pragma once

#include "store/CoordinateText.h"

class TableCursor;

// Coordinate pair text of the position table's current report, each
// coordinate signed by its hemisphere letter.
QString currentPairText(const TableCursor& table, QuotientRule rule);
