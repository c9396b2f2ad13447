#include "tests/support/PgSession.h"

#include "app/Error.h"

#include <libpq-fe.h>

PgSession::PgSession(const QString& connectionString)
    : connection_(PQconnectdb(connectionString.toUtf8().constData())) {
    if (PQstatus(connection_) != CONNECTION_OK) {
        const QString message = QString::fromUtf8(PQerrorMessage(connection_));
        PQfinish(connection_);
        throw Error(message);
    }
    PQsetNoticeProcessor(
        connection_, [](void*, const char*) {}, nullptr);
}

PgSession::~PgSession() {
    PQfinish(connection_);
}

PgSession& PgSession::exec(const QString& sql) {
    const QString message = execute(sql);
    if (!message.isEmpty())
        throw Error(message + QStringLiteral(" in ") + sql);
    return *this;
}

QString PgSession::execute(const QString& sql) {
    PGresult* result = PQexec(connection_, sql.toUtf8().constData());
    const ExecStatusType status = PQresultStatus(result);
    const QString message = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK
                                ? QString()
                                : QString::fromUtf8(PQerrorMessage(connection_)).trimmed();
    PQclear(result);
    return message;
}

QList<qint64> PgSession::integers(const QString& sql) {
    PGresult* result = PQexec(connection_, sql.toUtf8().constData());
    if (PQresultStatus(result) != PGRES_TUPLES_OK) {
        const QString message = QString::fromUtf8(PQerrorMessage(connection_));
        PQclear(result);
        throw Error(message + QStringLiteral(" in ") + sql);
    }
    QList<qint64> values;
    for (int row = 0; row < PQntuples(result); ++row)
        values.append(QByteArray(PQgetvalue(result, row, 0)).toLongLong());
    PQclear(result);
    return values;
}
