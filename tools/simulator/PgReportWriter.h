#pragma once

#include "tools/simulator/ReportWriter.h"

#include <vector>

struct pg_conn;

// Writes the four tables into a PostgreSQL server, one transaction per
// batch of reports. With several connections, each batch goes to the next
// connection and stays open until every connection holds one; they then
// commit newest first, so that the smaller ids become visible last, as with
// several writers at once.
class PgReportWriter : public ReportWriter {
public:
    PgReportWriter(const QString& connectionString, int connections);
    ~PgReportWriter() override;
    PgReportWriter(const PgReportWriter&) = delete;
    PgReportWriter& operator=(const PgReportWriter&) = delete;

    void createTables(bool dropExisting) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    void insertReport(const QString& station, const QDateTime& time, int radioId,
                      const StoredPosition& position) override;
    qint64 count(const char* table) override;

protected:
    void execute(const QByteArray& sql) override;

private:
    void execute(pg_conn* connection, const QByteArray& sql);
    void copyReports();
    void commitHeld();
    [[noreturn]] void fail(pg_conn* connection);

    std::vector<pg_conn*> connections_;
    std::size_t current_ = 0;
    std::size_t held_ = 0; // connections before current_ with a batch waiting to commit
    QByteArray reports_;   // the batch's rows in COPY's text form
};
