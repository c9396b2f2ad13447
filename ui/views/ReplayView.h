#pragma once

#include "store/DateTimeValue.h"

#include <QList>
#include <QString>

#include <optional>

class ColumnStore;
class RadioTimeIndex;
struct MarkerLabels;

// What the map shows of the fleet at a past time: each radio at its newest
// report at or before it, labelled with its age then, and the trail of its
// last minutes, as one page command per frame.
class ReplayView {
public:
    // Trails keep at most this many points a radio, those where it turns: a
    // frame stays one small command however often the radios report.
    static constexpr int maxTrailPoints = 120;
    // The page draws a trail in this many bands of age (web/layer/replay.js).
    static constexpr int trailBands = 5;

    ReplayView(const ColumnStore& rows, const RadioTimeIndex& index);

    // The frame at labels.now for the radios, radios with no report by then
    // and reports whose coordinates do not convert left out. Interpolating,
    // a radio between two reports less than labels.staleMinutes apart is at
    // the point between them in proportion to the time, its age led by "~ ".
    QString frameCommand(const QList<qint32>& radios, const MarkerLabels& labels, int trailMinutes,
                         bool interpolate = false);
    // The radio the last frame, or the one before, drew at the point (a
    // click on its marker).
    std::optional<qint32> radioAt(double lat, double lng) const;
    // Among the radios, the report at or before the time that came last: by
    // time, ties by row.
    std::optional<quint32> newestRowAt(const QList<qint32>& radios, DateTimeValue time) const;

private:
    QString pairOf(quint32 row) const; // throws Error when the coordinates do not convert
    // The pair text between the radio's report at `row` and its next one at
    // the time; none when there is no next report or it is too far off.
    std::optional<QString> pairBetween(qint32 radio, quint32 row, DateTimeValue time,
                                       int staleMinutes) const;
    QList<std::pair<QString, double>> trailOf(qint32 radio, DateTimeValue time,
                                              int trailMinutes) const;

    struct CoordinateColumns {
        int lat = -1;
        int ns = -1;
        int lng = -1;
        int ew = -1;
    };

    const ColumnStore& rows_;
    const RadioTimeIndex& index_;
    CoordinateColumns columns_;
    QList<std::pair<QString, qint32>> shownAt_; // pair texts
    QList<std::pair<QString, qint32>> shownBefore_;
};
