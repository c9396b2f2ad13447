#include "store/postgres/PgConnector.h"

#include "store/postgres/PgConnection.h"

namespace {

// The connect_timeout libpq took from the settings and the string, in
// seconds; 0 waits without end, as libpq does.
int connectTimeoutSeconds(pg_conn* connection) {
    PQconninfoOption* options = PQconninfo(connection);
    int seconds = 0;
    for (const PQconninfoOption* option = options; option && option->keyword; ++option)
        if (qstrcmp(option->keyword, "connect_timeout") == 0 && option->val)
            seconds = QByteArray(option->val).trimmed().toInt();
    PQconninfoFree(options);
    return seconds;
}

} // namespace

PgConnector::PgConnector(const QString& connectionString, QObject* parent)
    : QObject(parent)
    , connection_(PgConnection::startConnecting(connectionString)) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("timeout expired")); });
    // Heard only once the caller has connected to finished().
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!connection_ || PQstatus(connection_) == CONNECTION_BAD) {
                fail(connection_ ? QString::fromUtf8(PQerrorMessage(connection_))
                                 : QStringLiteral("out of memory"));
                return;
            }
            if (const int seconds = connectTimeoutSeconds(connection_); seconds > 0)
                deadline_.start(seconds * 1000);
            // As libpq asks: first wait until the socket can be written.
            watch(PGRES_POLLING_WRITING);
        },
        Qt::QueuedConnection);
}

PgConnector::~PgConnector() {
    notifier_.reset();
    PQfinish(connection_);
}

std::unique_ptr<PgConnection> PgConnector::take() {
    if (!succeeded_ || !connection_)
        return nullptr;
    return std::make_unique<PgConnection>(std::exchange(connection_, nullptr));
}

void PgConnector::poll() {
    switch (PQconnectPoll(connection_)) {
    case PGRES_POLLING_OK:
        succeeded_ = true;
        finish();
        return;
    case PGRES_POLLING_FAILED:
        fail(QString::fromUtf8(PQerrorMessage(connection_)));
        return;
    case PGRES_POLLING_READING:
        watch(PGRES_POLLING_READING);
        return;
    default:
        watch(PGRES_POLLING_WRITING);
        return;
    }
}

// The socket may change between polls (the next host of several, a retry
// without TLS), so the notifier follows it.
void PgConnector::watch(PostgresPollingStatusType direction) {
    const qintptr socket = PQsocket(connection_);
    const QSocketNotifier::Type type =
        direction == PGRES_POLLING_READING ? QSocketNotifier::Read : QSocketNotifier::Write;
    if (notifier_ && notifier_->socket() == socket && notifier_->type() == type) {
        notifier_->setEnabled(true);
        return;
    }
    if (notifier_) {
        // It may be the sender of the poll running now.
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    notifier_ = std::make_unique<QSocketNotifier>(socket, type);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &PgConnector::poll);
}

void PgConnector::fail(const QString& libpqMessage) {
    failure_ = PgConnection::failureMessage(libpqMessage);
    PQfinish(std::exchange(connection_, nullptr));
    finish();
}

void PgConnector::finish() {
    deadline_.stop();
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    emit finished();
}
