#include "ui/views/ReplayView.h"

#include "app/Error.h"
#include "map/ScriptCommands.h"
#include "store/ColumnStore.h"
#include "store/CoordinateText.h"
#include "store/PositionTable.h"
#include "store/RadioTimeIndex.h"
#include "track/TrailShape.h"
#include "ui/views/MarkerLabels.h"
#include "ui/views/ReportAge.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace {

constexpr double minutesPerDay = 24 * 60;

// A number of a pair text (plain ASCII, as the map is sent it); QString's
// own reading took a third of a long trail's time.
double pairNumber(QStringView text) {
    char digits[32];
    const qsizetype length = std::min<qsizetype>(text.size(), sizeof digits);
    for (qsizetype at = 0; at < length; ++at)
        digits[at] = char(text[at].unicode());
    double value = 0;
    std::from_chars(digits, digits + length, value);
    return value;
}

} // namespace

ReplayView::ReplayView(const ColumnStore& rows, const RadioTimeIndex& index)
    : rows_(rows)
    , index_(index) {}

QString ReplayView::frameCommand(const QList<qint32>& radios, const MarkerLabels& labels,
                                 int trailMinutes, bool interpolate) {
    const DateTimeValue time = toDateTimeValue(labels.now);
    // Looked up once a frame: a trail converts hundreds of reports.
    columns_ = {rows_.columnIndex(PositionTable::lat), rows_.columnIndex(PositionTable::ns),
                rows_.columnIndex(PositionTable::lng), rows_.columnIndex(PositionTable::ew)};
    const int radioColumn = rows_.columnIndex(PositionTable::radioShortId);
    const int stationColumn = rows_.columnIndex(PositionTable::stationName);
    shownBefore_ = std::exchange(shownAt_, {});
    QList<ScriptCommands::ReplayRadio> shown;
    for (const qint32 radio : radios) {
        const std::optional<quint32> row = index_.rowAt(rows_, radio, time);
        if (!row)
            continue;
        ScriptCommands::ReplayRadio frame;
        try {
            frame.pair = pairOf(*row);
        } catch (const Error&) {
            continue;
        }
        const DateTimeValue stamp = index_.timeOf(rows_, *row);
        const QString radioId = rows_.displayText(radioColumn, *row);
        const QString age = reportAgeText(stamp, labels.now);
        frame.radio = radio;
        frame.title = labels.titleOf(radioId, radio);
        frame.stale = isStale(stamp, labels.now, labels.staleMinutes);
        frame.age = frame.stale ? QStringLiteral("stale \u00b7 ") + age : age;
        frame.infoHtml = ScriptCommands::infoWindowHtml(
            radioId, stationColumn < 0 ? QString() : rows_.displayText(stationColumn, *row),
            displayText(stamp));
        frame.trail = trailOf(radio, time, trailMinutes);
        if (const std::optional<QString> between =
                interpolate ? pairBetween(radio, *row, time, labels.staleMinutes) : std::nullopt) {
            frame.pair = *between;
            frame.age = QStringLiteral("~ ") + frame.age;
            frame.trail.append({frame.pair, 0.0});
        }
        shownAt_.append({frame.pair, radio});
        shown << frame;
    }
    return ScriptCommands::replayFrame(trailMinutes, shown);
}

std::optional<QString> ReplayView::pairBetween(qint32 radio, quint32 row, DateTimeValue time,
                                               int staleMinutes) const {
    const DateTimeValue before = index_.timeOf(rows_, row);
    const std::optional<quint32> next = index_.rowAfter(rows_, radio, time);
    if (before >= time || !next)
        return std::nullopt;
    const DateTimeValue after = index_.timeOf(rows_, *next);
    if ((after - before) * minutesPerDay >= staleMinutes)
        return std::nullopt;
    QString nextPair;
    try {
        nextPair = pairOf(*next);
    } catch (const Error&) {
        return std::nullopt;
    }
    const QString pair = pairOf(row);
    const double share = (time - before) / (after - before);
    const auto between = [&](int part) {
        const double from = pair.section(u',', part, part).toDouble();
        const double to = nextPair.section(u',', part, part).toDouble();
        return QString::number(from + (to - from) * share, 'f', 4);
    };
    return between(0) + u',' + between(1);
}

// The radio's reports in the last minutes, oldest first, without those on a
// straight stretch within a band of age.
QList<std::pair<QString, double>> ReplayView::trailOf(qint32 radio, DateTimeValue time,
                                                      int trailMinutes) const {
    QList<std::pair<QString, double>> points;
    for (const quint32 row :
         index_.rowsBetween(rows_, radio, time - trailMinutes / minutesPerDay, time)) {
        try {
            points.append({pairOf(row), (time - index_.timeOf(rows_, row)) * minutesPerDay});
        } catch (const Error&) {
        }
    }
    if (points.size() <= 2)
        return points;
    std::vector<QPointF> latLng;
    std::vector<int> bands;
    latLng.reserve(points.size());
    bands.reserve(points.size());
    for (const auto& [pair, age] : points) {
        const qsizetype comma = pair.indexOf(u',');
        latLng.emplace_back(pairNumber(QStringView(pair).left(comma)),
                            pairNumber(QStringView(pair).mid(comma + 1)));
        bands.push_back(trailMinutes > 0
                            ? std::clamp(int(age / trailMinutes * trailBands), 0, trailBands - 1)
                            : 0);
    }
    QList<std::pair<QString, double>> kept;
    for (const qsizetype at : trailPointsToKeep(latLng, bands, maxTrailPoints))
        kept.append(points[at]);
    return kept;
}

// The page gives the marker's point back as numbers of the pair text. While
// playing, the click comes in while the next frame is being sent, so the
// point may be one of the frame before.
std::optional<qint32> ReplayView::radioAt(double lat, double lng) const {
    for (const auto* frame : {&shownAt_, &shownBefore_}) {
        for (const auto& [pair, radio] : *frame) {
            if (std::abs(pair.section(u',', 0, 0).toDouble() - lat) < 1e-7 &&
                std::abs(pair.section(u',', 1, 1).toDouble() - lng) < 1e-7)
                return radio;
        }
    }
    return std::nullopt;
}

std::optional<quint32> ReplayView::newestRowAt(const QList<qint32>& radios,
                                               DateTimeValue time) const {
    std::optional<quint32> newest;
    DateTimeValue newestTime = 0;
    for (const qint32 radio : radios) {
        const std::optional<quint32> row = index_.rowAt(rows_, radio, time);
        if (!row)
            continue;
        const DateTimeValue rowTime = index_.timeOf(rows_, *row);
        if (!newest || rowTime > newestTime || (rowTime == newestTime && *row > *newest)) {
            newest = row;
            newestTime = rowTime;
        }
    }
    return newest;
}

QString ReplayView::pairOf(quint32 row) const {
    const auto text = [&](int column) {
        return column < 0 ? QString() : rows_.displayText(column, row);
    };
    const auto hemisphere = [&](int column) {
        const QString letter = text(column).trimmed();
        return letter.isEmpty() ? QChar() : letter.front().toUpper();
    };
    return coordinatePairText(text(columns_.lat), hemisphere(columns_.ns), text(columns_.lng),
                              hemisphere(columns_.ew), QuotientRule::Truncating);
}
