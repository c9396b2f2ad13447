#include "alerts/AlertEvaluator.h"

#include "app/Error.h"
#include "store/CoordinateText.h"
#include "store/PositionTable.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMinutesPerDay = 24 * 60;

int integerColumn(const ColumnStore& rows, const QString& name) {
    const int column = rows.columnIndex(name);
    return column >= 0 && rows.info(column).kind == ColumnKind::Integer ? column : -1;
}

} // namespace

struct AlertEvaluator::Columns {
    int id;
    int radio;
    int time;
    int ns;
    int lat;
    int ew;
    int lng;

    // The id orders reports only when the table holds it as integers.
    explicit Columns(const ColumnStore& rows)
        : id(integerColumn(rows, PositionTable::id))
        , radio(rows.columnIndex(PositionTable::radioShortId))
        , time(rows.columnIndex(PositionTable::time))
        , ns(rows.columnIndex(PositionTable::ns))
        , lat(rows.columnIndex(PositionTable::lat))
        , ew(rows.columnIndex(PositionTable::ew))
        , lng(rows.columnIndex(PositionTable::lng)) {}

    bool usable() const { return radio >= 0 && time >= 0 && lat >= 0 && lng >= 0; }
};

struct AlertEvaluator::Report {
    qint32 radio = 0;
    DateTimeValue time = 0;
    std::optional<GeoPoint> position;
    qint64 id = 0;
};

namespace {

std::optional<qint32> radioOf(const ColumnStore& rows, int column, quint32 row) {
    if (rows.isNull(column, row))
        return std::nullopt;
    if (rows.info(column).kind == ColumnKind::Integer)
        return qint32(rows.integer(column, row));
    bool ok = false;
    const qint32 radio = rows.displayText(column, row).trimmed().toInt(&ok);
    return ok ? std::optional(radio) : std::nullopt;
}

DateTimeValue timeOf(const ColumnStore& rows, int column, quint32 row) {
    if (rows.isNull(column, row))
        return 0;
    switch (rows.info(column).kind) {
    case ColumnKind::DateTime:
    case ColumnKind::Real:
        return rows.number(column, row);
    case ColumnKind::Text:
        return readStoredDateTime(rows.text(column, row));
    case ColumnKind::Integer:
        return 0;
    }
    return 0;
}

QChar hemisphereOf(const ColumnStore& rows, int column, quint32 row) {
    if (column < 0)
        return QChar();
    const QString letter = rows.displayText(column, row).trimmed();
    return letter.isEmpty() ? QChar() : letter.front().toUpper();
}

std::optional<GeoPoint> positionOf(const ColumnStore& rows, int lat, int ns, int lng, int ew,
                                   quint32 row) {
    try {
        return GeoPoint{decimalDegrees(rows.displayText(lat, row), hemisphereOf(rows, ns, row)),
                        decimalDegrees(rows.displayText(lng, row), hemisphereOf(rows, ew, row))};
    } catch (const Error&) {
        return std::nullopt;
    }
}

qint64 idOf(const ColumnStore& rows, int idColumn, quint32 row) {
    return idColumn >= 0 && !rows.isNull(idColumn, row) ? rows.integer(idColumn, row) : qint64(row);
}

int wholeMinutes(DateTimeValue days) {
    // A hair over the whole minute, as the stored milliseconds round.
    return int(std::floor(days * kMinutesPerDay + 1e-6));
}

} // namespace

AlertEvaluator::AlertEvaluator(int staleMinutes)
    : staleMinutes_(staleMinutes) {}

void AlertEvaluator::setAreas(std::vector<Area> areas) {
    areas_ = std::move(areas);
    index_ = AreaIndex(areas_);
    placeAgain();
}

void AlertEvaluator::setProjectsOfRadios(const QHash<qint32, QList<qint32>>& projects) {
    projects_ = projects;
    placeAgain();
}

void AlertEvaluator::placeAgain() {
    for (auto it = radios_.begin(); it != radios_.end(); ++it) {
        if (it->position)
            it->inside = areasHolding(it.key(), *it->position);
    }
}

void AlertEvaluator::start(const ColumnStore& rows, const RadioTimeIndex& index,
                           const QDateTime& now) {
    radios_.clear();
    highestId_ = std::numeric_limits<qint64>::min();
    started_ = true;
    settle(newestOf(rows, index, std::numeric_limits<qint64>::max()));
    // Rows without a radio or a readable time are seen too: they are not new later.
    const int idColumn = Columns(rows).id;
    for (quint32 row = 0; row < rows.rowCount(); ++row)
        highestId_ = std::max(highestId_, idOf(rows, idColumn, row));
    const DateTimeValue nowValue = toDateTimeValue(now);
    for (RadioState& state : radios_) {
        if (wholeMinutes(nowValue - state.time) >= staleMinutes_)
            state.silence = RadioState::Silence::Unannounced;
    }
}

QList<Alert> AlertEvaluator::evaluate(const ColumnStore& rows, quint32 first, quint32 end) {
    std::vector<Report> reports = reportsOf(rows, first, end);
    std::stable_sort(reports.begin(), reports.end(),
                     [](const Report& a, const Report& b) { return a.time < b.time; });
    QList<Alert> alerts;
    for (const Report& report : reports)
        apply(report, alerts);
    return alerts;
}

QList<Alert> AlertEvaluator::follow(const ColumnStore& rows, const RadioTimeIndex& index,
                                    const TableReplica::Change& change, const QDateTime& now) {
    if (!started_) {
        start(rows, index, now);
        return {};
    }
    if (!change.replaced && change.erased == 0)
        return evaluate(rows, change.kept, change.kept + change.appended);

    // Read anew: the rows seen before set the places quietly, the rest are new.
    const Columns columns(rows);
    if (columns.id < 0) {
        settle(newestOf(rows, index, std::numeric_limits<qint64>::max()));
        return {};
    }
    const qint64 seen = highestId_;
    settle(newestOf(rows, index, seen));
    std::vector<Report> fresh = reportsOf(rows, 0, rows.rowCount(), seen);
    std::stable_sort(fresh.begin(), fresh.end(),
                     [](const Report& a, const Report& b) { return a.time < b.time; });
    QList<Alert> alerts;
    for (const Report& report : fresh)
        apply(report, alerts);
    return alerts;
}

QList<Alert> AlertEvaluator::silences(const QDateTime& now) {
    const DateTimeValue nowValue = toDateTimeValue(now);
    QList<Alert> alerts;
    for (auto it = radios_.begin(); it != radios_.end(); ++it) {
        RadioState& state = *it;
        if (state.silence != RadioState::Silence::Reporting ||
            wholeMinutes(nowValue - state.time) < staleMinutes_)
            continue;
        state.silence = RadioState::Silence::Announced;
        Alert alert;
        alert.kind = Alert::Kind::Silent;
        alert.radio = it.key();
        alert.time = fromDateTimeValue(state.time + staleMinutes_ / kMinutesPerDay);
        alert.position = state.position;
        alert.minutes = staleMinutes_;
        alerts.append(alert);
    }
    std::stable_sort(alerts.begin(), alerts.end(),
                     [](const Alert& a, const Alert& b) { return a.time < b.time; });
    return alerts;
}

// The reports of the rows whose id is past `afterId`.
std::vector<AlertEvaluator::Report> AlertEvaluator::reportsOf(const ColumnStore& rows,
                                                              quint32 first, quint32 end,
                                                              qint64 afterId) const {
    std::vector<Report> reports;
    const Columns columns(rows);
    if (!columns.usable())
        return reports;
    end = std::min(end, rows.rowCount());
    for (quint32 row = first; row < end; ++row) {
        Report report;
        report.id = idOf(rows, columns.id, row);
        if (report.id <= afterId)
            continue;
        const std::optional<qint32> radio = radioOf(rows, columns.radio, row);
        report.time = timeOf(rows, columns.time, row);
        // A report without its radio or a time that reads cannot be placed in time.
        if (!radio || report.time == 0)
            continue;
        report.radio = *radio;
        report.position = positionOf(rows, columns.lat, columns.ns, columns.lng, columns.ew, row);
        reports.push_back(report);
    }
    return reports;
}

// Each radio's newest report among the rows whose id is at most `upToId`:
// from the index, the newest first, so a table of millions read whole costs
// a few rows per radio.
std::vector<AlertEvaluator::Report> AlertEvaluator::newestOf(const ColumnStore& rows,
                                                             const RadioTimeIndex& index,
                                                             qint64 upToId) const {
    std::vector<Report> newest;
    const Columns columns(rows);
    if (!columns.usable())
        return newest;
    for (const qint64 radio : index.radios()) {
        const std::span<const quint32> held = index.rowsOf(radio);
        const auto found = std::find_if(held.rbegin(), held.rend(), [&](quint32 row) {
            return idOf(rows, columns.id, row) <= upToId;
        });
        if (found == held.rend())
            continue;
        const std::vector<Report> one = reportsOf(rows, *found, *found + 1);
        newest.insert(newest.end(), one.begin(), one.end());
    }
    return newest;
}

void AlertEvaluator::settle(const std::vector<Report>& reports) {
    QHash<qint32, const Report*> newest;
    for (const Report& report : reports) {
        const Report*& kept = newest[report.radio];
        if (!kept || report.time >= kept->time)
            kept = &report;
    }
    for (auto it = newest.cbegin(); it != newest.cend(); ++it) {
        const Report& report = **it;
        RadioState& state = radios_[report.radio];
        state.time = report.time;
        state.position = report.position;
        state.inside =
            report.position ? areasHolding(report.radio, *report.position) : std::vector<int>();
    }
    for (const Report& report : reports)
        highestId_ = std::max(highestId_, report.id);
}

void AlertEvaluator::apply(const Report& report, QList<Alert>& alerts) {
    highestId_ = std::max(highestId_, report.id);
    const bool known = radios_.contains(report.radio);
    RadioState& state = radios_[report.radio];
    if (known && report.time < state.time)
        return;
    // Made only for an alert: a local date-time costs more than placing a report.
    std::optional<QDateTime> time;
    auto timeOfReport = [&] {
        if (!time)
            time = fromDateTimeValue(report.time);
        return *time;
    };
    if (state.silence == RadioState::Silence::Announced) {
        Alert again;
        again.kind = Alert::Kind::ReportingAgain;
        again.radio = report.radio;
        again.time = timeOfReport();
        again.position = report.position ? report.position : state.position;
        again.minutes = wholeMinutes(report.time - state.time);
        alerts.append(again);
    }
    state.silence = RadioState::Silence::Reporting;
    state.time = report.time;
    if (!report.position)
        return;

    std::vector<int> inside = areasHolding(report.radio, *report.position);
    auto raise = [&](Alert::Kind kind, const std::vector<int>& from, const std::vector<int>& other,
                     AreaRule skipped) {
        std::vector<int> changed;
        std::set_difference(from.begin(), from.end(), other.begin(), other.end(),
                            std::back_inserter(changed));
        for (const int place : changed) {
            if (areas_[place].rule() == skipped)
                continue;
            Alert alert;
            alert.kind = kind;
            alert.radio = report.radio;
            alert.area = areas_[place].name();
            alert.time = timeOfReport();
            alert.position = report.position;
            alerts.append(alert);
        }
    };
    // A jump leaves the old areas first, then enters the ones it lands in.
    raise(Alert::Kind::Left, state.inside, inside, AreaRule::Enter);
    raise(Alert::Kind::Entered, inside, state.inside, AreaRule::Leave);
    state.inside = std::move(inside);
    state.position = report.position;
}

std::vector<int> AlertEvaluator::areasHolding(qint32 radio, GeoPoint position) const {
    index_.candidates(position, candidates_);
    std::vector<int> inside;
    for (const int place : candidates_) {
        if (watches(areas_[place], radio) && areas_[place].contains(position))
            inside.push_back(place);
    }
    std::sort(inside.begin(), inside.end());
    return inside;
}

bool AlertEvaluator::watches(const Area& area, qint32 radio) const {
    switch (area.radios().kind) {
    case AreaRadios::Kind::All:
        return true;
    case AreaRadios::Kind::Project:
        return projects_.value(radio).contains(area.radios().project);
    case AreaRadios::Kind::Members:
        return area.radios().members.contains(radio);
    }
    return false;
}
