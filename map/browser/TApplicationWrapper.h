#pragma once

#include <QObject>
#include <QString>

// The object the page reaches as `external`.
class TApplicationWrapper : public QObject {
    Q_OBJECT
public:
    explicit TApplicationWrapper(QObject* parent = nullptr);

public slots:
    void DoError(const QString& ErrorMessage);
    void DoGeoCodeFound(double lat, double lng);
    void DoClick(double lat, double lng);
    void DoMarkerClick(double lat, double lng);

signals:
    // The text for the main window's status bar.
    void statusReported(const QString& text);
    // A click on the map itself, not on a marker.
    void mapClicked(double lat, double lng);
    // A click on a marker, at its point.
    void markerClicked(double lat, double lng);
};
