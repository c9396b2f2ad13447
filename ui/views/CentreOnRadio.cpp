#include "ui/views/CentreOnRadio.h"

#include "map/ScriptCommands.h"
#include "map/ScriptSink.h"
#include "store/PositionTable.h"
#include "ui/views/ViewOutput.h"

void centreOnRadio(qint32 radio, TableCursor& table, const QString& zoom, const ViewOutput& out) {
    PositionTable positions(table);
    const std::optional<QString> pair = positions.newestPairOf(radio);
    if (!pair) {
        out.setStatus(QStringLiteral("No records found"));
        return;
    }
    out.page.runScriptCommand(ScriptCommands::centreOnMarkers(*pair, zoom));
    out.setStatus(QStringLiteral("Record found"));
}
