#pragma once

class QString;
class SelectedRadios;
class TableCursor;
struct ViewOutput;

// One marker per selected radio at its last report, then the map centred on
// the last radio shown.
void showLastPositions(const SelectedRadios& radios, TableCursor& table, const QString& zoom,
                       const ViewOutput& out);
