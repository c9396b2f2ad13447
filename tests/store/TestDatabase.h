#pragma once

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

// A writer's connection for building and changing test databases.
class TestDatabase {
public:
    explicit TestDatabase(const QString& fileName) {
        sqlite3_open(fileName.toUtf8().constData(), &db_);
    }
    ~TestDatabase() { sqlite3_close(db_); }
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // Returns the database's message, empty on success.
    QString execute(const QByteArray& sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK)
            return QString();
        const QString text = QString::fromUtf8(message);
        sqlite3_free(message);
        return text.isEmpty() ? QStringLiteral("error") : text;
    }

    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};
