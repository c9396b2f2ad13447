// The last-position run: a marker and a label per selected radio.
#pragma once

#include "ui/views/MapViewMode.h"

#include <QStringList>

class SelectedRadios;
class TableCursor;
struct MarkerLabels;
struct ViewOutput;

// One marker per selected radio at its last report, then the map centred on
// the last radio shown. With labels, each marker command is followed by its
// label's. The other view modes fit the markers instead of centring, or move
// the radios' markers in place and leave the view alone.
// A radio whose newest report's coordinates do not convert is left off the
// map, the others are drawn, and the status text names it; the result holds
// one text per such radio for the error report.
QStringList showLastPositions(const SelectedRadios& radios, TableCursor& table, const QString& zoom,
                              const ViewOutput& out, const MarkerLabels* labels = nullptr,
                              MapViewMode mode = MapViewMode::FollowLast);
