#include "TestDatabase.h"

#include "app/Error.h"

#include <sqlite3.h>

QString storedTime(const QDateTime& time) {
    return time.toString("yyyy-MM-dd hh:mm:ss");
}

TestDatabase::TestDatabase(const QString& path)
    : path_(path) {
    if (sqlite3_open(path.toUtf8().constData(), &db_) != SQLITE_OK)
        throw Error(QStringLiteral("cannot open test database ") + path);
}

TestDatabase::~TestDatabase() {
    sqlite3_close(db_);
}

QString TestDatabase::execute(const QByteArray& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return QString();
    const QString text = QString::fromUtf8(message);
    sqlite3_free(message);
    return text.isEmpty() ? QStringLiteral("error") : text;
}

QList<qint64> TestDatabase::integers(const QByteArray& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
        throw Error(QString::fromUtf8(sqlite3_errmsg(db_)) + QStringLiteral(" in ") +
                    QString::fromUtf8(sql));
    QList<qint64> values;
    int result;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW)
        values.append(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    if (result != SQLITE_DONE)
        throw Error(QString::fromUtf8(sqlite3_errmsg(db_)));
    return values;
}

TestDatabase& TestDatabase::exec(const QString& sql) {
    const QString message = execute(sql.toUtf8());
    if (!message.isEmpty())
        throw Error(message + QStringLiteral(" in ") + sql);
    return *this;
}

TestDatabase& TestDatabase::createSchema() {
    return exec(QStringLiteral(
        "CREATE TABLE map_coor (id INTEGER PRIMARY KEY, station_name TEXT, time DATETIME,"
        " radio_short_id INTEGER, ns TEXT, lat TEXT, ew TEXT, long TEXT, alt TEXT);"
        "CREATE TABLE projects (id INTEGER, project_name TEXT);"
        "CREATE TABLE project_members (project_id INTEGER, personel_team_id INTEGER);"
        "CREATE TABLE personel_team (id INTEGER, name TEXT, surname TEXT,"
        " radio_short_id_gps INTEGER);"));
}

static QString quoted(const QString& text) {
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

TestDatabase& TestDatabase::addProject(int id, const QString& name) {
    return exec(QStringLiteral("INSERT INTO projects VALUES (%1, %2)").arg(id).arg(quoted(name)));
}

TestDatabase& TestDatabase::addMember(int projectId, int personId) {
    return exec(
        QStringLiteral("INSERT INTO project_members VALUES (%1, %2)").arg(projectId).arg(personId));
}

TestDatabase& TestDatabase::addPerson(int id, const QString& name, const QString& surname,
                                      int radio) {
    return exec(QStringLiteral("INSERT INTO personel_team VALUES (%1, %2, %3, %4)")
                    .arg(id)
                    .arg(quoted(name), quoted(surname))
                    .arg(radio));
}

TestDatabase& TestDatabase::addReport(int radio, const QString& time, const QString& lat,
                                      const QString& lng, const QString& station, const QString& ns,
                                      const QString& ew) {
    return exec(QStringLiteral("INSERT INTO map_coor (station_name, time, radio_short_id, ns, lat,"
                               " ew, long, alt) VALUES (%1, %2, %3, %4, %5, %6, %7, '12')")
                    .arg(quoted(station), quoted(time))
                    .arg(radio)
                    .arg(quoted(ns), quoted(lat), quoted(ew), quoted(lng)));
}
