#pragma once

class QString;
class TableCursor;

// Filtering off, the text set, filtering on: a text that does not parse
// leaves the table unfiltered.
void applyFilter(TableCursor& table, const QString& filter);

// Re-reads the table and narrows it to the filter, the views' guarded step:
// false when the database or the filter text fails, which the views take as
// "nothing to show" without a message.
bool refreshAndFilter(TableCursor& table, const QString& filter);
