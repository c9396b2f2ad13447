#include "ui/views/ClusterSetting.h"

ClusterSetting ClusterSetting::fromIni(const QString& value) {
    const struct {
        const char* name;
        bool on;
    } words[] = {{"1", true},  {"true", true},   {"yes", true}, {"on", true},
                 {"0", false}, {"false", false}, {"no", false}, {"off", false}};
    if (value.isEmpty())
        return {};
    for (const auto& word : words)
        if (value.compare(QLatin1String(word.name), Qt::CaseInsensitive) == 0)
            return {word.on, {}};
    return {false, QStringLiteral("ClusterRadios in the INI file is not 1, 0, true or false: \"") +
                       value + QStringLiteral("\". Markers are not grouped.")};
}
