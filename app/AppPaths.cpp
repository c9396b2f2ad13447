#include "app/AppPaths.h"

#include "app/FileLocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString userFolder(QStandardPaths::StandardLocation location) {
    const QString base = QStandardPaths::writableLocation(location);
    return base.isEmpty() ? QString() : QDir(base).filePath(QLatin1String(installFolderName));
}

} // namespace

QString besideExecutable(const QString& fileName) {
    return QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
}

QString iniFilePath() {
    const QString name = QLatin1String(iniFileName);
    QStringList candidates{besideExecutable(name),
                           QDir(QLatin1String(systemConfigFolder)).filePath(name)};
    const QString userConfig = userFolder(QStandardPaths::GenericConfigLocation);
    if (!userConfig.isEmpty())
        candidates << QDir(userConfig).filePath(name);
    return chooseIniFile(candidates, [](const QString& path) { return QFileInfo(path).isFile(); });
}

QString mapPageFolder() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    return chooseMapPageFolder(programFolder, QFileInfo(programFolder).isWritable(),
                               userFolder(QStandardPaths::GenericDataLocation));
}
