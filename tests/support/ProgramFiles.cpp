#include "ProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

QString iniBesideExecutable() {
    return QDir(QCoreApplication::applicationDirPath()).filePath("tavirelmonkas.ini");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}
