#include "store/postgres/PgTableReplica.h"

#include "app/Error.h"
#include "store/postgres/PgConnection.h"
#include "store/postgres/PgConnector.h"

namespace {

// The channel the schema's trigger notifies, with the table's name.
const QString wakeUpChannel = QStringLiteral("coorpos");
constexpr std::chrono::milliseconds firstRetryRest{500};
constexpr std::chrono::milliseconds longestRetryRest{30000};
constexpr std::chrono::milliseconds defaultPoll{5000};
const QString connectingMessage = QStringLiteral("Connecting to the position database…");

// A finished attempt goes once its signal has been heard.
void dispose(std::unique_ptr<PgConnector>& attempt) {
    attempt.release()->deleteLater();
}

} // namespace

PgTableReplica::PgTableReplica(const QString& connectionString, const QString& tableName,
                               QObject* parent)
    : TableReplica(tableName, parent)
    , connectionString_(connectionString) {
    poll_.setInterval(defaultPoll);
    connect(&poll_, &QTimer::timeout, this, &PgTableReplica::fetchAhead);
}

PgTableReplica::~PgTableReplica() {
    close();
}

void PgTableReplica::setPollInterval(std::chrono::milliseconds interval) {
    poll_.setInterval(interval);
}

PgConnection& PgTableReplica::connection() {
    if (connection_)
        return *connection_;
    if (!connector_) {
        if (nextAttempt_.isValid() && QDateTime::currentDateTimeUtc() < nextAttempt_)
            throw Error(unreachableMessage_);
        connector_ = std::make_unique<PgConnector>(connectionString_);
        connect(connector_.get(), &PgConnector::finished, this, &PgTableReplica::connectorFinished);
    }
    throw Error(unreachableSince_.isValid() ? unreachableMessage_ : connectingMessage);
}

void PgTableReplica::connectorFinished() {
    if (connector_->succeeded()) {
        if (!connection_)
            adoptConnection(connector_->take());
    } else {
        retryRest_ = std::min(longestRetryRest, std::max(firstRetryRest, retryRest_ * 2));
        nextAttempt_ = QDateTime::currentDateTimeUtc().addMSecs(retryRest_.count());
        unreachable(connector_->failure());
    }
    dispose(connector_);
    emit connectAttemptEnded();
}

void PgTableReplica::adoptConnection(std::unique_ptr<PgConnection> session) {
    connection_ = std::move(session);
    unreachableSince_ = {};
    unreachableMessage_.clear();
    nextAttempt_ = {};
    retryRest_ = {};
    if (incremental_)
        listen();
}

// One text from the first failure until the server answers again, so that
// the window reports it once.
Error PgTableReplica::unreachable(const QString& cause) {
    if (!unreachableSince_.isValid()) {
        unreachableSince_ = QDateTime::currentDateTimeUtc();
        unreachableMessage_ =
            QStringLiteral("The position database has been unreachable since %1: %2")
                .arg(unreachableSince_.toLocalTime().toString(u"HH:mm:ss"), cause);
    }
    return Error(unreachableMessage_);
}

template <typename Read> auto PgTableReplica::guarded(Read read) {
    PgConnection& session = connection();
    try {
        return read(session);
    } catch (const Error& error) {
        if (!session.isBroken())
            throw;
        connection_.reset();
        stopListening();
        throw unreachable(error.message());
    }
}

TableReplica::Change PgTableReplica::refresh() {
    if (!open_) {
        open_ = true;
        if (incremental_) {
            poll_.start();
            listen();
        }
    }
    if (!incremental_)
        return readWholeNow();
    if (loaded_)
        return {}; // the whole read replaces everything once adopted
    if (!loadError_.isEmpty()) {
        // Reported once; the refresh after it tries again.
        const QString message = std::exchange(loadError_, QString());
        throw Error(message);
    }
    if (!wholeReadDue_)
        fetch();
    if (wholeReadDue_ && !load_ && !loadHeld_)
        startLoad();
    return takeFetched();
}

TableReplica::Change PgTableReplica::readWholeNow() {
    std::optional<PgTableReader::Whole> whole = guarded(
        [&](PgConnection& session) { return PgTableReader::readWhole(session, tableName()); });
    emit rowsAboutToChange();
    const quint32 before = store_.rowCount();
    store_ = std::move(whole->rows);
    layout_ = std::move(whole->layout);
    index_.clear();
    timeIndex_ = RadioTimeIndex();
    return {true, 0, before, store_.rowCount()};
}

void PgTableReplica::fetch() {
    if (!layout_)
        return;
    PgTableReader::Since since = guarded(
        [&](PgConnection& session) { return PgTableReader::readSince(session, *layout_, mark_); });
    if (since.wholeReadDue) {
        wholeReadDue_ = true;
        return;
    }
    mark_ = since.mark;
    if (since.rows.rowCount() > 0)
        fetched_.append(std::move(since.rows));
}

// A wake-up or a poll: errors wait for the next refresh, which reports them.
void PgTableReplica::fetchAhead() {
    if (wholeReadDue_ || loaded_)
        return;
    const quint32 before = fetched_.rowCount();
    try {
        fetch();
    } catch (const Error&) {
        return;
    }
    if (wholeReadDue_ && !load_ && !loadHeld_)
        startLoad();
    if (fetched_.rowCount() > before)
        emit rowsFetched();
}

TableReplica::Change PgTableReplica::takeFetched() {
    const quint32 kept = store_.rowCount();
    const quint32 appended = fetched_.rowCount();
    if (appended > 0) {
        emit rowsAboutToChange();
        store_.append(std::move(fetched_));
        fetched_ = ColumnStore(layout_->infos());
    }
    return {false, kept, 0, appended};
}

TableReplica::Change PgTableReplica::adoptLoad() {
    if (!loaded_)
        return {};
    PgTableReader::Whole& whole = *loaded_->whole;
    emit rowsAboutToChange();
    const quint32 before = store_.rowCount();
    store_ = std::move(whole.rows);
    index_ = std::move(loaded_->index);
    timeIndex_ = std::move(loaded_->timeIndex);
    layout_ = std::move(whole.layout);
    mark_ = whole.mark;
    fetched_ = ColumnStore(layout_->infos());
    if (!connection_ && loaded_->session)
        adoptConnection(std::move(loaded_->session));
    // Without the exact reading every refresh reads the table whole again.
    wholeReadDue_ = !layout_->readsExactly();
    loaded_.reset();
    return {true, 0, before, store_.rowCount()};
}

void PgTableReplica::startLoad() {
    const quint64 generation = ++loadGeneration_;
    load_ = std::make_unique<PgTableLoad>(
        connectionString_, tableName(), indexedColumn_,
        [this](quint64 rows, quint64 expected) {
            QMetaObject::invokeMethod(
                this, [this, rows, expected] { emit loadProgress(rows, expected); },
                Qt::QueuedConnection);
        },
        [this, generation] {
            QMetaObject::invokeMethod(
                this, [this, generation] { finishLoad(generation); }, Qt::QueuedConnection);
        });
    emit loadingChanged(true);
}

void PgTableReplica::finishLoad(quint64 generation) {
    if (!load_ || generation != loadGeneration_)
        return;
    PgTableLoad::Outcome outcome = load_->take();
    load_.reset();
    const bool failedFirst = !outcome.whole && !layout_;
    if (outcome.whole)
        loaded_ = std::move(outcome);
    else if (failedFirst)
        loadHeld_ = true;
    else
        loadError_ = outcome.error;
    // Heard with the outcome in place: the window adopts a load at once.
    emit loadingChanged(false);
    if (failedFirst)
        emit loadFailed(outcome.error);
}

void PgTableReplica::stopLoad() {
    if (!load_)
        return;
    load_.reset(); // cancels and waits
    ++loadGeneration_;
    emit loadingChanged(false);
}

void PgTableReplica::cancelLoading() {
    if (!load_)
        return;
    stopLoad();
    loadHeld_ = true;
}

void PgTableReplica::resumeLoading() {
    loadHeld_ = false;
    if (open_ && incremental_ && wholeReadDue_ && !load_ && !loaded_)
        startLoad();
}

void PgTableReplica::waitForBackgroundWork() {
    if (load_) {
        load_->wait();
        finishLoad(loadGeneration_);
    }
}

void PgTableReplica::close() {
    poll_.stop();
    stopLoad();
    stopListening();
    connector_.reset();
    connection_.reset();
    loaded_.reset();
    layout_.reset();
    store_ = ColumnStore();
    fetched_ = ColumnStore();
    index_.clear();
    timeIndex_ = RadioTimeIndex();
    mark_ = {};
    wholeReadDue_ = true;
    loadError_.clear();
    open_ = false;
}

// A standby refuses LISTEN: it is polled only.
void PgTableReplica::listen() {
    if (listener_ || listenerConnector_)
        return;
    listenerConnector_ = std::make_unique<PgConnector>(connectionString_);
    connect(listenerConnector_.get(), &PgConnector::finished, this,
            &PgTableReplica::listenerConnected);
}

void PgTableReplica::listenerConnected() {
    std::unique_ptr<PgConnection> listener = listenerConnector_->take();
    dispose(listenerConnector_);
    if (!listener)
        return; // the poll stands in
    try {
        if (listener->value(QStringLiteral("SELECT pg_is_in_recovery()")) == "t")
            return;
        listener->exec(QStringLiteral("LISTEN ") + wakeUpChannel);
    } catch (const Error&) {
        return;
    }
    listener_ = std::move(listener);
    notifier_ =
        std::make_unique<QSocketNotifier>(PQsocket(listener_->handle()), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &PgTableReplica::readNotifications);
}

void PgTableReplica::stopListening() {
    listenerConnector_.reset();
    notifier_.reset();
    listener_.reset();
}

void PgTableReplica::readNotifications() {
    pg_conn* handle = listener_->handle();
    if (!PQconsumeInput(handle)) {
        // Listened again after the next connection.
        notifier_->setEnabled(false);
        QTimer::singleShot(0, this, &PgTableReplica::stopListening);
        return;
    }
    bool forThisTable = false;
    while (PGnotify* notification = PQnotifies(handle)) {
        forThisTable = forThisTable || QString::fromUtf8(notification->extra) == tableName();
        PQfreemem(notification);
    }
    if (forThisTable)
        fetchAhead();
}

// Rows read on this thread join at the first look after them.
const RadioTimeIndex& PgTableReplica::timeIndex() {
    timeIndex_.extend(store_);
    return timeIndex_;
}
