#include "store/postgres/PgTableReader.h"

#include "app/Error.h"
#include "store/postgres/PgConnection.h"
#include "store/postgres/PgCopyReader.h"

#include <algorithm>
#include <numeric>
#include <thread>

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

// Reads `query`'s rows in two halves of the table's pages, the first on
// `connection`, the second at the same time on `helper` in the same snapshot
// (exported by the connection's open transaction), and joins them in page
// order. The server's side of a whole read then runs on two processes, as
// the client's does. False when cancelled.
bool readInHalves(PgConnection& connection, PgConnection& helper, PgTableReader::Whole& whole,
                  IntegerColumn& txids, const QString& query, quint64 expected,
                  const std::atomic_bool* cancel, const PgTableReader::Progress& progress) {
    const QByteArray snapshotName = connection.value(QStringLiteral("SELECT pg_export_snapshot()"));
    const qint64 pages = connection
                             .value(QStringLiteral("SELECT relpages FROM pg_class WHERE oid = "
                                                   "to_regclass('%1')")
                                        .arg(whole.layout.tableName()))
                             .toLongLong();
    // Pages past the estimate are in the second half: the halves cover all.
    const QString middle = QStringLiteral("'(%1,0)'::tid").arg(std::max<qint64>(pages / 2, 0));
    std::atomic<quint64> secondRows = 0;
    ColumnStore second(whole.layout.infos());
    IntegerColumn secondTxids;
    const quint32 half = quint32(std::min<quint64>(expected / 2, 1u << 30));
    second.reserve(half);
    secondTxids.reserve(half);
    bool secondComplete = false;
    std::exception_ptr secondFailure;
    std::thread secondHalf([&] {
        try {
            Snapshot snapshot(helper);
            helper.exec(QStringLiteral("SET TRANSACTION SNAPSHOT '%1'")
                            .arg(QString::fromLatin1(snapshotName)));
            PgCopyReader reader(whole.layout, &secondTxids);
            secondComplete = reader.read(helper, query + QStringLiteral(" AND ctid >= ") + middle,
                                         second, cancel, [&](quint64 rows) { secondRows = rows; });
            if (secondComplete)
                snapshot.end();
        } catch (...) {
            secondFailure = std::current_exception();
        }
    });
    bool firstComplete = false;
    try {
        PgCopyReader reader(whole.layout, &txids);
        firstComplete = reader.read(connection, query + QStringLiteral(" AND ctid < ") + middle,
                                    whole.rows, cancel, [&](quint64 rows) {
                                        if (progress) {
                                            const quint64 all = rows + secondRows;
                                            progress(all, std::max(expected, all));
                                        }
                                    });
    } catch (...) {
        secondHalf.join();
        throw;
    }
    secondHalf.join();
    if (secondFailure)
        std::rethrow_exception(secondFailure);
    if (!firstComplete || !secondComplete)
        return false;
    whole.rows.append(std::move(second));
    txids.append(secondTxids);
    if (progress)
        progress(whole.rows.rowCount(), std::max<quint64>(expected, whole.rows.rowCount()));
    return true;
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
                                                             const Progress& progress,
                                                             PgConnection* helper) {
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
    if (expected > 0) {
        const quint32 reserved = quint32(std::min<quint64>(expected, 1u << 30));
        whole.rows.reserve(reserved);
        if (orderedHere)
            txids.reserve(reserved);
    }
    if (orderedHere) {
        whole.mark = readMark(connection, whole.layout);
        query = QStringLiteral("SELECT %1, txid FROM %2 WHERE txid < '%3'::xid8")
                    .arg(whole.layout.selectList(), tableName)
                    .arg(whole.mark.horizon);
        if (helper) {
            if (!readInHalves(connection, *helper, whole, txids, query, expected, cancel, progress))
                return std::nullopt;
            snapshot.end();
            putInReadOrder(whole.rows, txids);
            return whole;
        }
    } else if (whole.layout.readsExactly()) {
        whole.mark = readMark(connection, whole.layout);
        query = rowsBetween(whole.layout, std::nullopt, whole.mark.horizon);
    } else {
        query = QStringLiteral("SELECT %1 FROM %2%3")
                    .arg(whole.layout.selectList(), tableName, whole.layout.order());
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
