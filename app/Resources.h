#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a resource compiled into the program, e.g. ":/web/maplayer.js".
// A missing one is a broken build, so the program stops with its name.
QByteArray builtInResource(const QString& path);
