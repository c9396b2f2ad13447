#pragma once

#include "store/postgres/PgResult.h"

#include <QString>

#include <chrono>

// One read-only session on a PostgreSQL server: every transaction is read
// only (default_transaction_read_only) and every statement is bounded
// (statement_timeout), so a lock or a slow server cannot hold a reader.
class PgConnection {
public:
    static constexpr std::chrono::milliseconds defaultStatementTimeout{30000};

    // The connection string is libpq's (keywords or a URI, several hosts
    // allowed); passwords come from libpq's own files. Throws Error with a
    // message naming the cause when the server cannot be reached or refuses.
    explicit PgConnection(const QString& connectionString,
                          std::chrono::milliseconds statementTimeout = defaultStatementTimeout);
    // Takes a connection that PgConnector established.
    explicit PgConnection(pg_conn* established);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    pg_conn* handle() const { return connection_; }
    // The session ended under us: the server went away or was restarted.
    bool isBroken() const;

    // Runs a statement; throws Error with the server's message.
    PgResult exec(const QString& sql);
    // The same with one text parameter.
    PgResult exec(const QString& sql, const QByteArray& parameter);
    // The first value of a query that returns one.
    QByteArray value(const QString& sql);

    // Starts a connection with the same settings without waiting for it
    // (PQconnectPoll goes on); null only when memory runs out.
    static pg_conn* startConnecting(const QString& connectionString);
    // The server and database a connection string names, for the window's
    // title: never its password. Empty when the string does not parse.
    static QString describe(const QString& connectionString);
    // A failure to connect as the window shows it: the cause first.
    static QString failureMessage(const QString& libpqMessage);

private:
    PgResult check(PgResult result);

    pg_conn* connection_ = nullptr;
};
