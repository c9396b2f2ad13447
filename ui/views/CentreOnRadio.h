// The map centred on one radio's newest report (a double click in the tree).
#pragma once

#include <QtGlobal>

class QString;
class TableCursor;
struct ViewOutput;

// The map centred on the radio's newest report at the zoom level; the
// markers, the drawn shapes and the ticked radios stay as they are, and the
// grid shows the radio's reports. "No records found" when it has none.
void centreOnRadio(qint32 radio, TableCursor& table, const QString& zoom, const ViewOutput& out);
