// The small table the cursor and replica tests read, and what they look at.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class SqliteTableReplica;
class TableCursor;

// Table "kinds": one column of each kind (k, i, r, t, d), five rows with
// NULLs, equal texts in two cases and several time forms.
void createKindsTable(const QString& path);
// Opens the cursor; an incremental one reads beside this thread, and the
// refresh after that read shows its rows.
void openLoaded(TableCursor& cursor);
SqliteTableReplica& sqliteOf(TableCursor& cursor);
// Column k of every passing row, walking the cursor.
QList<qint32> passingKeys(TableCursor& cursor);
// Every passing row's values, the column names first.
QStringList allText(const TableCursor& cursor);
