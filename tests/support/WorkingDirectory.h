#pragma once

#include <QDir>
#include <QTemporaryDir>

// Runs the test body with the working directory set to a fresh folder, where
// the program looks for its database.
class WorkingDirectory {
public:
    WorkingDirectory()
        : previous_(QDir::currentPath()) {
        QDir::setCurrent(dir_.path());
    }
    ~WorkingDirectory() { QDir::setCurrent(previous_); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

    QString filePath(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
};
