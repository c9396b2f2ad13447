#include "export/ExportFile.h"

#include "app/Error.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Links resolved where the folder exists, so two names of one folder compare equal.
QString folderKey(const QString& folder) {
    const QFileInfo info(folder);
    return info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
}

} // namespace

QString defaultExportFolder(const QString& databaseFolder) {
    const QString database = folderKey(databaseFolder);
    for (const auto location : {QStandardPaths::DocumentsLocation, QStandardPaths::HomeLocation,
                                QStandardPaths::TempLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QFileInfo(folder).isDir() && folderKey(folder) != database)
            return folder;
    }
    return QDir::tempPath();
}

bool writeExportFile(const QString& path, const QByteArray& bytes,
                     const std::function<bool(const QString&)>& confirmReplace) {
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir() || !folder.isWritable())
        throw Error(QStringLiteral("The folder \"%1\" cannot be written to. Please choose "
                                   "another folder.")
                        .arg(QDir::toNativeSeparators(folder.absoluteFilePath())));
    // A link would be written through to wherever it points, a missing file
    // there created without a question.
    if (target.isSymLink())
        throw Error(QStringLiteral("\"%1\" is a link. Exports are not written through links; "
                                   "please choose another file name.")
                        .arg(QDir::toNativeSeparators(path)));
    if (target.exists() && !confirmReplace(path))
        return false;
    // Unbuffered, so a failed write is seen before commit(), which does not
    // fail when its own flush of buffered bytes does and would put an empty
    // file in the old one's place. Without commit() the temporary file goes.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit())
        throw Error(QStringLiteral("\"%1\" could not be written: %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    return true;
}
