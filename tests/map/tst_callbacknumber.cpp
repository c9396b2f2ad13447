#include "map/CallbackNumber.h"

#include <QLocale>
#include <QTest>

class TestCallbackNumber : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void format_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");

        QTest::newRow("plain") << "C" << 40.5 << "40.5";
        QTest::newRow("many decimals") << "C" << 40.490607 << "40.490607";
        QTest::newRow("integer") << "C" << 29.0 << "29";
        QTest::newRow("zero") << "C" << 0.0 << "0";
        QTest::newRow("negative zero") << "C" << -0.0 << "0";
        QTest::newRow("negative") << "C" << -122.4194 << "-122.4194";
        QTest::newRow("fifteen digits") << "C" << 1.0 / 3.0 << "0.333333333333333";
        QTest::newRow("rounded to fifteen") << "C" << 29.1234567890123456 << "29.1234567890123";
        QTest::newRow("round up carries") << "C" << 9.9999999999999999 << "10";
        QTest::newRow("smallest fixed") << "C" << 0.00001 << "0.00001";
        QTest::newRow("below 1E-5 is scientific") << "C" << 0.0000012 << "1.2E-6";
        QTest::newRow("negative scientific") << "C" << -0.000001 << "-1E-6";
        QTest::newRow("large fixed") << "C" << 123456789012345.0 << "123456789012345";
        QTest::newRow("beyond fifteen digits")
            << "C" << 1234567890123456789.0 << "1.23456789012346E18";
        QTest::newRow("comma locale") << "de_DE" << 40.5 << "40,5";
        QTest::newRow("comma locale small") << "de_DE" << 0.0000025 << "2,5E-6";
        QTest::newRow("no group separator") << "en_US" << 12345.5 << "12345.5";
    }

    void format() {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(callbackNumberText(value), text);
    }
};

QTEST_APPLESS_MAIN(TestCallbackNumber)
#include "tst_callbacknumber.moc"
