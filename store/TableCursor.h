#pragma once

#include "store/DateTimeValue.h"

#include <QObject>
#include <QString>

class Connection;

// A whole table read into memory with "SELECT * FROM <table>", narrowed by a
// filter text evaluated row by row.
class TableCursor : public QObject {
    Q_OBJECT
public:
    TableCursor(Connection& connection, const QString& tableName, QObject* parent = nullptr);
    ~TableCursor() override;

    const QString& tableName() const;
    void open();    // throws Error with the database's message
    void refresh(); // re-reads; returns to the row whose values all match the current one
    void close();
    bool isOpen() const;

    void setFiltered(bool on);
    bool isFiltered() const;
    void setFilter(const QString& text); // throws Error when the text does not parse
    const QString& filter() const;

    int rowCount() const;   // passing rows
    int currentRow() const; // index among the passing rows, -1 for none
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int row);
    bool atBeginning() const;
    bool atEnd() const;

    // Columns of the current row by name; an unknown name throws Error naming it.
    QString fieldAsText(const QString& column) const;
    qint32 fieldAsInteger(const QString& column) const;
    DateTimeValue fieldAsDateTime(const QString& column) const;

    // For the grid: columns and any passing row.
    int columnCount() const;
    QString columnName(int column) const;
    QString displayText(int row, int column) const;

signals:
    void rowsReset();                // the passing rows changed (open, refresh, filter)
    void currentRowChanged(int row); // a move
};
