#include "ui/alerts/AreaMapCommands.h"

#include "alerts/AreaFile.h"
#include "map/ScriptCommands.h"
#include "ui/views/MarkerLabels.h"

#include <algorithm>

namespace AreaMapCommands {

// The page draws the areas from the areas file's own GeoJSON.
QString showAreas(const std::vector<Area>& areas) {
    std::vector<Area> shown;
    std::copy_if(areas.begin(), areas.end(), std::back_inserter(shown),
                 [](const Area& area) { return area.isShown(); });
    return ScriptCommands::showAreas(AreaFile::toJson(shown, QJsonDocument::Compact));
}

QString markRadios(const QSet<qint32>& radios, const MarkerLabels& labels) {
    QList<qint32> sorted(radios.begin(), radios.end());
    std::sort(sorted.begin(), sorted.end());
    QStringList titles;
    for (const qint32 radio : sorted)
        titles << labels.titleOf(QString::number(radio), radio);
    return ScriptCommands::setAlertedRadios(titles);
}

} // namespace AreaMapCommands
