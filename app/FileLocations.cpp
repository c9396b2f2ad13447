#include "app/FileLocations.h"

#include <QDir>

QString chooseIniFile(const QStringList& candidates,
                      const std::function<bool(const QString&)>& isRegularFile) {
    for (const QString& candidate : candidates)
        if (isRegularFile(candidate))
            return candidate;
    return candidates.value(0);
}

QString chooseMapPageFolder(const QString& programFolder, bool programFolderWritable,
                            const QString& userDataFolder) {
    static const QStringList systemProgramFolders = {
        QStringLiteral("/usr/bin"), QStringLiteral("/usr/local/bin"), QStringLiteral("/bin"),
        QStringLiteral("/usr/games")};
    const bool ownFolder =
        programFolderWritable && !systemProgramFolders.contains(QDir::cleanPath(programFolder));
    if (ownFolder || userDataFolder.isEmpty())
        return programFolder;
    return userDataFolder;
}
