#include "store/SqliteTableReplica.h"

#include "app/Error.h"
#include "store/Connection.h"
#include "store/SqliteTableRead.h"

#include <QCoreApplication>

namespace {

// The change of a reading taken into the rows held.
TableReplica::Change changeOf(const TableReading& reading, quint32 rowsAfter) {
    if (reading.fresh)
        return {true, 0, reading.earlier, rowsAfter};
    return {false, reading.kept, reading.earlier - reading.kept, reading.appended};
}

} // namespace

std::unique_ptr<SqliteTableReplica> sqliteReplica(Connection& connection,
                                                  const QString& tableName) {
    return std::make_unique<SqliteTableReplica>(connection, tableName);
}

SqliteTableReplica::SqliteTableReplica(Connection& connection, const QString& tableName,
                                       QObject* parent)
    : TableReplica(tableName, parent)
    , connection_(connection) {
    connect(&check_, &RowCheckRounds::stepEnded, this, &SqliteTableReplica::checkEnded);
}

SqliteTableReplica::~SqliteTableReplica() {
    check_.stop();
}

SqliteTableReplica::ReadStamp SqliteTableReplica::currentStamp() const {
    return {connection_.openSerial(), connection_.dataVersion()};
}

// The table is read again unless no other connection has committed since
// the last read; on failure the rows read before stay. In a rowid table only the rows past the last
// row id are read here; a check beside the window proves the rows before unchanged. With
// incremental refresh every whole read runs beside the window, and adoptLoad takes it.
TableReplica::Change SqliteTableReplica::refresh() {
    connection_.reopenIfReplaced();
    const ReadStamp stamp = currentStamp();
    const bool sameOpen = open_ && stamp.openSerial == readStamp_.openSerial;
    const bool unchanged = sameOpen && stamp == readStamp_ && !wholeReadDue_;
    const bool appendable = sameOpen && rowidTable_ && !wholeReadDue_;
    // A finished load waits for adoptLoad: reading behind the rows it replaces
    // would be lost.
    if (load_ || loaded_ || unchanged || (loadHeld_ && !appendable)) {
        startCheck();
        return {};
    }
    RowidTrack track{lastRowid_, {}};
    std::optional<TableReading> reading;
    if (appendable)
        reading = readAppendedRows(connection_, tableName(), store_, bounds_, track);
    const bool tracked = reading.has_value();
    if (!reading && incremental_) {
        if (!loadHeld_)
            startLoad();
        return {};
    }
    if (!reading)
        reading = readWholeTable(connection_, tableName(), open_ ? &store_ : nullptr, bounds_);
    if (reading->changed())
        emit rowsAboutToChange();
    if (reading->fresh) {
        store_ = std::move(*reading->fresh);
        index_.clear();
        timeIndex_ = RadioTimeIndex();
    } else {
        store_.eraseRows(reading->kept, reading->earlier);
        // Rows only appended leave the indexes right for the rows before.
        if (reading->kept != reading->earlier) {
            index_.clear();
            timeIndex_ = RadioTimeIndex();
        }
    }
    if (tracked && track.last != lastRowid_) {
        check_.fingerprints().append(lastRowid_, track.last, track.appended);
        lastRowid_ = track.last;
    }
    open_ = true;
    readStamp_ = stamp;
    startCheck();
    return reading->changed() ? changeOf(*reading, store_.rowCount()) : Change{};
}

// Reads the whole table on a thread of its own; the rows held stay until it
// is adopted. A table that cannot be read at all (a missing one, say)
// throws here at once, as a read on this thread does.
void SqliteTableReplica::startLoad() {
    requireReadable(connection_, tableName());
    rowidTable_ = isRowidTable(connection_, tableName());
    loadStamp_ = currentStamp();
    check_.stop();
    const quint64 generation = ++loadGeneration_;
    load_ = std::make_unique<TableLoad>(
        connection_.fileName(), tableName(), indexedColumn_, bounds_, rowidTable_,
        [this, generation](quint64 rows, quint64 expected) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, rows, expected] {
                    if (generation == loadGeneration_)
                        emit loadProgress(rows, expected);
                },
                Qt::QueuedConnection);
        },
        [this, generation] {
            QMetaObject::invokeMethod(
                this, [this, generation] { finishLoad(generation); }, Qt::QueuedConnection);
        });
    emit loadingChanged(true);
}

// A failed first load is reported and not tried again until asked; a failed
// later one is tried again at the next refresh, the rows held staying
// meanwhile.
void SqliteTableReplica::finishLoad(quint64 generation) {
    if (generation != loadGeneration_ || !load_)
        return;
    const bool cancelled = load_->cancelled();
    TableLoad::Outcome outcome = load_->take();
    load_.reset();
    const QString error = outcome.error;
    if (outcome.store)
        loaded_ = std::move(outcome);
    else if (cancelled || !open_)
        loadHeld_ = true;
    emit loadingChanged(false);
    if (!error.isEmpty() && !open_)
        emit loadFailed(error);
}

// Takes a finished load's rows in place of those held. Changes committed
// since the load began are found by the next refresh: appended rows past the
// last row id read, any other change by the check.
TableReplica::Change SqliteTableReplica::adoptLoad() {
    if (!loaded_)
        return {};
    emit rowsAboutToChange();
    const quint32 before = store_.rowCount();
    store_ = std::move(*loaded_->store);
    index_ = std::move(loaded_->index);
    timeIndex_ = std::move(loaded_->timeIndex);
    lastRowid_ = loaded_->lastRowid;
    check_.fingerprints() = std::move(loaded_->fingerprints);
    loaded_.reset();
    open_ = true;
    wholeReadDue_ = false;
    readStamp_ = loadStamp_;
    checkedStamp_ = loadStamp_;
    return {true, 0, before, store_.rowCount()};
}

void SqliteTableReplica::stopLoad() {
    ++loadGeneration_;
    const bool wasLoading = load_ != nullptr;
    load_.reset();
    loaded_.reset();
    if (wasLoading)
        emit loadingChanged(false);
}

void SqliteTableReplica::cancelLoading() {
    if (load_)
        load_->cancel();
}

// Starts a round of the check of the rows held when the table changed since
// the last round began, or goes on with the round running. A change
// committed anywhere is found within a round's time after it.
void SqliteTableReplica::startCheck() {
    if (!rowidTable_ || load_ || check_.isBusy() || wholeReadDue_)
        return;
    SliceFingerprints& fingerprints = check_.fingerprints();
    if (fingerprints.roundDone()) {
        if (checkedStamp_ == readStamp_)
            return;
        checkedStamp_ = readStamp_;
        fingerprints.startRound();
        if (fingerprints.roundDone())
            return;
    }
    check_.startStep(connection_.fileName(), tableName());
}

// A step that failed changes nothing; the round goes on at the next refresh.
// One that found other rows than held has the table read whole.
void SqliteTableReplica::checkEnded(RowCheckStep::Finding finding) {
    switch (finding) {
    case RowCheckStep::Failed:
        checkedStamp_.reset();
        return;
    case RowCheckStep::Unchanged:
        startCheck();
        return;
    case RowCheckStep::Changed:
        break;
    }
    wholeReadDue_ = true;
    if (loadHeld_)
        return;
    try {
        startLoad();
    } catch (const Error&) {
        // The next refresh starts it, or reports why it cannot.
    }
}

void SqliteTableReplica::waitForBackgroundWork() {
    while (check_.isBusy() || load_) {
        check_.hurry();
        if (load_)
            load_->wait();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
}

TableReplica::CheckStats SqliteTableReplica::checkStats() const {
    return {check_.rowsChecked(), check_.cpuSeconds()};
}

void SqliteTableReplica::close() {
    check_.stop();
    stopLoad();
    loadHeld_ = false;
    rowidTable_ = false;
    wholeReadDue_ = false;
    check_.fingerprints() = SliceFingerprints();
    emit rowsAboutToChange();
    store_ = ColumnStore();
    index_.clear();
    timeIndex_ = RadioTimeIndex();
    open_ = false;
}

// Rows read on this thread join at the first look after them.
const RadioTimeIndex& SqliteTableReplica::timeIndex() {
    timeIndex_.extend(store_);
    return timeIndex_;
}
