#include "store/postgres/PgConnection.h"

#include "app/Error.h"

#include <array>

namespace {

struct KnownCause {
    const char* libpqText;
    const char* cause;
};

// libpq's words for the faults a desk meets, and what the desk is told.
constexpr std::array knownCauses = {
    KnownCause{"password authentication failed",
               "The database server refused the password. Check the password kept for this "
               "user in ~/.pgpass (or PGPASSFILE)."},
    KnownCause{"no password supplied",
               "The database server asks for a password and none was found. Keep it in "
               "~/.pgpass (or PGPASSFILE); it is never read from the INI file."},
    KnownCause{"could not translate host name",
               "The database server's host name is unknown. Check the host in Database=."},
    KnownCause{"server does not support SSL",
               "The database server does not offer TLS, which the connection string requires "
               "(sslmode). Ask for TLS on the server, or change sslmode."},
    KnownCause{"SSL error", "The TLS connection to the database server failed."},
    KnownCause{"Connection refused",
               "The database server is not running or does not accept connections on that "
               "port."},
    KnownCause{"No such file or directory",
               "The database server is not running (no socket in the folder given as host)."},
    KnownCause{"timeout expired", "The database server did not answer in time."},
    KnownCause{"does not exist", "The database or the user named in Database= does not exist."},
};

} // namespace

namespace {

// The session's fixed settings around the given connection string. The
// connect timeout comes before it, so that the string may set its own; the
// string comes next (expand_dbname); what follows it wins.
template <typename Connect>
pg_conn* connectWithSettings(const QString& connectionString,
                             std::chrono::milliseconds statementTimeout, Connect connect) {
    const QByteArray given = connectionString.toUtf8();
    const QByteArray options = "-c default_transaction_read_only=on -c statement_timeout=" +
                               QByteArray::number(qint64(statementTimeout.count()));
    const char* keywords[] = {"connect_timeout", "dbname",           "options",
                              "client_encoding", "application_name", nullptr};
    const char* values[] = {"10",   given.constData(), options.constData(),
                            "UTF8", "coorpos",         nullptr};
    return connect(keywords, values, 1);
}

} // namespace

PgConnection::PgConnection(const QString& connectionString,
                           std::chrono::milliseconds statementTimeout) {
    connection_ = connectWithSettings(connectionString, statementTimeout, PQconnectdbParams);
    if (PQstatus(connection_) != CONNECTION_OK) {
        const QString message = failureMessage(QString::fromUtf8(PQerrorMessage(connection_)));
        PQfinish(connection_);
        throw Error(message);
    }
    PQsetNoticeProcessor(
        connection_, [](void*, const char*) {}, nullptr);
}

PgConnection::PgConnection(pg_conn* established)
    : connection_(established) {
    PQsetNoticeProcessor(
        connection_, [](void*, const char*) {}, nullptr);
}

pg_conn* PgConnection::startConnecting(const QString& connectionString) {
    return connectWithSettings(connectionString, defaultStatementTimeout, PQconnectStartParams);
}

PgConnection::~PgConnection() {
    PQfinish(connection_);
}

bool PgConnection::isBroken() const {
    return PQstatus(connection_) != CONNECTION_OK;
}

PgResult PgConnection::exec(const QString& sql) {
    return check(PgResult(PQexec(connection_, sql.toUtf8().constData())));
}

PgResult PgConnection::exec(const QString& sql, const QByteArray& parameter) {
    const char* values[] = {parameter.constData()};
    return check(PgResult(PQexecParams(connection_, sql.toUtf8().constData(), 1, nullptr, values,
                                       nullptr, nullptr, 0)));
}

QByteArray PgConnection::value(const QString& sql) {
    const PgResult result = exec(sql);
    return result.rows() > 0 ? QByteArray(result.value(0, 0)) : QByteArray();
}

PgResult PgConnection::check(PgResult result) {
    const ExecStatusType status = result.status();
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_COPY_OUT)
        return result;
    throw Error(QString::fromUtf8(PQerrorMessage(connection_)).trimmed());
}

QString PgConnection::failureMessage(const QString& libpqMessage) {
    const QString detail = libpqMessage.trimmed();
    for (const KnownCause& known : knownCauses) {
        if (detail.contains(QLatin1String(known.libpqText)))
            return QString::fromLatin1(known.cause) + QStringLiteral(" (") + detail +
                   QLatin1Char(')');
    }
    return detail;
}

QString PgConnection::describe(const QString& connectionString) {
    PQconninfoOption* options = PQconninfoParse(connectionString.toUtf8().constData(), nullptr);
    if (!options)
        return QString();
    QString host, database, user;
    for (const PQconninfoOption* option = options; option->keyword; ++option) {
        const QString value = QString::fromUtf8(option->val ? option->val : "");
        const QByteArray keyword(option->keyword);
        if (keyword == "host" || (keyword == "hostaddr" && host.isEmpty()))
            host = value;
        else if (keyword == "dbname")
            database = value;
        else if (keyword == "user")
            user = value;
    }
    PQconninfoFree(options);
    // libpq's defaults: the local socket, and a database named as the user.
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    if (database.isEmpty())
        database = user;
    return QStringLiteral("PostgreSQL %1 on %2").arg(database, host).simplified();
}
