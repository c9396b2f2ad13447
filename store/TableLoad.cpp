#include "store/TableLoad.h"

#include "store/ReadOnlyDatabase.h"
#include "store/SqliteRowReader.h"
#include "store/StepBound.h"
#include "store/WorkerPriority.h"

#include <algorithm>

namespace {

// A slice's read lock lasts a few milliseconds.
constexpr quint32 rowsPerSlice = SliceFingerprints::rowsPerSlice;
constexpr quint64 rowsPerProgress = 65536;
constexpr quint64 rowsPerCount = 4096;
// Below this a second thread costs more than it saves.
constexpr quint64 rowsForTwoHalves = 200'000;

sqlite3* openedHandle(const ReadOnlyDatabase& database) {
    if (!database.handle())
        throw Error(database.lastMessage());
    return database.handle();
}

} // namespace

TableLoad::TableLoad(const QString& fileName, const QString& tableName,
                     const QString& indexedColumn, const ReadBounds& bounds, bool rowidTable,
                     Progress progress, std::function<void()> done)
    : fileName_(fileName)
    , tableName_(tableName)
    , indexedColumn_(indexedColumn)
    , bounds_(bounds)
    , rowidTable_(rowidTable)
    , progress_(std::move(progress))
    , done_(std::move(done))
    , thread_([this] { run(); }) {}

TableLoad::~TableLoad() {
    cancel();
    wait();
}

void TableLoad::cancel() {
    cancelled_ = true;
}

void TableLoad::wait() {
    if (thread_.joinable())
        thread_.join();
}

TableLoad::Outcome TableLoad::take() {
    wait();
    return std::move(outcome_);
}

// A large rowid table is read in two halves of its row ids side by side,
// the second half taking rows appended meanwhile too, and then joined.
void TableLoad::run() {
    lowerWorkerPriority();
    try {
        if (!rowidTable_) {
            readWhole(outcome_);
        } else {
            Range first;
            std::optional<Range> second;
            if (const auto span = rowidSpan()) {
                const auto [lowest, highest] = *span;
                expected_ = quint64(highest) - quint64(lowest) + 1;
                if (expected_ >= rowsForTwoHalves) {
                    first.last = lowest + qint64(expected_ / 2);
                    second = Range{first.last};
                }
            }
            progress_(0, expected_);
            if (!second) {
                readRange(outcome_, first, expected_);
            } else {
                Outcome secondHalf;
                // Each half indexes its times on its own thread.
                const auto readAndIndex = [this](Outcome& part, Range range, quint64 reserve) {
                    readRange(part, range, reserve);
                    if (part.store && !cancelled_)
                        part.timeIndex.extend(*part.store);
                };
                std::thread other([&] {
                    lowerWorkerPriority();
                    readAndIndex(secondHalf, *second, expected_ / 2);
                });
                readAndIndex(outcome_, first, expected_);
                other.join();
                if (!secondHalf.error.isEmpty())
                    throw Error(secondHalf.error);
                if (outcome_.store && secondHalf.store) {
                    outcome_.store->append(std::move(*secondHalf.store));
                    outcome_.fingerprints.append(secondHalf.fingerprints);
                    outcome_.lastRowid = std::max(outcome_.lastRowid, secondHalf.lastRowid);
                    outcome_.timeIndex.append(std::move(secondHalf.timeIndex), *outcome_.store);
                }
            }
        }
        buildIndex();
    } catch (const Error& error) {
        outcome_.error = error.message();
    }
    if (cancelled_ || !outcome_.error.isEmpty()) {
        outcome_.store.reset();
        if (cancelled_)
            outcome_.error.clear();
    }
    done_();
}

// The lowest and highest row id; none in an empty table. The statement ends
// here, so that its read lock does not last the whole load.
std::optional<std::pair<qint64, qint64>> TableLoad::rowidSpan() const {
    const ReadOnlyDatabase database(fileName_);
    SqliteRowReader span(openedHandle(database),
                         QStringLiteral("SELECT min(rowid), max(rowid) FROM %1").arg(tableName_));
    if (!span.next() || span.isNullAt(0))
        return std::nullopt;
    return std::pair(span.integerAt(0), span.integerAt(1));
}

void TableLoad::buildIndex() {
    if (!outcome_.store || cancelled_)
        return;
    const int column = outcome_.store->columnIndex(indexedColumn_);
    if (column >= 0 && outcome_.store->info(column).kind == ColumnKind::Integer)
        outcome_.index.build(*outcome_.store, column);
    outcome_.timeIndex.extend(*outcome_.store);
}

void TableLoad::readWhole(Outcome& part) {
    const ReadOnlyDatabase database(fileName_);
    sqlite3* db = openedHandle(database);
    StepBound steps(db, bounds_.maxStepsWithoutRow, &cancelled_);
    SqliteRowReader whole(db, QStringLiteral("SELECT * FROM %1").arg(tableName_));
    RowFingerprint unused;
    appendRows(part, whole, steps, 0, unused);
}

// The part's failure is left in its error, for the thread that joins it.
void TableLoad::readRange(Outcome& part, Range range, quint64 reserveRows) {
    try {
        const ReadOnlyDatabase database(fileName_);
        sqlite3* db = openedHandle(database);
        StepBound steps(db, bounds_.maxStepsWithoutRow, &cancelled_);
        SqliteRowReader slice = SqliteRowReader::rowidSlices(db, tableName_);
        part.lastRowid = range.after;
        for (quint64 rows = rowsPerSlice; rows == rowsPerSlice && !cancelled_;) {
            const qint64 after = part.lastRowid;
            slice.startSlice(after, range.last, rowsPerSlice);
            RowFingerprint fingerprint;
            rows = appendRows(part, slice, steps, reserveRows, fingerprint);
            if (rows > 0)
                part.fingerprints.append(after, part.lastRowid, fingerprint);
        }
        // The first half's slices reach to where the second's begin.
        if (range.last != std::numeric_limits<qint64>::max())
            part.fingerprints.extendTo(range.last);
    } catch (const Error& error) {
        part.error = error.message();
    }
}

// Reads the rows to their end, appending them; how many there were.
quint64 TableLoad::appendRows(Outcome& part, SqliteRowReader& reader, StepBound& steps,
                              quint64 reserveRows, RowFingerprint& fingerprint) {
    // A read stopped by its bound says so; a cancelled one ends quietly.
    const auto next = [&] {
        try {
            return reader.next();
        } catch (const Error&) {
            if (steps.exceeded())
                throw bounds_.tooManySteps(tableName_);
            if (cancelled_)
                return false;
            throw;
        }
    };
    bool more = next();
    std::optional<ColumnStore>& store = part.store;
    if (!store) {
        store.emplace(reader.columns());
        // Room to grow too: the writer appends, and the first append past a
        // full column would copy it whole, on the user-interface thread.
        const quint64 withRoom = reserveRows + reserveRows / 8;
        store->reserve(quint32(std::min<quint64>(withRoom, bounds_.maxRows)));
    } else if (store->columns() != reader.columns()) {
        throw Error(QStringLiteral("The columns of %1 changed while it was read").arg(tableName_));
    }
    // Rows are counted into the shared total in batches: two threads
    // counting every row would fight over its cache line.
    quint64 rows = 0;
    quint64 uncounted = 0;
    const auto count = [&] {
        const quint64 before = rowsRead_.fetch_add(uncounted);
        if ((before + uncounted) / rowsPerProgress != before / rowsPerProgress)
            progress_(before + uncounted, expected_);
        uncounted = 0;
    };
    for (; more; more = next()) {
        steps.rowGiven();
        if (rowsRead_.load(std::memory_order_relaxed) + uncounted >= bounds_.maxRows)
            throw bounds_.tooManyRows(tableName_);
        const std::vector<ColumnStore::Cell>& cells = reader.cells();
        if (rowidTable_) {
            part.lastRowid = reader.rowid();
            fingerprint.add(cells, reader.columns(), part.lastRowid);
        }
        store->appendRow(cells);
        ++rows;
        if (++uncounted == rowsPerCount)
            count();
    }
    count();
    return rows;
}
