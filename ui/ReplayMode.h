#pragma once

#include "store/TableReplica.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class CoorPosLayout;
class ExclusiveRun;
class RadioTree;
class ReplayView;
class TableCursor;

// Map > Replay…: the fleet at a past time under the replay bar. Entering puts
// the live map and the grid's filter and row aside; leaving gives them back
// as they were. While it lasts, the live runs leave the map alone.
class ReplayMode : public QObject {
    Q_OBJECT
public:
    ReplayMode(CoorPosLayout& ui, TableCursor& positions, const RadioTree& tree, ExclusiveRun& run,
               QObject* parent = nullptr);
    ~ReplayMode() override;

    bool isActive() const { return active_; }
    void setStaleMinutes(int minutes) { staleMinutes_ = minutes; }
    void open();
    void close();
    // The frame at the bar's time, for the radios ticked now.
    void showFrame();
    // The bar's time as a local time, as the stored times read.
    QDateTime replayTime() const;

private:
    void indexReadRows(const TableReplica::Change& change);
    void showUnreadableTimes();
    void chooseRange(int range);
    void followMarkerAt(double lat, double lng);
    void moveGridTo(std::optional<quint32> row);
    QList<qint32> tickedRadios() const;

    CoorPosLayout& ui_;
    TableCursor& positions_;
    const RadioTree& tree_;
    ExclusiveRun& run_;
    int staleMinutes_ = 10;
    bool active_ = false;
    std::unique_ptr<ReplayView> view_;
    std::optional<qint32> followed_;
    // The grid as live left it.
    QString liveFilter_;
    int liveRow_ = -1;
};
