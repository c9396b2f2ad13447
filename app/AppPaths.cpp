#include "app/AppPaths.h"

#include <QCoreApplication>
#include <QDir>

QString besideExecutable(const QString& fileName) {
    return QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
}
