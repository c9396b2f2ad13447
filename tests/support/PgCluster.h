#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A private PostgreSQL 15 server for one test, in a temporary folder with its
// Unix socket in it and a loopback port of its own; stopped and removed at
// the end. Run as root, the server runs as the postgres user, which initdb
// and the server insist on.
class PgCluster {
public:
    PgCluster(); // a new primary, started; throws Error when it cannot start
    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    // A hot standby streaming from this server (pg_basebackup -R), started.
    std::unique_ptr<PgCluster> makeStandby() const;

    // The libpq connection string of the superuser through the socket.
    QString connectionString(const QString& database = QStringLiteral("postgres")) const;
    QString socketFolder() const { return folder_.path(); }
    int port() const { return port_; }

    void start();
    void stop(); // fast: open sessions are ended
    void promote();
    bool isRunning() const { return running_; }

private:
    struct StandbyTag {};
    PgCluster(const PgCluster& primary, StandbyTag);

    QString dataFolder() const;
    void writeSettings() const;
    // Runs one of the server's programs as the server's user; throws Error
    // with its output when it fails.
    void run(const QString& program, const QStringList& arguments) const;

    QTemporaryDir folder_;
    int port_ = 0;
    bool running_ = false;
};
