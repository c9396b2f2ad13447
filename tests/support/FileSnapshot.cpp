#include "FileSnapshot.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

FileSnapshot FileSnapshot::of(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return {hash.result(), QFileInfo(path).lastModified()};
}
