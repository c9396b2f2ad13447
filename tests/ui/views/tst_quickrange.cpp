#include "ui/views/QuickRange.h"

#include <QTest>

class TestQuickRange : public QObject {
    Q_OBJECT

private slots:
    void bounds_data();
    void bounds();
};

void TestQuickRange::bounds_data() {
    QTest::addColumn<int>("range");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDateTime>("first");
    QTest::addColumn<QDateTime>("last");
    const QDateTime justAfterMidnight(QDate(2024, 3, 1), QTime(0, 30, 15, 250));
    QTest::newRow("last hour reaches into the day before")
        << int(QuickRange::LastHour) << justAfterMidnight
        << QDateTime(QDate(2024, 2, 29), QTime(23, 30, 15, 250)) << justAfterMidnight;
    QTest::newRow("today is the whole day")
        << int(QuickRange::Today) << justAfterMidnight << QDateTime(QDate(2024, 3, 1), QTime(0, 0))
        << QDateTime(QDate(2024, 3, 1), QTime(23, 59, 59, 999));
    QTest::newRow("yesterday of the first of March in a leap year")
        << int(QuickRange::Yesterday) << justAfterMidnight
        << QDateTime(QDate(2024, 2, 29), QTime(0, 0))
        << QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59, 999));
    QTest::newRow("yesterday across the year")
        << int(QuickRange::Yesterday) << QDateTime(QDate(2025, 1, 1), QTime(12, 0))
        << QDateTime(QDate(2024, 12, 31), QTime(0, 0))
        << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 999));
}

void TestQuickRange::bounds() {
    QFETCH(int, range);
    QFETCH(QDateTime, now);
    QFETCH(QDateTime, first);
    QFETCH(QDateTime, last);
    const auto [from, to] = quickRangeBounds(QuickRange(range), now);
    QCOMPARE(from, first);
    QCOMPARE(to, last);
    QCOMPARE(quickRangeNames().size(), 3);
}

QTEST_GUILESS_MAIN(TestQuickRange)
#include "tst_quickrange.moc"
