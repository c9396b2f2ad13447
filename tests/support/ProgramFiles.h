#pragma once

#include <QByteArray>
#include <QString>

// The INI file the program under test reads beside its executable.
QString iniBesideExecutable();

// Writes the bytes to the file; fails the running test when it cannot.
void writeFile(const QString& path, const QByteArray& bytes);
