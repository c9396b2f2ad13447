// A table of the SQLite file held in memory and kept current: whole reads,
// the rows appended past the last row id, and a check of the rows before.
#pragma once

#include "store/ColumnStore.h"
#include "store/EqualityIndex.h"
#include "store/RadioTimeIndex.h"
#include "store/ReadBounds.h"
#include "store/RowCheckRounds.h"
#include "store/TableLoad.h"
#include "store/TableReplica.h"

#include <memory>
#include <optional>

class Connection;

class SqliteTableReplica;

// A replica of the file's table, refreshed by whole reads on this thread
// until set otherwise.
std::unique_ptr<SqliteTableReplica> sqliteReplica(Connection& connection, const QString& tableName);

class SqliteTableReplica : public TableReplica {
    Q_OBJECT
public:
    SqliteTableReplica(Connection& connection, const QString& tableName, QObject* parent = nullptr);
    ~SqliteTableReplica() override;

    void setReadBounds(const ReadBounds& bounds) { bounds_ = bounds; }
    // On, a refresh of a rowid table reads only the rows appended since the
    // last read, and a change before them shows once a check and a whole read
    // beside the window have run. Every whole read then runs beside the
    // window: the rows read before stay until it is adopted (none at the
    // first refresh). Off, every refresh equals a fresh read. Set before the
    // first refresh.
    void setIncrementalRefresh(bool on) { incremental_ = on; }
    // An integer column the table is mostly narrowed by: whole reads beside
    // the window build its index as well.
    void setIndexedColumn(const QString& column) { indexedColumn_ = column; }

    bool isOpen() const override { return open_; }
    Change refresh() override;
    void close() override;
    const ColumnStore& rows() const override { return store_; }
    EqualityIndex& index() override { return index_; }
    const RadioTimeIndex& timeIndex() override;

    bool isLoading() const override { return load_ != nullptr; }
    bool isLoadingHeld() const override { return loadHeld_; }
    bool hasLoad() const override { return loaded_.has_value(); }
    Change adoptLoad() override;
    void cancelLoading() override;
    void resumeLoading() override { loadHeld_ = false; }
    void waitForBackgroundWork() override;
    CheckStats checkStats() const override;

private:
    // The connection's open and data version at a read.
    struct ReadStamp {
        quint64 openSerial = 0;
        qint64 dataVersion = 0;
        bool operator==(const ReadStamp&) const = default;
    };

    ReadStamp currentStamp() const;
    void startLoad();
    void finishLoad(quint64 generation);
    void stopLoad();
    void startCheck();
    void checkEnded(RowCheckStep::Finding finding);

    Connection& connection_;
    ReadBounds bounds_;
    bool incremental_ = false;
    QString indexedColumn_;

    bool open_ = false;
    ReadStamp readStamp_;
    ColumnStore store_;
    EqualityIndex index_;
    RadioTimeIndex timeIndex_;

    // A rowid table: appended rows are read past lastRowid_, the rows held
    // are fingerprinted by slices and checked beside the window.
    bool rowidTable_ = false;
    qint64 lastRowid_ = 0;
    bool wholeReadDue_ = false; // a check found a change before the appended rows
    RowCheckRounds check_;
    std::optional<ReadStamp> checkedStamp_; // the stamp when the last round began

    std::unique_ptr<TableLoad> load_;
    ReadStamp loadStamp_; // the stamp when the running load began
    std::optional<TableLoad::Outcome> loaded_;
    bool loadHeld_ = false;
    quint64 loadGeneration_ = 0;
};
