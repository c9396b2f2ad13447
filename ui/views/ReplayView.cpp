#include "ui/views/ReplayView.h"

#include "app/Error.h"
#include "map/ScriptCommands.h"
#include "store/ColumnStore.h"
#include "store/CoordinateText.h"
#include "store/PositionTable.h"
#include "store/RadioTimeIndex.h"
#include "ui/views/MarkerLabels.h"
#include "ui/views/ReportAge.h"

#include <cmath>

namespace {

constexpr double minutesPerDay = 24 * 60;

} // namespace

ReplayView::ReplayView(const ColumnStore& rows, const RadioTimeIndex& index)
    : rows_(rows)
    , index_(index) {}

QString ReplayView::frameCommand(const QList<qint32>& radios, const MarkerLabels& labels,
                                 int trailMinutes) {
    const DateTimeValue time = toDateTimeValue(labels.now);
    const int radioColumn = rows_.columnIndex(PositionTable::radioShortId);
    const int stationColumn = rows_.columnIndex(PositionTable::stationName);
    shownAt_.clear();
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
        const auto trail =
            index_.rowsBetween(rows_, radio, time - trailMinutes / minutesPerDay, time);
        // Thinned from the newest back, so that the trail ends at the marker.
        const qsizetype step = (qsizetype(trail.size()) + maxTrailPoints - 1) / maxTrailPoints;
        for (qsizetype at = qsizetype(trail.size()) - 1; at >= 0; at -= step) {
            try {
                frame.trail.prepend(
                    {pairOf(trail[at]), (time - index_.timeOf(rows_, trail[at])) * minutesPerDay});
            } catch (const Error&) {
            }
        }
        shownAt_.append({frame.pair, radio});
        shown << frame;
    }
    return ScriptCommands::replayFrame(trailMinutes, shown);
}

// The page gives the marker's point back as numbers of the pair text.
std::optional<qint32> ReplayView::radioAt(double lat, double lng) const {
    for (const auto& [pair, radio] : shownAt_) {
        if (std::abs(pair.section(u',', 0, 0).toDouble() - lat) < 1e-7 &&
            std::abs(pair.section(u',', 1, 1).toDouble() - lng) < 1e-7)
            return radio;
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
    const auto text = [&](const QString& column) {
        const int index = rows_.columnIndex(column);
        return index < 0 ? QString() : rows_.displayText(index, row);
    };
    const auto hemisphere = [&](const QString& column) {
        const QString letter = text(column).trimmed();
        return letter.isEmpty() ? QChar() : letter.front().toUpper();
    };
    return coordinatePairText(text(PositionTable::lat), hemisphere(PositionTable::ns),
                              text(PositionTable::lng), hemisphere(PositionTable::ew),
                              QuotientRule::Truncating);
}
