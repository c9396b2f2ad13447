#pragma once

#include "alerts/AlertLog.h"

#include <QHash>
#include <QSet>
#include <QWidget>

class AlertSound;
class QCheckBox;
class QPushButton;
class QSlider;
class QTreeWidget;
class QTreeWidgetItem;

// The alert list, newest first: time, radio, member, what happened, area.
// Alerts not yet acknowledged are bold and keep the sound ringing; each has
// its own "Acknowledge" button, and "Acknowledge all" takes them all.
// A double-click asks to centre the map on the alert's report.
//   AlertList, AcknowledgeAllAlerts, AlertVolume, AlertMute, ExportAlerts
class AlertPanel : public QWidget {
    Q_OBJECT
public:
    explicit AlertPanel(QWidget* parent = nullptr);

    // Members' names by radio id, as the radio tree shows them.
    void setMemberNames(const QHash<qint32, QString>& names);
    void addAlerts(const QList<Alert>& alerts);
    const AlertLog& log() const { return log_; }
    void acknowledge(quint64 serial);
    void acknowledgeAll();
    AlertSound& sound() { return *sound_; }
    // The list as CSV: time, radio, member, what, area, latitude, longitude,
    // acknowledged.
    QByteArray csv() const;

signals:
    // The radios with an alert not yet acknowledged, after each change.
    void markedRadiosChanged(const QSet<qint32>& radios);
    void centreRequested(GeoPoint position);
    void exportRequested();

private:
    void showState(int row);
    void changed();
    QStringList rowTexts(const Alert& alert) const;

    AlertLog log_;
    QHash<qint32, QString> names_;
    QTreeWidget* list_;
    QPushButton* acknowledgeAll_;
    QSlider* volume_;
    QCheckBox* mute_;
    AlertSound* sound_;
};
