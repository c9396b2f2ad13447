#include "store/DateTimeValue.h"

#include <QLocale>
#include <QTest>

class DateTimeValueTest : public QObject {
    Q_OBJECT
private slots:
    void fixedFormReading_data();
    void fixedFormReading();
    void storedReading_data();
    void storedReading();
    void valueEncoding_data();
    void valueEncoding();
    void fixedFormTextReadsBack();
    void displayText_data();
    void displayText();
};

namespace {

DateTimeValue value(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                    int msec = 0) {
    return toDateTimeValue(QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec)));
}

DateTimeValue timeOnZeroDate(int hour, int minute, int second) {
    return QTime(hour, minute, second).msecsSinceStartOfDay() / 86400000.0;
}

} // namespace

void DateTimeValueTest::fixedFormReading_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("full form") << "2012-05-03 14:22:33" << value(2012, 5, 3, 14, 22, 33);
    QTest::newRow("only positions count") << "2012/05/03 14:22:33" << value(2012, 5, 3, 14, 22, 33);
    QTest::newRow("date alone") << "2012-05-03" << value(2012, 5, 3);
    QTest::newRow("milliseconds filled up")
        << "2012-05-03 14:22:33.5" << value(2012, 5, 3, 14, 22, 33, 500);
    QTest::newRow("three-digit milliseconds")
        << "2012-05-03 14:22:33.123" << value(2012, 5, 3, 14, 22, 33, 123);
    QTest::newRow("day first is no year") << "03.05.2012 14:22:33" << timeOnZeroDate(14, 22, 33);
    QTest::newRow("user format") << "5/3/2012 2:22:33 PM" << timeOnZeroDate(22, 33, 0);
    QTest::newRow("no valid date") << "2012-13-45 10:00:00" << timeOnZeroDate(10, 0, 0);
    QTest::newRow("invalid time adds nothing") << "2012-05-03 25:00:00" << value(2012, 5, 3);
    QTest::newRow("29 February of a leap year")
        << "2012-02-29 00:00:01" << value(2012, 2, 29, 0, 0, 1);
    QTest::newRow("29 February of another year") << "2013-02-29" << 0.0;
    QTest::newRow("clock time alone") << "14:22:33" << timeOnZeroDate(14, 22, 33);
    QTest::newRow("too short") << "14:22" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("before 1899-12-30") << "1899-12-29 06:00:00" << -1.25;
}

void DateTimeValueTest::fixedFormReading() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(readFixedFormDateTime(text), expected);
}

void DateTimeValueTest::storedReading_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("fixed form") << "2012-05-03 14:22:33" << value(2012, 5, 3, 14, 22, 33);
    QTest::newRow("slashes, short fields") << "2012/5/3 14:22" << value(2012, 5, 3, 14, 22);
    QTest::newRow("backslashes") << "2012\\05\\03" << value(2012, 5, 3);
    QTest::newRow("dashes, short fields")
        << "2012-5-3 8:05:09.25" << value(2012, 5, 3, 8, 5, 9, 250);
    QTest::newRow("mixed separators") << "2012-05/03" << 0.0;
    QTest::newRow("day first") << "03/05/2012" << 0.0;
    QTest::newRow("a number") << "41000.5" << 0.0;
    QTest::newRow("invalid date") << "2012/02/30" << 0.0;
    QTest::newRow("text") << "yesterday" << 0.0;
}

void DateTimeValueTest::storedReading() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(readStoredDateTime(text), expected);
}

void DateTimeValueTest::valueEncoding_data() {
    QTest::addColumn<QDateTime>("dateTime");
    QTest::addColumn<double>("expected");
    QTest::newRow("zero") << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << 0.0;
    QTest::newRow("noon next day") << QDateTime(QDate(1899, 12, 31), QTime(12, 0)) << 1.5;
    QTest::newRow("before zero, time stays positive")
        << QDateTime(QDate(1899, 12, 29), QTime(6, 0)) << -1.25;
    QTest::newRow("2000-01-01") << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << 36526.0;
}

void DateTimeValueTest::valueEncoding() {
    QFETCH(QDateTime, dateTime);
    QFETCH(double, expected);
    QCOMPARE(toDateTimeValue(dateTime), expected);
    QCOMPARE(fromDateTimeValue(expected), dateTime);
}

void DateTimeValueTest::fixedFormTextReadsBack() {
    const QDateTime dateTime(QDate(2024, 2, 29), QTime(23, 59, 59, 999));
    QCOMPARE(fixedFormText(dateTime), QStringLiteral("2024-02-29 23:59:59.999"));
    QCOMPARE(readFixedFormDateTime(fixedFormText(dateTime)), toDateTimeValue(dateTime));
}

void DateTimeValueTest::displayText_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("british") << "en_GB" << value(2012, 5, 3, 14, 22, 33) << "03/05/2012 14:22:33";
    QTest::newRow("american, no zone")
        << "en_US" << value(2012, 5, 3, 14, 22, 33) << "5/3/12 2:22:33\u202fPM";
    QTest::newRow("midnight shows the date alone") << "en_GB" << value(2012, 5, 3) << "03/05/2012";
    QTest::newRow("under a second past midnight")
        << "en_GB" << value(2012, 5, 3, 0, 0, 0, 400) << "03/05/2012";
    QTest::newRow("one second past midnight")
        << "en_GB" << value(2012, 5, 3, 0, 0, 1) << "03/05/2012 00:00:01";
    QTest::newRow("zero value is empty") << "en_GB" << 0.0 << "";
    QTest::newRow("time on the zero date") << "en_GB" << 0.5 << "30/12/1899 12:00:00";
    QTest::newRow("first day") << "en_GB" << -693593.5 << "01/01/0001 12:00:00";
    QTest::newRow("last moment") << "en_GB" << value(9999, 12, 31, 23, 59, 59, 999)
                                 << "31/12/9999 23:59:59";
    // A real or integer column read as a time may hold any number.
    QTest::newRow("before the year 1") << "en_GB" << -693594.0 << "";
    QTest::newRow("after the year 9999") << "en_GB" << 2958466.0 << "";
    QTest::newRow("largest integer") << "en_GB" << 9223372036854775807.0 << "";
    QTest::newRow("huge") << "en_GB" << 1e300 << "";
    QTest::newRow("infinite") << "en_GB" << -qInf() << "";
    QTest::newRow("not a number") << "en_GB" << qQNaN() << "";
}

void DateTimeValueTest::displayText() {
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, expected);
    const QLocale previous;
    QLocale::setDefault(QLocale(locale));
    const QString text = ::displayText(value);
    QLocale::setDefault(previous);
    // Locale data differ in the blank before AM/PM between releases.
    QCOMPARE(QString(text).replace(u'\u202f', u' '), QString(expected).replace(u'\u202f', u' '));
    QCOMPARE(fromDateTimeValue(value).isValid(), value == 0 || !expected.isEmpty());
}

QTEST_APPLESS_MAIN(DateTimeValueTest)
#include "tst_datetimevalue.moc"
