#include "store/RowCheck.h"

#include "store/ReadOnlyDatabase.h"
#include "store/StatementRowReader.h"
#include "store/WorkerPriority.h"

#include <sqlite3.h>

#include <limits>

namespace {

constexpr int rowsPerStatement = 4096;

} // namespace

std::optional<RowFingerprint> fingerprintRows(const QString& fileName, const QString& tableName,
                                              qint64 lastRowid, const std::atomic_bool& cancelled) {
    lowerWorkerPriority();
    const ReadOnlyDatabase database(fileName);
    sqlite3* db = database.handle();
    if (!db)
        return std::nullopt;
    const QByteArray sql =
        QStringLiteral("SELECT *, rowid FROM %1 WHERE rowid > ?1 AND rowid <= %2 "
                       "ORDER BY rowid LIMIT %3")
            .arg(tableName)
            .arg(lastRowid)
            .arg(rowsPerStatement)
            .toUtf8();
    sqlite3_stmt* statement = nullptr;
    std::optional<RowFingerprint> fingerprint;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) ==
        SQLITE_OK) {
        const int rowidColumn = sqlite3_column_count(statement) - 1;
        StatementRowReader reader(statement, rowidColumn);
        RowFingerprint found;
        qint64 after = std::numeric_limits<qint64>::min();
        bool failed = false;
        for (int rows = rowsPerStatement; rows == rowsPerStatement && !failed;) {
            if (cancelled) {
                failed = true;
                break;
            }
            sqlite3_bind_int64(statement, 1, after);
            rows = 0;
            int result = SQLITE_ROW;
            while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
                after = sqlite3_column_int64(statement, rowidColumn);
                found.add(reader.read(), reader.columns(), after);
                ++rows;
            }
            failed = result != SQLITE_DONE || sqlite3_column_count(statement) != rowidColumn + 1;
            sqlite3_reset(statement);
        }
        if (!failed)
            fingerprint = std::move(found);
    }
    sqlite3_finalize(statement);
    return fingerprint;
}
