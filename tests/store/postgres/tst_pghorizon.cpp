// The reading by transaction horizon that the PostgreSQL source relies on,
// checked on a real primary and a streaming hot standby: a report whose
// writer commits late is never skipped, and none is read twice.

#include "PgSchema.h"

#include "app/Error.h"
#include "tests/support/PgCluster.h"

#include <QTest>

class PgHorizonTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void lateCommitStaysAboveTheHorizon_data();
    void lateCommitStaysAboveTheHorizon();

private:
    std::unique_ptr<PgCluster> primary_;
    std::unique_ptr<PgCluster> standby_;
};

namespace {

const QString horizonQuery =
    QStringLiteral("SELECT pg_snapshot_xmin(pg_current_snapshot())::text::bigint");

QList<qint64> idsBetween(PgSession& session, qint64 from, qint64 to) {
    return session.integers(QStringLiteral("SELECT id FROM map_coor WHERE txid >= '%1'::xid8 AND "
                                           "txid < '%2'::xid8 ORDER BY id")
                                .arg(from)
                                .arg(to));
}

// The standby has replayed everything the primary committed so far.
void waitForReplay(PgSession& primary, PgSession& standby) {
    const qint64 sent =
        primary.integers(QStringLiteral("SELECT pg_current_wal_insert_lsn() - '0/0'::pg_lsn"))[0];
    QTRY_VERIFY_WITH_TIMEOUT(standby.integers(QStringLiteral(
                                 "SELECT pg_last_wal_replay_lsn() - '0/0'::pg_lsn"))[0] >= sent,
                             10000);
}

} // namespace

void PgHorizonTest::initTestCase() {
    primary_ = std::make_unique<PgCluster>();
    PgSession admin(primary_->connectionString());
    createPgSchema(admin);
    standby_ = primary_->makeStandby();
}

void PgHorizonTest::lateCommitStaysAboveTheHorizon_data() {
    QTest::addColumn<bool>("onStandby");
    QTest::newRow("primary") << false;
    QTest::newRow("standby") << true;
}

void PgHorizonTest::lateCommitStaysAboveTheHorizon() {
    QFETCH(bool, onStandby);
    PgSession early(primary_->connectionString());
    PgSession late(primary_->connectionString());
    PgSession admin(primary_->connectionString());
    PgSession reader(onStandby ? standby_->connectionString() : primary_->connectionString());
    const auto sync = [&] {
        if (onStandby)
            waitForReplay(admin, reader);
    };
    sync();
    const qint64 start = reader.integers(horizonQuery)[0];

    early.exec(QStringLiteral("BEGIN; INSERT INTO map_coor(radio_short_id) VALUES (1)"));
    const qint64 smallId = early.integers(QStringLiteral("SELECT max(id) FROM map_coor"))[0];
    late.exec(QStringLiteral("INSERT INTO map_coor(radio_short_id) VALUES (2)"));
    const qint64 largeId = smallId + 1;
    sync();
    const qint64 held = reader.integers(horizonQuery)[0];
    QVERIFY(idsBetween(reader, start, held).isEmpty());

    early.exec(QStringLiteral("COMMIT"));
    sync();
    const qint64 after = reader.integers(horizonQuery)[0];
    QCOMPARE(idsBetween(reader, held, after), (QList<qint64>{smallId, largeId}));
    QVERIFY(idsBetween(reader, start, held).isEmpty());
}

QTEST_GUILESS_MAIN(PgHorizonTest)
#include "tst_pghorizon.moc"
