#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

struct sqlite3;

// A report's time as the writer stores it.
QString storedTime(const QDateTime& time);

// A small database file written for one test through a connection of its
// own, standing in for the software that fills the real one.
class TestDatabase {
public:
    explicit TestDatabase(const QString& path);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // The four tables with the declared types the writing software uses.
    TestDatabase& createSchema();
    TestDatabase& exec(const QString& sql);
    // The database's message, empty on success; for tests that expect failures.
    QString execute(const QByteArray& sql);
    sqlite3* handle() const { return db_; }
    // The first column of every row of a query, as integers.
    QList<qint64> integers(const QByteArray& sql);
    TestDatabase& addProject(int id, const QString& name);
    TestDatabase& addMember(int projectId, int personId);
    TestDatabase& addPerson(int id, const QString& name, const QString& surname, int radio);
    TestDatabase& addReport(int radio, const QString& time, const QString& lat, const QString& lng,
                            const QString& station = QStringLiteral("Base"),
                            const QString& ns = QStringLiteral("N"),
                            const QString& ew = QStringLiteral("E"));

    const QString& path() const { return path_; }

private:
    QString path_;
    sqlite3* db_ = nullptr;
};
