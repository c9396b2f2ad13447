#include "store/postgres/PgTableLayout.h"

#include "app/Error.h"
#include "store/postgres/PgConnection.h"

#include <QStringList>

namespace {

// The server's type numbers (pg_type.oid) of the types the console reads.
enum PgType : unsigned {
    Int8 = 20,
    Int2 = 21,
    Int4 = 23,
    Text = 25,
    Float4 = 700,
    Float8 = 701,
    Bpchar = 1042,
    Varchar = 1043,
    Date = 1082,
    Timestamp = 1114,
    TimestampTz = 1184,
    Xid8 = 5069,
};

QString quotedName(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

} // namespace

PgTableLayout PgTableLayout::read(PgConnection& connection, const QString& tableName) {
    PgTableLayout layout;
    layout.tableName_ = tableName;
    const PgResult columns = connection.exec(
        QStringLiteral("SELECT a.attname, format_type(a.atttypid, a.atttypmod),"
                       " CASE WHEN t.typtype = 'd' THEN t.typbasetype ELSE a.atttypid END::int"
                       " FROM pg_attribute a JOIN pg_type t ON t.oid = a.atttypid"
                       " WHERE a.attrelid = to_regclass($1) AND a.attnum > 0 AND NOT a.attisdropped"
                       " ORDER BY a.attnum"),
        tableName.toUtf8());
    if (columns.rows() == 0)
        throw Error(QStringLiteral("no such table: ") + tableName);
    for (int row = 0; row < columns.rows(); ++row) {
        Column column;
        column.name = QString::fromUtf8(columns.value(row, 0));
        const QString declared = QString::fromUtf8(columns.value(row, 1));
        column.type = QByteArray(columns.value(row, 2)).toUInt();
        switch (column.type) {
        case Int2:
        case Int4:
        case Int8:
            column.kind = ColumnKind::Integer;
            break;
        case Float4:
        case Float8:
            column.kind = ColumnKind::Real;
            break;
        case Date:
        case Timestamp:
        case TimestampTz:
            column.kind = ColumnKind::DateTime;
            break;
        case Text:
        case Varchar:
        case Bpchar:
            // The writer keeps times as text in its own form, as in the file.
            column.kind = column.name.compare(u"time", Qt::CaseInsensitive) == 0 ||
                                  columnKindOfDeclaredType(declared) == ColumnKind::DateTime
                              ? ColumnKind::DateTime
                              : ColumnKind::Text;
            break;
        case Xid8:
            if (column.name == u"txid") {
                layout.hasTxid_ = true;
                continue;
            }
            [[fallthrough]];
        default:
            throw Error(QStringLiteral("Column %1 of table %2 has the type %3, which cannot be "
                                       "read; use text, varchar, integer, bigint, double "
                                       "precision, timestamp or timestamptz")
                            .arg(column.name, tableName, declared));
        }
        layout.hasId_ = layout.hasId_ || column.name == u"id";
        layout.columns_.push_back(column);
    }
    layout.hasChangeCount_ = connection.value(QStringLiteral(
                                 "SELECT to_regclass('coorpos_table_changes') IS NOT NULL")) == "t";
    return layout;
}

std::vector<ColumnStore::ColumnInfo> PgTableLayout::infos() const {
    std::vector<ColumnStore::ColumnInfo> infos;
    for (const Column& column : columns_)
        infos.push_back({column.name, column.kind});
    return infos;
}

QString PgTableLayout::selectList() const {
    QStringList names;
    for (const Column& column : columns_)
        names.append(quotedName(column.name));
    return names.join(QStringLiteral(", "));
}

// By writing transaction, then id: a refresh appends what committed since in
// this order, so a whole read gives the same rows in the same order.
QString PgTableLayout::order() const {
    QStringList keys;
    if (hasTxid_)
        keys.append(QStringLiteral("txid"));
    if (hasId_)
        keys.append(QStringLiteral("id"));
    return keys.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + keys.join(u", ");
}

bool PgTableLayout::operator==(const PgTableLayout& other) const {
    if (columns_.size() != other.columns_.size() || hasTxid_ != other.hasTxid_)
        return false;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (columns_[c].name != other.columns_[c].name ||
            columns_[c].type != other.columns_[c].type)
            return false;
    }
    return true;
}
