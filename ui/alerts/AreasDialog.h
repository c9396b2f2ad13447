#pragma once

#include "alerts/Area.h"

#include <QDialog>
#include <QList>

#include <functional>
#include <optional>
#include <vector>

class QTableWidget;

// Map > Areas…: the areas with their name (edited in place), kind, radios
// (all, a project's, or chosen ones), rule (on enter, on leave, on both) and
// whether the map shows them; polygons drawn on the map and circles are kept
// as new areas, and areas deleted. Every change is applied at once.
//   AreaTable, KeepDrawnPolygon, AddCircle, DeleteArea
class AreasDialog : public QDialog {
    Q_OBJECT
public:
    struct Project {
        qint32 id = 0;
        QString name;
    };

    AreasDialog(std::vector<Area> areas, QList<Project> projects, QWidget* parent = nullptr);

    // The newest polygon drawn on the map, as [[lat, lng], ...]; none when
    // nothing is drawn.
    void setDrawnPolygon(std::function<std::optional<QList<GeoPoint>>()> drawnPolygon);
    // Where a new circle starts: the last click on the map.
    void setCircleCentre(std::optional<GeoPoint> centre) { circleCentre_ = centre; }
    const std::vector<Area>& areas() const { return areas_; }

    // The steps behind the buttons, without their questions. Throws Error
    // when the shape is not one an area can be.
    void keepPolygon(const QString& name, const QList<GeoPoint>& outline);
    void addCircle(const QString& name, GeoPoint centre, double radiusMetres);
    void deleteArea(int row);
    void setRadiosOf(int row, const AreaRadios& radios);
    void setRuleOf(int row, AreaRule rule);

signals:
    void areasChanged(const std::vector<Area>& areas);

private:
    void showAreas();
    void addRow(int row);
    void askForPolygon();
    void askForCircle();
    void cellChanged(int row, int column);
    void radiosChosen(int row, int index);
    QString radiosText(const AreaRadios& radios) const;
    void changed();

    std::vector<Area> areas_;
    QList<Project> projects_;
    std::function<std::optional<QList<GeoPoint>>()> drawnPolygon_;
    std::optional<GeoPoint> circleCentre_;
    QTableWidget* table_;
};
