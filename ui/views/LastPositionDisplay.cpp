#include "ui/views/LastPositionDisplay.h"

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

} // namespace

void showLastPositions(const SelectedRadios& radios, TableCursor& table, const QString& zoom,
                       const ViewOutput& out, const MarkerLabels* labels, MapViewMode mode) {
    const bool keepView = mode == MapViewMode::KeepMine;
    if (!keepView)
        out.page.runScriptCommand(ScriptCommands::clearScreen());
    PositionTable positions(table);
    CommandBatch batch(out.page);
    bool statusSet = false;
    QString lastPair;
    QList<qint32> shown;
    try {
        for (int entry = 1; entry <= SelectedRadios::lastReadEntry; ++entry) {
            const qint32 radio = radios[entry];
            if (radio == 0)
                continue;
            const std::optional<QString> pair = positions.newestPairOf(radio);
            if (!pair)
                continue;
            if (!statusSet) {
                statusSet = true;
                out.setStatus(QStringLiteral("Record found"));
            }
            const auto restore = [&positions, radio] { positions.returnToNewestOf(radio); };
            const PositionTable::ReportInfo report = positions.currentInfo();
            batch.add(markerCommand(report, *pair, radio, mode), restore);
            if (labels)
                batch.add(labelCommand(report, radio, *labels), restore);
            lastPair = *pair;
            shown << radio;
        }
    } catch (...) {
        // The markers before the failure were shown before it.
        batch.send();
        throw;
    }
    if (lastPair.isEmpty())
        out.setStatus(QStringLiteral("No records found"));
    else if (!keepView)
        batch.add(viewCommand(mode, lastPair, zoom));
    if (keepView)
        batch.add(ScriptCommands::keepRadios(shown));
    batch.send();
}
