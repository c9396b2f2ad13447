#include "ui/ExportActions.h"

#include "app/ApplicationTitle.h"
#include "app/Error.h"
#include "app/Messages.h"
#include "export/CsvWriter.h"
#include "export/ExportFile.h"
#include "export/ModelRows.h"
#include "export/RouteExport.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>

ExportActions::ExportActions(QWidget* dialogParent)
    : dialogParent_(dialogParent) {}

void ExportActions::exportRoute(const QList<TrackPoint>& reports, const QString& routeName) {
    QString filter;
    const QString suggested =
        QDir(startFolder())
            .filePath(QString(routeName).toLower().replace(u' ', u'-') + QStringLiteral(".gpx"));
    const QString path = QFileDialog::getSaveFileName(dialogParent_, QStringLiteral("Export Route"),
                                                      suggested, routeFileFilters(), &filter,
                                                      QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        exportRouteTo(path, filter, reports, routeName,
                      [this](const QString& p) { return askToReplace(p); });
}

void ExportActions::exportEventLog(const QAbstractItemModel& rows) {
    const QString path = QFileDialog::getSaveFileName(
        dialogParent_, QStringLiteral("Export Event Log"),
        QDir(startFolder()).filePath(QStringLiteral("event-log.csv")),
        QStringLiteral("CSV table (*.csv)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        exportEventLogTo(path, rows, [this](const QString& p) { return askToReplace(p); });
}

void ExportActions::saveMapImage(const QImage& map, const QDateTime& shown) {
    const QString path = QFileDialog::getSaveFileName(
        dialogParent_, QStringLiteral("Save Map Image"),
        QDir(startFolder()).filePath(mapImageName(shown)), QStringLiteral("PNG image (*.png)"),
        nullptr, QFileDialog::DontConfirmOverwrite);
    if (!path.isEmpty())
        saveMapImageTo(path, map, [this](const QString& p) { return askToReplace(p); });
}

void ExportActions::saveMapImageTo(const QString& path, const QImage& map,
                                   const ConfirmReplace& confirmReplace) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    map.save(&buffer, "PNG");
    const QString named =
        path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? path : path + ".png";
    save(named, png, confirmReplace);
}

QString ExportActions::mapImageName(const QDateTime& shown) {
    return shown.toString(QStringLiteral("'map-'yyyy-MM-dd-HH-mm-ss'.png'"));
}

void ExportActions::exportRouteTo(const QString& path, const QString& selectedFilter,
                                  const QList<TrackPoint>& reports, const QString& routeName,
                                  const ConfirmReplace& confirmReplace) {
    const RouteFormat format = routeFormatFor(path, selectedFilter);
    save(withRouteExtension(path, format), routeDocument(reports, routeName, format),
         confirmReplace);
}

void ExportActions::exportEventLogTo(const QString& path, const QAbstractItemModel& rows,
                                     const ConfirmReplace& confirmReplace) {
    const QString csvPath =
        QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".csv") : path;
    save(csvPath, csvDocument(modelRows(rows)), confirmReplace);
}

QString ExportActions::saveAs(const QString& title, const QString& suggestedName,
                              const QString& filter, const QByteArray& bytes) {
    const QString path = QFileDialog::getSaveFileName(
        dialogParent_, title, QDir(startFolder()).filePath(suggestedName), filter, nullptr,
        QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return QString();
    try {
        if (writeExportFile(path, bytes, [this](const QString& p) { return askToReplace(p); })) {
            lastFolder_ = QFileInfo(path).absolutePath();
            return path;
        }
    } catch (const Error& error) {
        showPlainMessage(error.message());
    }
    return QString();
}

QString ExportActions::startFolder() const {
    return lastFolder_.isEmpty() ? defaultExportFolder(QDir::currentPath()) : lastFolder_;
}

bool ExportActions::askToReplace(const QString& path) {
    return QMessageBox::question(dialogParent_, applicationTitle(),
                                 QStringLiteral("\"%1\" already exists. Do you want to replace it?")
                                     .arg(QDir::toNativeSeparators(path))) == QMessageBox::Yes;
}

void ExportActions::save(const QString& path, const QByteArray& bytes,
                         const ConfirmReplace& confirmReplace) {
    try {
        if (writeExportFile(path, bytes, confirmReplace))
            lastFolder_ = QFileInfo(path).absolutePath();
    } catch (const Error& error) {
        showPlainMessage(error.message());
    }
}
