#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Where the program's own files go, decided from what the file system holds;
// the caller asks the file system, so the choice is testable without one.

// The INI file in use: the first candidate that is a regular file; the first
// candidate when none is, which then reads as an INI file without keys.
QString chooseIniFile(const QStringList& candidates,
                      const std::function<bool(const QString&)>& isRegularFile);

// The map page's folder: the program's folder when it can be written (a
// build folder) and is not one of the system's program folders (root can
// write /usr/bin, where a page would outlive the package), else the user's
// data folder. Never a shared folder such as /tmp: without a data folder the
// program's folder is kept, and writing the page there fails with the usual
// error.
QString chooseMapPageFolder(const QString& programFolder, bool programFolderWritable,
                            const QString& userDataFolder);
