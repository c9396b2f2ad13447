#pragma once

#include <QList>
#include <QString>

struct pg_conn;

// A connection of a test's own to a PostgreSQL server, standing in for the
// software that writes the real one, or for an administrator.
class PgSession {
public:
    explicit PgSession(const QString& connectionString); // throws Error when it cannot connect
    ~PgSession();
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    // Runs the statements; throws Error with the server's message.
    PgSession& exec(const QString& sql);
    // The server's message, empty on success; for tests that expect failures.
    QString execute(const QString& sql);
    // The first column of every row of a query, as integers.
    QList<qint64> integers(const QString& sql);

private:
    pg_conn* connection_ = nullptr;
};
