#include "app/Resources.h"

#include <QFile>

QByteArray builtInResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("The resource %s is missing", qPrintable(path));
    return file.readAll();
}
