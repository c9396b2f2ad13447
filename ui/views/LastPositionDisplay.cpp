#include "ui/views/LastPositionDisplay.h"

#include "app/Error.h"
#include "map/ScriptCommands.h"
#include "map/ScriptSink.h"
#include "store/PositionTable.h"
#include "ui/views/CommandBatch.h"
#include "ui/views/MarkerLabels.h"
#include "ui/views/ReportAge.h"
#include "ui/views/SelectedRadios.h"
#include "ui/views/ViewOutput.h"

namespace {

QString markerCommand(const PositionTable::ReportInfo& report, const QString& pair, qint32 radio,
                      MapViewMode mode) {
    const QString info =
        ScriptCommands::infoWindowHtml(report.radioId, report.station, report.time);
    return mode == MapViewMode::KeepMine ? ScriptCommands::placeRadio(radio, pair, info)
                                         : ScriptCommands::addMarker(pair, info);
}

QString viewCommand(MapViewMode mode, const QString& lastPair, const QString& zoom) {
    return mode == MapViewMode::FitAll ? ScriptCommands::fitMarkers(zoom)
                                       : ScriptCommands::centreOnMarkers(lastPair, zoom);
}

QString labelCommand(const PositionTable::ReportInfo& report, qint32 radio,
                     const MarkerLabels& labels) {
    const QString age = reportAgeText(report.stamp, labels.now);
    const bool stale = isStale(report.stamp, labels.now, labels.staleMinutes);
    return ScriptCommands::labelMarker(labels.titleOf(report.radioId, radio),
                                       stale ? QStringLiteral("stale \u00b7 ") + age : age, stale);
}

QString unreadableError(qint32 radio, const PositionTable::ReportInfo& report,
                        const QString& error) {
    return QStringLiteral("Radio %1 is not shown: its report of %2 cannot be read. %3")
        .arg(radio)
        .arg(report.time, error);
}

// The fixed status text, followed by the radios left off.
QString statusWithUnreadable(const QString& status, const QList<qint32>& unreadable) {
    QStringList radios;
    for (const qint32 radio : unreadable)
        radios << QString::number(radio);
    return status + (unreadable.size() == 1
                         ? QStringLiteral(" \u00b7 position of radio %1 cannot be read")
                         : QStringLiteral(" \u00b7 positions of radios %1 cannot be read"))
                        .arg(radios.join(QStringLiteral(", ")));
}

} // namespace

QStringList showLastPositions(const SelectedRadios& radios, TableCursor& table, const QString& zoom,
                              const ViewOutput& out, const MarkerLabels* labels, MapViewMode mode) {
    const bool keepView = mode == MapViewMode::KeepMine;
    if (!keepView)
        out.page.runScriptCommand(ScriptCommands::clearScreen());
    PositionTable positions(table);
    CommandBatch batch(out.page);
    bool statusSet = false;
    QString lastPair;
    QList<qint32> shown;
    QList<qint32> unreadable;
    QStringList errors;
    try {
        for (int entry = 1; entry <= SelectedRadios::lastReadEntry; ++entry) {
            const qint32 radio = radios[entry];
            if (radio == 0)
                continue;
            if (!positions.selectNewestOf(radio))
                continue;
            const PositionTable::ReportInfo report = positions.currentInfo();
            QString pair;
            try {
                pair = positions.currentPair(QuotientRule::Truncating);
            } catch (const Error& error) {
                unreadable << radio;
                errors << unreadableError(radio, report, error.message());
                continue;
            }
            if (!statusSet) {
                statusSet = true;
                out.setStatus(QStringLiteral("Record found"));
            }
            const auto restore = [&positions, radio] { positions.returnToNewestOf(radio); };
            batch.add(markerCommand(report, pair, radio, mode), restore);
            if (labels)
                batch.add(labelCommand(report, radio, *labels), restore);
            lastPair = pair;
            shown << radio;
        }
    } catch (...) {
        // The markers before the failure were shown before it.
        batch.send();
        throw;
    }
    const QString status =
        lastPair.isEmpty() ? QStringLiteral("No records found") : QStringLiteral("Record found");
    if (lastPair.isEmpty()) {
        if (unreadable.isEmpty())
            out.setStatus(status);
    } else if (!keepView) {
        batch.add(viewCommand(mode, lastPair, zoom));
    }
    if (keepView)
        batch.add(ScriptCommands::keepRadios(shown));
    batch.send();
    if (!unreadable.isEmpty())
        out.setStatus(statusWithUnreadable(status, unreadable));
    return errors;
}
