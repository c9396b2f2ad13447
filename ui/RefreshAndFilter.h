#pragma once

class QString;
class TableCursor;

// Re-reads the table and narrows it to the filter, the views' guarded step:
// false when the database or the filter text fails, which the views take as
// "nothing to show" without a message.
bool refreshAndFilter(TableCursor& table, const QString& filter);
