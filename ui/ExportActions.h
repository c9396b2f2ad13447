#pragma once

#include "track/TrackPoint.h"

#include <QList>
#include <QString>

#include <functional>

class QAbstractItemModel;
class QByteArray;
class QDateTime;
class QImage;
class QWidget;

// File > Export Route…, Export Event Log… and Save Map Image…: the save dialog, the file's
// form by its name or the dialog's filter, the question before a file is
// replaced, and the folder the next export starts in (this session only).
class ExportActions {
public:
    using ConfirmReplace = std::function<bool(const QString&)>;

    explicit ExportActions(QWidget* dialogParent);

    void exportRoute(const QList<TrackPoint>& reports, const QString& routeName);
    void exportEventLog(const QAbstractItemModel& rows);
    // The map as shown, named after the time it shows.
    void saveMapImage(const QImage& map, const QDateTime& shown);

    // The same without the dialog: a file that exists is replaced only when
    // confirmReplace says yes; a failure shows one message.
    void exportRouteTo(const QString& path, const QString& selectedFilter,
                       const QList<TrackPoint>& reports, const QString& routeName,
                       const ConfirmReplace& confirmReplace);
    void exportEventLogTo(const QString& path, const QAbstractItemModel& rows,
                          const ConfirmReplace& confirmReplace);
    void saveMapImageTo(const QString& path, const QImage& map,
                        const ConfirmReplace& confirmReplace);
    // "map-2026-03-10-14-32-05.png"
    static QString mapImageName(const QDateTime& shown);

    // A save dialog from the export folder, then the bytes written as for the
    // exports (asking before a file is replaced); the path written, or empty.
    QString saveAs(const QString& title, const QString& suggestedName, const QString& filter,
                   const QByteArray& bytes);

private:
    QString startFolder() const;
    bool askToReplace(const QString& path);
    void save(const QString& path, const QByteArray& bytes, const ConfirmReplace& confirmReplace);

    QWidget* dialogParent_;
    QString lastFolder_;
};
