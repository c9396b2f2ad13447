#include "store/PositionTable.h"

#include "store/TableCursor.h"

void applyFilter(TableCursor& table, const QString& filter) {
    table.setFiltered(false);
    table.setFilter(filter);
    table.setFiltered(true);
}

bool refreshAndFilter(TableCursor& table, const QString& filter) {
    try {
        table.refresh();
        applyFilter(table, filter);
        return true;
    } catch (...) {
        return false;
    }
}
