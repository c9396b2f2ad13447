#include "ui/views/LastPositionDisplay.h"

#include "map/ScriptCommands.h"
#include "map/ScriptSink.h"
#include "store/CurrentPosition.h"
#include "store/PositionTable.h"
#include "store/TableCursor.h"
#include "ui/views/CommandBatch.h"
#include "ui/views/SelectedRadios.h"
#include "ui/views/ViewOutput.h"

namespace {

QString markerCommand(const TableCursor& table, const QString& pair) {
    const QString info =
        ScriptCommands::infoWindowHtml(table.fieldAsText(QStringLiteral("radio_short_id")),
                                       table.fieldAsText(QStringLiteral("station_name")),
                                       displayText(table.fieldAsDateTime(QStringLiteral("time"))));
    return ScriptCommands::addMarker(pair, info);
}

} // namespace

void showLastPositions(const SelectedRadios& radios, TableCursor& table, const QString& zoom,
                       const ViewOutput& out) {
    out.page.runScriptCommand(ScriptCommands::clearScreen());
    CommandBatch batch(out.page);
    bool statusSet = false;
    QString lastPair;
    try {
        for (int entry = 1; entry <= SelectedRadios::lastReadEntry; ++entry) {
            const qint32 radio = radios[entry];
            const QString filter = QStringLiteral("radio_short_id=") + QString::number(radio);
            if (radio == 0 || !refreshAndFilter(table, filter) || table.rowCount() == 0)
                continue;
            table.last();
            const QString pair = currentPairText(table, QuotientRule::Truncating);
            if (!statusSet) {
                statusSet = true;
                out.setStatus(QStringLiteral("Record found"));
            }
            batch.add(markerCommand(table, pair), [&table, filter] {
                applyFilter(table, filter);
                table.last();
            });
            lastPair = pair;
        }
    } catch (...) {
        // The markers before the failure were shown before it.
        batch.send();
        throw;
    }
    if (lastPair.isEmpty())
        out.setStatus(QStringLiteral("No records found"));
    else
        batch.add(ScriptCommands::centreOnMarkers(lastPair, zoom));
    batch.send();
}
