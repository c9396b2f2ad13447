#pragma once

#include "store/EqualityIndex.h"
#include "store/RadioTimeIndex.h"
#include "store/TableReplica.h"
#include "store/postgres/PgTableLayout.h"
#include "store/postgres/PgTableLoad.h"
#include "store/postgres/PgTableReader.h"

#include <QDateTime>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

class Error;
class PgConnection;
class PgConnector;

// A table of a PostgreSQL server (a primary or a hot standby) held in
// memory. Incremental, the first read runs beside the window and each
// refresh appends exactly what was committed since the last one (see
// PgTableReader); rows changed or deleted in place, or a table without a
// txid column or the change count, are read whole beside the window again,
// and shown at the refresh after that read ends. Wake-ups from the writer's
// trigger (LISTEN on a connection of its own; a standby refuses it) and a
// poll fetch new rows ahead, so that a refresh finds them ready. A lost
// connection keeps the rows held; each refresh and poll tries again, with
// growing rests, and the first read after it catches up from where the
// last one stopped. The window's thread never waits on a connect: a
// refresh that needs a connection starts one beside and says so by
// throwing; the whole read hands over the session it made.
class PgTableReplica : public TableReplica {
    Q_OBJECT
public:
    PgTableReplica(const QString& connectionString, const QString& tableName,
                   QObject* parent = nullptr);
    ~PgTableReplica() override;

    // Off, every refresh reads the table whole at once (the small tables).
    // Set before the first refresh.
    void setIncrementalRefresh(bool on) { incremental_ = on; }
    // Whole reads beside the window build this integer column's index as well.
    void setIndexedColumn(const QString& column) { indexedColumn_ = column; }
    // How often new rows are fetched ahead without a wake-up.
    void setPollInterval(std::chrono::milliseconds interval);

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
    void resumeLoading() override;
    void waitForBackgroundWork() override;
    // Nothing re-reads the rows held here: the server counts changes in
    // place (coorpos_table_changes) and each refresh reads the count in its
    // one statement, so no rows are checked and no time goes to it.
    CheckStats checkStats() const override { return {}; }

    // The writer's wake-ups arrive (a primary with the schema's trigger).
    bool isListening() const { return notifier_ != nullptr; }
    // When the server stopped answering; invalid while it answers.
    const QDateTime& unreachableSince() const { return unreachableSince_; }
    // A connection is being made; connectAttemptEnded follows.
    bool isConnecting() const { return connector_ != nullptr; }

signals:
    // A connection was made or failed: a refresh now gets its rows or the
    // reason.
    void connectAttemptEnded();
    // Rows committed since the last refresh were fetched ahead: a refresh
    // shows them.
    void rowsFetched();

private:
    PgConnection& connection();
    void connectorFinished();
    void adoptConnection(std::unique_ptr<PgConnection> session);
    Error unreachable(const QString& cause);
    // Runs a read on the connection; a lost connection is dropped, and the
    // error then says since when the server is unreachable.
    template <typename Read> auto guarded(Read read);
    void fetch();
    void fetchAhead();
    Change takeFetched();
    Change readWholeNow();
    void startLoad();
    void finishLoad(quint64 generation);
    void stopLoad();
    void listen();
    void listenerConnected();
    void stopListening();
    void readNotifications();

    QString connectionString_;
    bool incremental_ = true;
    QString indexedColumn_;
    bool open_ = false;

    std::unique_ptr<PgConnection> connection_;
    std::unique_ptr<PgConnector> connector_;
    QDateTime unreachableSince_;
    QString unreachableMessage_;
    std::chrono::milliseconds retryRest_{0};
    QDateTime nextAttempt_;

    std::unique_ptr<PgConnector> listenerConnector_;
    std::unique_ptr<PgConnection> listener_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer poll_;

    std::optional<PgTableLayout> layout_;
    PgTableReader::Mark mark_;
    ColumnStore store_;
    ColumnStore fetched_; // committed since the last refresh, read ahead
    EqualityIndex index_;
    RadioTimeIndex timeIndex_;
    bool wholeReadDue_ = true;

    std::unique_ptr<PgTableLoad> load_;
    quint64 loadGeneration_ = 0;
    std::optional<PgTableLoad::Outcome> loaded_;
    bool loadHeld_ = false;
    QString loadError_;
};
