#pragma once

#include "store/CoordinateText.h"
#include "store/DateTimeValue.h"
#include "store/FilterExpression.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

class TableCursor;

// The position reports that the writer appends, table "map_coor": its name,
// its columns and the steps the views take on the cursor over it. Each step
// leaves the cursor where the grid then shows it.
class PositionTable {
public:
    static inline const QString name = QStringLiteral("map_coor");
    static inline const QString id = QStringLiteral("id");
    static inline const QString stationName = QStringLiteral("station_name");
    static inline const QString time = QStringLiteral("time");
    static inline const QString radioShortId = QStringLiteral("radio_short_id");
    static inline const QString ns = QStringLiteral("ns");
    static inline const QString lat = QStringLiteral("lat");
    static inline const QString ew = QStringLiteral("ew");
    static inline const QString lng = QStringLiteral("long");
    static inline const QString alt = QStringLiteral("alt");

    // What a marker's bubble shows of a report.
    struct ReportInfo {
        QString radioId;
        QString station;
        QString time;            // as the grid shows it
        DateTimeValue stamp = 0; // zero when the stored time does not read
    };

    explicit PositionTable(TableCursor& cursor);

    // The radio's reports.
    static FilterExpression radioFilter(qint32 radio);
    // The radio's reports between the two times, both included: the bounds
    // are in the fixed form the filter reads to the millisecond.
    static FilterExpression routeFilter(qint32 radio, const QDateTime& first,
                                        const QDateTime& last);

    // Re-reads the table (the first step of this object only: a run's
    // radios all come from one read), narrows it to the radio and goes to
    // its newest report; false when the filter fails, which the views take
    // as "nothing to show" without a message, or when the radio has no
    // report. A read that fails leaves the rows read before, which the views
    // then show: the table's refreshError() tells.
    bool selectNewestOf(qint32 radio);
    // selectNewestOf, then that report's pair text, truncated. Throws Error
    // when the report's coordinates do not convert.
    std::optional<QString> newestPairOf(qint32 radio);
    // Narrows to the radio again without re-reading, on its newest report.
    void returnToNewestOf(qint32 radio);
    ReportInfo currentInfo() const;

    // Re-reads the table and narrows it to the route, on its newest report;
    // false as newestPairOf gives none.
    bool selectRoute(qint32 radio, const QDateTime& first, const QDateTime& last);
    // The current report's pair text, each coordinate signed by its
    // hemisphere letter.
    QString currentPair(QuotientRule rule) const;
    // The current report's latitude or longitude alone, signed the same way;
    // throws Error when it does not convert.
    QString currentLatitude(QuotientRule rule) const;
    QString currentLongitude(QuotientRule rule) const;
    // The current report's latitude and longitude at full precision, signed
    // the same way; throws Error when either does not convert.
    std::pair<double, double> currentDegrees() const;
    // Pair texts of `count` reports from the current one backwards, rounded;
    // on the oldest report the walk stays, so a short range repeats its
    // oldest point.
    QStringList routePoints(qint32 count);

private:
    bool refreshAndFilter(const FilterExpression& filter);
    QChar hemisphere(const QString& column) const;

    TableCursor& cursor_;
    bool read_ = false;
};
