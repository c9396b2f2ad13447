#include "tools/simulator/PositionWriter.h"

#include <sqlite3.h>

PositionWriter::PositionWriter(const QString& fileName, bool wal, int busyTimeoutMs) {
    if (sqlite3_open(fileName.toUtf8().constData(), &db_) != SQLITE_OK)
        fail(sqlite3_errcode(db_));
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    execute(wal ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE");
}

PositionWriter::~PositionWriter() {
    sqlite3_finalize(insertReport_);
    sqlite3_close(db_);
}

void PositionWriter::createTables(bool dropExisting) {
    if (dropExisting) {
        execute("DROP TABLE IF EXISTS map_coor; DROP TABLE IF EXISTS projects;"
                "DROP TABLE IF EXISTS project_members; DROP TABLE IF EXISTS personel_team");
    }
    execute("CREATE TABLE IF NOT EXISTS map_coor(id INTEGER PRIMARY KEY, station_name TEXT,"
            " time DATETIME, radio_short_id INTEGER, ns TEXT, lat TEXT, ew TEXT, long TEXT,"
            " alt TEXT);"
            "CREATE TABLE IF NOT EXISTS projects(id INTEGER, project_name TEXT);"
            "CREATE TABLE IF NOT EXISTS project_members(project_id INTEGER,"
            " personel_team_id INTEGER);"
            "CREATE TABLE IF NOT EXISTS personel_team(id INTEGER, name TEXT, surname TEXT,"
            " radio_short_id_gps INTEGER)");
}

void PositionWriter::begin() {
    execute("BEGIN IMMEDIATE");
}

void PositionWriter::commit() {
    execute("COMMIT");
}

void PositionWriter::rollback() {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void PositionWriter::insertReport(const QString& station, const QDateTime& time, int radioId,
                                  const StoredPosition& position) {
    if (!insertReport_) {
        const char* sql = "INSERT INTO map_coor(station_name, time, radio_short_id, ns, lat, ew,"
                          " long, alt) VALUES(?, ?, ?, ?, ?, ?, ?, ?)";
        const int result = sqlite3_prepare_v2(db_, sql, -1, &insertReport_, nullptr);
        if (result != SQLITE_OK)
            fail(result);
    }
    const auto bindText = [this](int index, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(insertReport_, index, utf8.constData(), int(utf8.size()),
                          SQLITE_TRANSIENT);
    };
    bindText(1, station);
    bindText(2, time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    sqlite3_bind_int(insertReport_, 3, radioId);
    bindText(4, position.ns);
    bindText(5, position.lat);
    bindText(6, position.ew);
    bindText(7, position.lng);
    bindText(8, position.alt);
    const int result = sqlite3_step(insertReport_);
    sqlite3_reset(insertReport_);
    if (result != SQLITE_DONE)
        fail(result);
}

qint64 PositionWriter::count(const char* table) {
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = QByteArray("SELECT count(*) FROM ") + table;
    int result = sqlite3_prepare_v2(db_, sql.constData(), -1, &statement, nullptr);
    if (result != SQLITE_OK)
        fail(result);
    result = sqlite3_step(statement);
    const qint64 rows = result == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
    sqlite3_finalize(statement);
    if (result != SQLITE_ROW)
        fail(result);
    return rows;
}

void PositionWriter::execute(const QByteArray& sql) {
    const int result = sqlite3_exec(db_, sql.constData(), nullptr, nullptr, nullptr);
    if (result != SQLITE_OK)
        fail(result);
}

void PositionWriter::fail(int result) {
    const int primary = result & 0xff;
    throw WriteError(QString::fromUtf8(sqlite3_errmsg(db_)),
                     primary == SQLITE_BUSY || primary == SQLITE_LOCKED);
}
