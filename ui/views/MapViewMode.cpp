#include "ui/views/MapViewMode.h"

MapViewSetting MapViewSetting::fromIni(const QString& value) {
    const struct {
        const char* name;
        MapViewMode mode;
    } names[] = {{"FollowLast", MapViewMode::FollowLast},
                 {"FitAll", MapViewMode::FitAll},
                 {"KeepMine", MapViewMode::KeepMine}};
    if (value.isEmpty())
        return {};
    for (const auto& entry : names)
        if (value.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return {entry.mode, {}};
    return {MapViewMode::FollowLast,
            QStringLiteral("MapView in the INI file is not FollowLast, FitAll or KeepMine: \"") +
                value + QStringLiteral("\". The map follows the last radio.")};
}
