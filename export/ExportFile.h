#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Where exports go and how they reach the disk, apart from the dialogs.

// The user's Documents folder, or the next existing one of home and the
// temporary folder when it is missing or is the database's folder: exports
// never land beside the database.
QString defaultExportFolder(const QString& databaseFolder);

// Writes the bytes to a temporary file beside the path and renames it over
// the path once every byte is written, so a failed export leaves the old
// file whole. A file that exists is replaced only when confirmReplace(path)
// says yes; false when it says no. Throws Error with one message for the
// user when the folder cannot be written, the path is a link or the write
// fails.
bool writeExportFile(const QString& path, const QByteArray& bytes,
                     const std::function<bool(const QString&)>& confirmReplace);
