#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// A file's content hash and time stamp, to show that nothing wrote to it.
struct FileSnapshot {
    QByteArray sha256;
    QDateTime modified;

    static FileSnapshot of(const QString& path); // empty for a missing file
    bool operator==(const FileSnapshot&) const = default;
};
