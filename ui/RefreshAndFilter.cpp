#include "ui/RefreshAndFilter.h"

#include "store/TableCursor.h"

bool refreshAndFilter(TableCursor& table, const QString& filter) {
    try {
        table.refresh();
        table.setFiltered(false);
        table.setFilter(filter);
        table.setFiltered(true);
        return true;
    } catch (...) {
        return false;
    }
}
