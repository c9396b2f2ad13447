#include "store/postgres/PgTableReader.h"

#include "app/Error.h"
#include "store/postgres/PgConnection.h"
#include "store/postgres/PgCopyReader.h"

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
    if (whole.layout.readsExactly()) {
        whole.mark = readMark(connection, whole.layout);
        query = rowsBetween(whole.layout, std::nullopt, whole.mark.horizon);
    } else {
        query = QStringLiteral("SELECT %1 FROM %2%3")
                    .arg(whole.layout.selectList(), tableName, whole.layout.order());
    }
    if (expected > 0)
        whole.rows.reserve(quint32(std::min<quint64>(expected, 1u << 30)));
    PgCopyReader reader(whole.layout);
    const bool complete = reader.read(connection, query, whole.rows, cancel, [&](quint64 rows) {
        if (progress)
            progress(rows, std::max(expected, rows));
    });
    if (!complete)
        return std::nullopt;
    snapshot.end();
    return whole;
}

PgTableReader::Since PgTableReader::readSince(PgConnection& connection, const PgTableLayout& layout,
                                              const Mark& mark) {
    Snapshot snapshot(connection);
    Since since{ColumnStore(layout.infos()), mark, false};
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
