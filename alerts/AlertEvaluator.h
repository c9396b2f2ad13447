#pragma once

#include "alerts/Alert.h"
#include "alerts/Area.h"
#include "alerts/AreaIndex.h"
#include "store/ColumnStore.h"
#include "store/DateTimeValue.h"
#include "store/RadioTimeIndex.h"
#include "store/TableReplica.h"

#include <QDateTime>
#include <QHash>
#include <QList>

#include <limits>
#include <optional>
#include <vector>

// Which radio is in which area, and whether it still reports, kept from the
// position reports as they are appended: each refresh costs the reports it
// brought, not the table. All radios of the table count, ticked or not.
class AlertEvaluator {
public:
    explicit AlertEvaluator(int staleMinutes);

    // The radios' places follow the new areas at once, without alerts.
    void setAreas(std::vector<Area> areas);
    const std::vector<Area>& areas() const { return areas_; }
    // The projects of each radio, for the areas that watch a project; the
    // radios' places follow at once, without alerts.
    void setProjectsOfRadios(const QHash<qint32, QList<qint32>>& projects);

    // Each radio's place and last report from its newest report, raising no
    // alert for the past: a radio already silent at `now` is not announced.
    // The index, over all of the rows, finds each radio's newest report.
    void start(const ColumnStore& rows, const RadioTimeIndex& index, const QDateTime& now);
    bool isStarted() const { return started_; }
    // Rows first .. end - 1, appended since the last call, taken in time
    // order (reports of one time in row order). A report older than its
    // radio's last one moves nothing; a report whose coordinates do not
    // convert only shows that its radio is reporting.
    QList<Alert> evaluate(const ColumnStore& rows, quint32 first, quint32 end);
    // After a refresh: appended rows are evaluated. Rows read anew (a table
    // changed in place) are not new reports: each radio's place follows its
    // newest one without alerts, and only rows past the highest row id seen
    // are evaluated. The first call starts.
    QList<Alert> follow(const ColumnStore& rows, const RadioTimeIndex& index,
                        const TableReplica::Change& change, const QDateTime& now);
    // Radios without a report for StaleMinutes at `now`, once per silence;
    // the next report clears it with a "reporting again" alert.
    QList<Alert> silences(const QDateTime& now);

private:
    struct Report;
    struct Columns;
    struct RadioState {
        DateTimeValue time = 0;
        std::optional<GeoPoint> position;
        std::vector<int> inside; // sorted places in areas_
        enum class Silence { Reporting, Unannounced, Announced } silence = Silence::Reporting;
    };

    std::vector<Report> reportsOf(const ColumnStore& rows, quint32 first, quint32 end,
                                  qint64 afterId = std::numeric_limits<qint64>::min()) const;
    std::vector<Report> newestOf(const ColumnStore& rows, const RadioTimeIndex& index,
                                 qint64 upToId) const;
    void settle(const std::vector<Report>& reports);
    void apply(const Report& report, QList<Alert>& alerts);
    std::vector<int> areasHolding(qint32 radio, GeoPoint position) const;
    bool watches(const Area& area, qint32 radio) const;
    void placeAgain();

    int staleMinutes_;
    std::vector<Area> areas_;
    AreaIndex index_;
    QHash<qint32, QList<qint32>> projects_;
    QHash<qint32, RadioState> radios_;
    bool started_ = false;
    qint64 highestId_ = std::numeric_limits<qint64>::min();
    mutable std::vector<int> candidates_;
};
