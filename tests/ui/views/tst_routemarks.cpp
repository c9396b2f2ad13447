#include "ui/views/RouteMarks.h"

#include <QTest>

Q_DECLARE_METATYPE(QList<TrackPoint>)

class TestRouteMarks : public QObject {
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
};

void TestRouteMarks::commands_data() {
    const QDateTime t(QDate(2024, 3, 1), QTime(8, 0, 5));
    const TrackPoint none{t, std::nullopt, std::nullopt, QString()};
    QTest::addColumn<QList<TrackPoint>>("reports");
    QTest::addColumn<bool>("fit");
    // The pins go where the line has its ends, at the map's rounded text,
    // whatever the full-precision position. The times are shown in the
    // user's format: the command is compared around them.
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<int>("commands");
    QTest::newRow("oldest and newest, fitted")
        << QList<TrackPoint>{{t, -41.00649, -70.00171, "", "-41.0065,-70.0017"},
                             {t.addSecs(60), 1.0, 2.0, "", "1.0000,2.0000"},
                             {t.addSecs(120), 41.50004, 29.25, "", "41.5000,29.2500"}}
        << true
        << QStringList{"GoogleMap.markroute(-41.0065,-70.0017, \"Start ",
                       "\", 41.5000,29.2500, \"End ", "\");"}
        << 2;
    QTest::newRow("unconverted ends are passed over; a time that did not read is left out")
        << QList<TrackPoint>{none,
                             {QDateTime(), 1.0, 2.0, "", "1.0000,2.0000"},
                             {t, 3.0, 4.0, "", "3.0000,4.0000"},
                             none}
        << false
        << QStringList{"GoogleMap.markroute(1.0000,2.0000, \"Start\", 3.0000,4.0000, \"End ",
                       "\");"}
        << 1;
    QTest::newRow("nothing with a position")
        << QList<TrackPoint>{none} << true << QStringList() << 0;
    QTest::newRow("no reports") << QList<TrackPoint>() << true << QStringList() << 0;
}

void TestRouteMarks::commands() {
    QFETCH(QList<TrackPoint>, reports);
    QFETCH(bool, fit);
    QFETCH(QStringList, parts);
    QFETCH(int, commands);
    const QStringList sent = routeMarkCommands(reports, fit);
    QCOMPARE(sent.size(), commands);
    if (commands == 0)
        return;
    const QString& mark = sent[0];
    QVERIFY2(mark.startsWith(parts.first()) && mark.endsWith(parts.last()), qPrintable(mark));
    qsizetype at = 0;
    for (const QString& part : parts) {
        at = mark.indexOf(part, at);
        QVERIFY2(at >= 0, qPrintable(mark + " lacks " + part));
    }
    if (fit)
        QCOMPARE(sent[1], QStringLiteral("GoogleMap.fitroute();"));
}

QTEST_GUILESS_MAIN(TestRouteMarks)
#include "tst_routemarks.moc"
