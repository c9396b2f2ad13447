#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

#include <libpq-fe.h>

#include <memory>

class PgConnection;

// One connection made without waiting for it: libpq's non-blocking connect,
// driven by the event loop, so that a server that never answers holds up
// nothing. The connection string's connect_timeout (10 s unless it says
// otherwise) bounds the whole attempt, which libpq leaves to its caller
// here. Only the host name's lookup, done inside libpq, may still wait.
class PgConnector : public QObject {
    Q_OBJECT
public:
    explicit PgConnector(const QString& connectionString, QObject* parent = nullptr);
    ~PgConnector() override;
    PgConnector(const PgConnector&) = delete;
    PgConnector& operator=(const PgConnector&) = delete;

    bool succeeded() const { return succeeded_; }
    // Why the attempt failed, the cause first (PgConnection::failureMessage).
    const QString& failure() const { return failure_; }
    // The session, once succeeded; null after it was taken.
    std::unique_ptr<PgConnection> take();

signals:
    // The attempt ended, one way or the other; emitted once.
    void finished();

private:
    void poll();
    void watch(PostgresPollingStatusType direction);
    void fail(const QString& libpqMessage);
    void finish();

    pg_conn* connection_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer deadline_;
    bool succeeded_ = false;
    QString failure_;
};
