#include "ui/LastPositionDisplay.h"

#include "map/ScriptCommands.h"
#include "map/ScriptSink.h"
#include "store/TableCursor.h"
#include "ui/CurrentPosition.h"
#include "ui/RefreshAndFilter.h"
#include "ui/SelectedRadios.h"
#include "ui/ViewOutput.h"

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
    bool statusSet = false;
    QString lastPair;
    for (int entry = 1; entry <= SelectedRadios::lastReadEntry; ++entry) {
        const qint32 radio = radios[entry];
        if (radio == 0 ||
            !refreshAndFilter(table, QStringLiteral("radio_short_id=") + QString::number(radio)) ||
            table.rowCount() == 0)
            continue;
        table.last();
        const QString pair = currentPairText(table, QuotientRule::Truncating);
        if (!statusSet) {
            statusSet = true;
            out.setStatus(QStringLiteral("Record found"));
        }
        out.page.runScriptCommand(markerCommand(table, pair));
        lastPair = pair;
    }
    if (lastPair.isEmpty())
        out.setStatus(QStringLiteral("No records found"));
    else
        out.page.runScriptCommand(ScriptCommands::centreOnMarkers(lastPair, zoom));
}
