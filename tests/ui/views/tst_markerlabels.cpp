#include "store/DateTimeValue.h"
#include "ui/views/MarkerLabels.h"
#include "ui/views/ReportAge.h"
#include "ui/views/StaleMinutes.h"

#include <QTest>

class TestMarkerLabels : public QObject {
    Q_OBJECT

private slots:
    void ageText_data();
    void ageText();
    void unreadableTimeHasUnknownAge();
    void staleRule_data();
    void staleRule();
    void staleMinutesFromIni_data();
    void staleMinutesFromIni();
    void titleOf_data();
    void titleOf();
};

void TestMarkerLabels::ageText_data() {
    QTest::addColumn<qint64>("secondsAgo"); // the report's time before the clock
    QTest::addColumn<QString>("text");
    QTest::newRow("same second") << qint64(0) << "now";
    QTest::newRow("59 s") << qint64(59) << "now";
    QTest::newRow("exactly a minute") << qint64(60) << "1 min";
    QTest::newRow("3 min 59 s") << qint64(239) << "3 min";
    QTest::newRow("59 min 59 s") << qint64(3599) << "59 min";
    QTest::newRow("exactly an hour") << qint64(3600) << "1 h";
    QTest::newRow("2 h 5 min") << qint64(2 * 3600 + 5 * 60 + 30) << "2 h 5 min";
    QTest::newRow("23 h 59 min") << qint64(86399) << "23 h 59 min";
    QTest::newRow("exactly a day") << qint64(86400) << "1 d";
    QTest::newRow("3 d 4 h") << qint64(3 * 86400 + 4 * 3600 + 59 * 60) << "3 d 4 h";
    QTest::newRow("a year") << qint64(400 * 86400) << "400 d";
    QTest::newRow("ahead under a minute") << qint64(-59) << "now";
    QTest::newRow("5 min ahead") << qint64(-5 * 60 - 10) << "in 5 min (clock ahead)";
    QTest::newRow("a day ahead") << qint64(-90000) << "in 1 d 1 h (clock ahead)";
}

void TestMarkerLabels::ageText() {
    QFETCH(qint64, secondsAgo);
    QFETCH(QString, text);
    const QDateTime now(QDate(2024, 3, 10), QTime(12, 30, 15));
    QCOMPARE(reportAgeText(toDateTimeValue(now.addSecs(-secondsAgo)), now), text);
}

void TestMarkerLabels::unreadableTimeHasUnknownAge() {
    const QDateTime now(QDate(2024, 3, 10), QTime(12, 30, 15));
    for (const DateTimeValue stamp : {readStoredDateTime(u"yesterday"), DateTimeValue(0),
                                      DateTimeValue(1e12), DateTimeValue(-1e12)})
        QCOMPARE(reportAgeText(stamp, now), QStringLiteral("unknown age"));
}

void TestMarkerLabels::staleRule_data() {
    QTest::addColumn<qint64>("secondsAgo");
    QTest::addColumn<int>("staleMinutes");
    QTest::addColumn<bool>("stale");
    QTest::newRow("fresh") << qint64(30) << 10 << false;
    QTest::newRow("exactly at the limit") << qint64(600) << 10 << false;
    QTest::newRow("a second past it") << qint64(601) << 10 << true;
    QTest::newRow("days old") << qint64(3 * 86400) << 10 << true;
    QTest::newRow("other limit") << qint64(601) << 15 << false;
    QTest::newRow("one minute limit") << qint64(61) << 1 << true;
    QTest::newRow("ahead of the clock") << qint64(-3600) << 10 << false;
}

void TestMarkerLabels::staleRule() {
    QFETCH(qint64, secondsAgo);
    QFETCH(int, staleMinutes);
    QFETCH(bool, stale);
    const QDateTime now(QDate(2024, 3, 10), QTime(12, 30, 15));
    QCOMPARE(isStale(toDateTimeValue(now.addSecs(-secondsAgo)), now, staleMinutes), stale);
    // A time that did not read gives no reason to trust the position.
    QVERIFY(isStale(readStoredDateTime(u"yesterday"), now, staleMinutes));
}

void TestMarkerLabels::staleMinutesFromIni_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<bool>("problem");
    QTest::newRow("missing key") << "" << 10 << false;
    QTest::newRow("five") << "5" << 5 << false;
    QTest::newRow("large") << "10080" << 10080 << false;
    QTest::newRow("zero") << "0" << 10 << true;
    QTest::newRow("negative") << "-5" << 10 << true;
    QTest::newRow("fraction") << "1.5" << 10 << true;
    QTest::newRow("text") << "ten" << 10 << true;
    QTest::newRow("unit after it") << "15 min" << 10 << true;
    QTest::newRow("past the integers") << "99999999999" << 10 << true;
}

void TestMarkerLabels::staleMinutesFromIni() {
    QFETCH(QString, value);
    QFETCH(int, minutes);
    QFETCH(bool, problem);
    const StaleMinutes read = StaleMinutes::fromIni(value);
    QCOMPARE(read.minutes, minutes);
    QCOMPARE(!read.problem.isEmpty(), problem);
    if (problem)
        QVERIFY2(read.problem.contains("StaleMinutes") && read.problem.contains(value),
                 qPrintable(read.problem));
}

void TestMarkerLabels::titleOf_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    const QString longName(10000, u'x');
    QTest::newRow("name") << "Ann Lee"
                          << "12 Ann Lee";
    QTest::newRow("no name known") << ""
                                   << "12";
    QTest::newRow("markup and quotes stay") << "<b>\"Ann\"</b>"
                                            << "12 <b>\"Ann\"</b>";
    QTest::newRow("line breaks become blanks") << "Ann\nLee\r\n"
                                               << "12 Ann Lee";
    QTest::newRow("exactly at the limit") << QString(37, u'y') << "12 " + QString(37, u'y');
    QTest::newRow("10,000 characters cut with an ellipsis")
        << longName << "12 " + QString(36, u'x') + QChar(0x2026);
    QTest::newRow("a surrogate pair is not split")
        << QString(35, u'y') + QString::fromUtf8("\xF0\x9F\x9A\x93") + "zz"
        << "12 " + QString(35, u'y') + QChar(0x2026);
}

void TestMarkerLabels::titleOf() {
    QFETCH(QString, name);
    QFETCH(QString, title);
    MarkerLabels labels;
    if (!name.isEmpty())
        labels.names.insert(12, name);
    const QString made = labels.titleOf("12", 12);
    QCOMPARE(made, title);
    QVERIFY(made.size() <= MarkerLabels::maxTitleLength);
}

QTEST_APPLESS_MAIN(TestMarkerLabels)
#include "tst_markerlabels.moc"
