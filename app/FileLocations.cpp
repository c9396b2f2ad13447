#include "app/FileLocations.h"

QString chooseIniFile(const QStringList& candidates,
                      const std::function<bool(const QString&)>& isRegularFile) {
    for (const QString& candidate : candidates)
        if (isRegularFile(candidate))
            return candidate;
    return candidates.value(0);
}

QString chooseMapPageFolder(const QString& programFolder, bool programFolderWritable,
                            const QString& userDataFolder) {
    if (programFolderWritable || userDataFolder.isEmpty())
        return programFolder;
    return userDataFolder;
}
