#include "store/postgres/PgTableReader.h"

#include "app/Error.h"
#include "store/postgres/PgConnection.h"
#include "store/postgres/PgCopyReader.h"

#include <algorithm>
#include <numeric>

namespace {

// One repeatable-read snapshot for the reads of one step; rolled back (it
// wrote nothing) when the step throws.
class Snapshot {
public:
    explicit Snapshot(PgConnection& connection)
        : connection_(connection) {
        connection_.exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    }
    ~Snapshot() {
        if (open_ && !connection_.isBroken())
            PQclear(PQexec(connection_.handle(), "ROLLBACK"));
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    void end() {
        connection_.exec(QStringLiteral("COMMIT"));
        open_ = false;
    }

private:
    PgConnection& connection_;
    bool open_ = true;
};

PgTableReader::Mark readMark(PgConnection& connection, const PgTableLayout& layout) {
    const PgResult result = connection.exec(
        QStringLiteral("SELECT pg_snapshot_xmin(pg_current_snapshot())::text,"
                       " (SELECT changes FROM coorpos_table_changes WHERE table_name = $1)"),
        layout.tableName().toUtf8());
    return {QByteArray(result.value(0, 0)).toULongLong(),
            QByteArray(result.value(0, 1)).toLongLong()};
}

// The id column the order's second key reads, -1 when it has none.
int idColumnOf(const ColumnStore& rows) {
    const int column = rows.columnIndex(u"id");
    return column >= 0 && rows.info(column).name == u"id" ? column : -1;
}

// Puts a whole read's rows in the order a refresh appends in (by writing
// transaction, then id, NULL ids last). Sorting them here spares the server
// its sort of the whole table, and rows that were only ever appended by one
// writer lie in that order already.
void putInReadOrder(ColumnStore& rows, const IntegerColumn& txids) {
    const int id = idColumnOf(rows);
    const auto before = [&](quint32 a, quint32 b) {
        const qint64 txidA = txids.at(a), txidB = txids.at(b);
        if (txidA != txidB)
            return txidA < txidB;
        if (id < 0)
            return false;
        const bool nullA = rows.isNull(id, a), nullB = rows.isNull(id, b);
        if (nullA || nullB)
            return !nullA && nullB;
        return rows.integer(id, a) < rows.integer(id, b);
    };
    quint32 row = 1;
    while (row < rows.rowCount() && !before(row, row - 1))
        ++row;
    if (row >= rows.rowCount())
        return;
    std::vector<quint32> order(rows.rowCount());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), before);
    rows.reorder(order);
}

QString rowsBetween(const PgTableLayout& layout, std::optional<quint64> from, quint64 to) {
    QString where = QStringLiteral(" WHERE txid < '%1'::xid8").arg(to);
    if (from)
        where += QStringLiteral(" AND txid >= '%1'::xid8").arg(*from);
    return QStringLiteral("SELECT %1 FROM %2%3%4")
        .arg(layout.selectList(), layout.tableName(), where, layout.order());
}

} // namespace

std::optional<PgTableReader::Whole> PgTableReader::readWhole(PgConnection& connection,
                                                             const QString& tableName,
                                                             const std::atomic_bool* cancel,
                                                             const Progress& progress) {
    Snapshot snapshot(connection);
    Whole whole{PgTableLayout::read(connection, tableName), ColumnStore(), {}};
    whole.rows = ColumnStore(whole.layout.infos());
    // The planner's estimate is enough for a progress bar.
    const qint64 estimate =
        connection
            .value(QStringLiteral("SELECT reltuples::bigint FROM pg_class WHERE oid = "
                                  "to_regclass('%1')")
                       .arg(tableName))
            .toLongLong();
    const quint64 expected = quint64(std::max<qint64>(estimate, 0));
    QString query;
    // The order is made after the read when the ids are numbers, as the
    // server would sort them.
    const int id = idColumnOf(whole.rows);
    const bool orderedHere =
        whole.layout.readsExactly() && (id < 0 || whole.rows.info(id).kind == ColumnKind::Integer);
    IntegerColumn txids;
    if (orderedHere) {
        whole.mark = readMark(connection, whole.layout);
        query = QStringLiteral("SELECT %1, txid FROM %2 WHERE txid < '%3'::xid8")
                    .arg(whole.layout.selectList(), tableName)
                    .arg(whole.mark.horizon);
    } else if (whole.layout.readsExactly()) {
        whole.mark = readMark(connection, whole.layout);
        query = rowsBetween(whole.layout, std::nullopt, whole.mark.horizon);
    } else {
        query = QStringLiteral("SELECT %1 FROM %2%3")
                    .arg(whole.layout.selectList(), tableName, whole.layout.order());
    }
    if (expected > 0) {
        const quint32 reserved = quint32(std::min<quint64>(expected, 1u << 30));
        whole.rows.reserve(reserved);
        if (orderedHere)
            txids.reserve(reserved);
    }
    PgCopyReader reader(whole.layout, orderedHere ? &txids : nullptr);
    const bool complete = reader.read(connection, query, whole.rows, cancel, [&](quint64 rows) {
        if (progress)
            progress(rows, std::max(expected, rows));
    });
    if (!complete)
        return std::nullopt;
    snapshot.end();
    if (orderedHere)
        putInReadOrder(whole.rows, txids);
    return whole;
}

PgTableReader::Since PgTableReader::readSince(PgConnection& connection, const PgTableLayout& layout,
                                              const Mark& mark) {
    Since since{ColumnStore(layout.infos()), mark, false};
    // One statement when nothing was committed past the horizon and nothing
    // changed in place, as between most refreshes: a view refreshes once per
    // radio. A change of columns commits a transaction of its own, so it is
    // seen once the horizon moves, before any row is read past it.
    if (readMark(connection, layout) == mark)
        return since;
    Snapshot snapshot(connection);
    const PgTableLayout now = PgTableLayout::read(connection, layout.tableName());
    since.mark = readMark(connection, layout);
    // A horizon below the last one is another server's count (a standby
    // promoted before it had all that was read): only a whole read is sure.
    if (!(now == layout) || !now.readsExactly() || since.mark.changes != mark.changes ||
        since.mark.horizon < mark.horizon) {
        since.wholeReadDue = true;
        return since;
    }
    if (since.mark.horizon > mark.horizon) {
        PgCopyReader reader(layout);
        reader.read(connection, rowsBetween(layout, mark.horizon, since.mark.horizon), since.rows);
    }
    snapshot.end();
    return since;
}
