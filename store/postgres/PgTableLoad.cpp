#include "store/postgres/PgTableLoad.h"

#include "app/Error.h"
#include "store/WorkerPriority.h"
#include "store/postgres/PgConnection.h"

PgTableLoad::PgTableLoad(const QString& connectionString, const QString& tableName,
                         const QString& indexedColumn, PgTableReader::Progress progress,
                         std::function<void()> done)
    : done_(std::move(done))
    , thread_([this, connectionString, tableName, indexedColumn, progress] {
        run(connectionString, tableName, indexedColumn, progress);
    }) {}

PgTableLoad::~PgTableLoad() {
    cancel();
    wait();
}

void PgTableLoad::wait() {
    if (thread_.joinable())
        thread_.join();
}

PgTableLoad::Outcome PgTableLoad::take() {
    wait();
    return std::move(outcome_);
}

void PgTableLoad::run(const QString& connectionString, const QString& tableName,
                      const QString& indexedColumn, const PgTableReader::Progress& progress) {
    lowerWorkerPriority();
    try {
        auto connection = std::make_unique<PgConnection>(connectionString);
        outcome_.whole = PgTableReader::readWhole(*connection, tableName, &cancel_, progress);
        if (outcome_.whole && !indexedColumn.isEmpty()) {
            const int column = outcome_.whole->rows.columnIndex(indexedColumn);
            if (column >= 0 && outcome_.whole->rows.info(column).kind == ColumnKind::Integer)
                outcome_.index.build(outcome_.whole->rows, column);
        }
        if (outcome_.whole) {
            outcome_.timeIndex.extend(outcome_.whole->rows);
            outcome_.session = std::move(connection);
        }
    } catch (const Error& error) {
        outcome_.whole.reset();
        outcome_.error = error.message();
    } catch (const std::exception& error) {
        outcome_.whole.reset();
        outcome_.error = QString::fromUtf8(error.what());
    }
    done_();
}
