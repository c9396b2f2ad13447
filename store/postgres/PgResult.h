#pragma once

#include <libpq-fe.h>

#include <utility>

// Owns one libpq result.
class PgResult {
public:
    explicit PgResult(PGresult* result = nullptr)
        : result_(result) {}
    ~PgResult() { PQclear(result_); }
    PgResult(PgResult&& other) noexcept
        : result_(std::exchange(other.result_, nullptr)) {}
    PgResult& operator=(PgResult&& other) noexcept {
        std::swap(result_, other.result_);
        return *this;
    }
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;

    PGresult* get() const { return result_; }
    ExecStatusType status() const { return PQresultStatus(result_); }
    int rows() const { return PQntuples(result_); }
    const char* value(int row, int column) const { return PQgetvalue(result_, row, column); }
    bool isNull(int row, int column) const { return PQgetisnull(result_, row, column) != 0; }

private:
    PGresult* result_;
};
