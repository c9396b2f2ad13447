#include "tools/simulator/PgReportWriter.h"

#include <QFile>

#include <libpq-fe.h>

namespace {

// COPY's text form: a backslash, tab or line break in a value is escaped.
void appendField(QByteArray& row, const QString& value) {
    for (const char c : value.toUtf8()) {
        switch (c) {
        case '\\':
            row += "\\\\";
            break;
        case '\t':
            row += "\\t";
            break;
        case '\n':
            row += "\\n";
            break;
        case '\r':
            row += "\\r";
            break;
        default:
            row += c;
        }
    }
}

} // namespace

PgReportWriter::PgReportWriter(const QString& connectionString, int connections) {
    for (int i = 0; i < connections; ++i) {
        pg_conn* connection = PQconnectdb(connectionString.toUtf8().constData());
        connections_.push_back(connection);
        if (PQstatus(connection) != CONNECTION_OK)
            fail(connection);
        PQsetNoticeProcessor(
            connection, [](void*, const char*) {}, nullptr);
        execute(connection, "SET client_encoding = 'UTF8'");
    }
}

PgReportWriter::~PgReportWriter() {
    try {
        commitHeld();
    } catch (const WriteError&) {
        // The server went away; what was not committed is lost, as for any writer.
    }
    for (pg_conn* connection : connections_)
        PQfinish(connection);
}

void PgReportWriter::createTables(bool dropExisting) {
    if (dropExisting) {
        execute("DROP TABLE IF EXISTS map_coor, projects, project_members, personel_team,"
                " coorpos_table_changes");
    }
    QFile schema(QStringLiteral(":/pg-schema.sql"));
    schema.open(QIODevice::ReadOnly);
    execute(schema.readAll());
}

void PgReportWriter::begin() {
    execute("BEGIN");
}

void PgReportWriter::commit() {
    copyReports();
    ++held_;
    current_ = (current_ + 1) % connections_.size();
    if (held_ == connections_.size())
        commitHeld();
}

void PgReportWriter::rollback() {
    reports_.clear();
    for (pg_conn* connection : connections_) {
        // A session the server dropped is made again (the server restarted).
        if (PQstatus(connection) != CONNECTION_OK) {
            PQreset(connection);
            PQclear(PQexec(connection, "SET client_encoding = 'UTF8'"));
        } else {
            PQclear(PQexec(connection, "ROLLBACK"));
        }
    }
    held_ = 0;
    current_ = 0;
}

void PgReportWriter::insertReport(const QString& station, const QDateTime& time, int radioId,
                                  const StoredPosition& position) {
    appendField(reports_, station);
    reports_ += '\t';
    reports_ += time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
    reports_ += '\t';
    reports_ += QByteArray::number(radioId);
    for (const QString* text :
         {&position.ns, &position.lat, &position.ew, &position.lng, &position.alt}) {
        reports_ += '\t';
        appendField(reports_, *text);
    }
    reports_ += '\n';
}

qint64 PgReportWriter::count(const char* table) {
    commitHeld();
    const QByteArray sql = QByteArray("SELECT count(*) FROM ") + table;
    PGresult* result = PQexec(connections_.front(), sql.constData());
    if (PQresultStatus(result) != PGRES_TUPLES_OK) {
        PQclear(result);
        fail(connections_.front());
    }
    const qint64 rows = QByteArray(PQgetvalue(result, 0, 0)).toLongLong();
    PQclear(result);
    return rows;
}

void PgReportWriter::execute(const QByteArray& sql) {
    execute(connections_[current_], sql);
}

void PgReportWriter::execute(pg_conn* connection, const QByteArray& sql) {
    PGresult* result = PQexec(connection, sql.constData());
    const bool ok =
        PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
    PQclear(result);
    if (!ok)
        fail(connection);
}

// One COPY a batch: the ids are drawn in the batch's order, and the insert
// trigger wakes the readers once.
void PgReportWriter::copyReports() {
    if (reports_.isEmpty())
        return;
    pg_conn* connection = connections_[current_];
    PGresult* result = PQexec(connection, "COPY map_coor(station_name, time, radio_short_id, ns,"
                                          " lat, ew, long, alt) FROM STDIN");
    const bool copying = PQresultStatus(result) == PGRES_COPY_IN;
    PQclear(result);
    if (!copying || PQputCopyData(connection, reports_.constData(), int(reports_.size())) != 1 ||
        PQputCopyEnd(connection, nullptr) != 1)
        fail(connection);
    reports_.clear();
    result = PQgetResult(connection);
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    while ((result = PQgetResult(connection)))
        PQclear(result);
    if (!ok)
        fail(connection);
}

void PgReportWriter::commitHeld() {
    while (held_ > 0) {
        --held_;
        execute(connections_[held_], "COMMIT");
    }
    current_ = 0;
}

void PgReportWriter::fail(pg_conn* connection) {
    throw WriteError(QString::fromUtf8(PQerrorMessage(connection)).trimmed(), false,
                     PQstatus(connection) != CONNECTION_OK);
}
