#pragma once

#include "alerts/Area.h"

#include <QSet>
#include <QString>

#include <vector>

struct MarkerLabels;

// The page's commands for the areas shown and for the radios an alert marks.
namespace AreaMapCommands {

// The areas the list shows on the map; hidden ones are left off.
QString showAreas(const std::vector<Area>& areas);
// The radios by their labels' titles, as the last-position run writes them.
QString markRadios(const QSet<qint32>& radios, const MarkerLabels& labels);

} // namespace AreaMapCommands
