#include "alerts/AlertLog.h"

#include <QTest>

namespace {

const QDateTime kStart(QDate(2026, 3, 1), QTime(8, 0));

Alert entered(qint32 radio, const QString& area, int minutes) {
    Alert alert;
    alert.radio = radio;
    alert.area = area;
    alert.time = kStart.addSecs(minutes * 60);
    return alert;
}

QStringList order(const AlertLog& log) {
    QStringList texts;
    for (const AlertLog::Entry& entry : log.entries())
        texts << QString::number(entry.alert.radio) + ' ' + entry.alert.area;
    return texts;
}

} // namespace

class TestAlertLog : public QObject {
    Q_OBJECT

private slots:
    void newestFirst();
    void acknowledgedOneByOneOrAll();
};

void TestAlertLog::newestFirst() {
    AlertLog log;
    log.add({entered(7, "A", 1), entered(7, "B", 2)});
    // A silence found later may be older than alerts already listed.
    log.add({entered(8, "C", 0), entered(9, "D", 2)});
    QCOMPARE(order(log), (QStringList{"9 D", "7 B", "7 A", "8 C"}));
}

void TestAlertLog::acknowledgedOneByOneOrAll() {
    AlertLog log;
    log.add({entered(7, "A", 1), entered(8, "B", 2), entered(7, "C", 3)});
    QCOMPARE(log.unacknowledgedCount(), 3);
    QCOMPARE(log.radiosToMark(), (QSet<qint32>{7, 8}));

    const quint64 newest = log.entries().front().serial;
    QVERIFY(log.acknowledge(newest));
    QVERIFY(!log.acknowledge(999));
    // Radio 7 keeps its mark while one of its alerts waits.
    QCOMPARE(log.radiosToMark(), (QSet<qint32>{7, 8}));
    QCOMPARE(log.unacknowledgedCount(), 2);

    log.acknowledgeAll();
    QCOMPARE(log.unacknowledgedCount(), 0);
    QVERIFY(log.radiosToMark().isEmpty());
    QCOMPARE(log.entries().size(), 3);
}

QTEST_APPLESS_MAIN(TestAlertLog)
#include "tst_alertlog.moc"
