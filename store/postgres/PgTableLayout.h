#pragma once

#include "store/ColumnStore.h"

#include <QString>

#include <vector>

class PgConnection;

// A table's columns on the server as the console reads them, and what the
// exact refresh needs of it: the writing transaction of each row (txid) and
// the count of changes in place that tools/pg-schema.sql keeps.
class PgTableLayout {
public:
    struct Column {
        QString name;
        ColumnKind kind = ColumnKind::Text;
        unsigned type = 0; // the value's type on the server; a domain's base type
    };

    // Throws Error naming the table and column for a type the console cannot
    // read, and "no such table: <name>" as the SQLite file does.
    static PgTableLayout read(PgConnection& connection, const QString& tableName);

    const std::vector<Column>& columns() const { return columns_; }
    std::vector<ColumnStore::ColumnInfo> infos() const;
    // Rows can be read by the transaction that wrote them, and changes in
    // place are counted: a refresh reads only what was committed since.
    bool readsExactly() const { return hasTxid_ && hasChangeCount_; }
    // The select list and the order the whole read and every refresh share.
    QString selectList() const;
    QString order() const;
    const QString& tableName() const { return tableName_; }

    bool operator==(const PgTableLayout&) const;

private:
    QString tableName_;
    std::vector<Column> columns_;
    bool hasTxid_ = false;
    bool hasId_ = false;
    bool hasChangeCount_ = false;
};
