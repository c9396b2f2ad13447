#include "app/Error.h"
#include "store/CoordinateText.h"

#include <QTest>

#include <limits>

class CoordinateTextTest : public QObject {
    Q_OBJECT
private slots:
    void fieldOf_data();
    void fieldOf();
    void toDecimalDegrees_data();
    void toDecimalDegrees();
    void malformedTextFails_data();
    void malformedTextFails();
    void hemisphere_data();
    void hemisphere();
    void pairTextConvertsLatitudeFirst();
};

void CoordinateTextTest::fieldOf_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("delimiter");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    QTest::newRow("member text") << "12-Ann Lee" << QChar(u'-') << 1 << "12";
    QTest::newRow("no delimiter") << "Projects" << QChar(u'-') << 1 << "Projects";
    QTest::newRow("field 0 is field 1") << "41.061234" << QChar(u'.') << 0 << "41";
    QTest::newRow("second field") << "41.061234" << QChar(u'.') << 2 << "061234";
    QTest::newRow("no delimiter, field 2") << "41" << QChar(u'.') << 2 << "41";
    QTest::newRow("empty after point") << "41." << QChar(u'.') << 2 << "";
    QTest::newRow("empty between points") << "41..5" << QChar(u'.') << 2 << "";
    QTest::newRow("beyond the last field") << "a.b" << QChar(u'.') << 3 << "b";
    QTest::newRow("negative n") << "a.b" << QChar(u'.') << -4 << "a";
    QTest::newRow("empty text") << "" << QChar(u'.') << 2 << "";
    // Returns at once: the text is unchanged once no delimiter is left.
    QTest::newRow("huge n") << "a.b" << QChar(u'.') << std::numeric_limits<int>::max() << "b";
}

void CoordinateTextTest::fieldOf() {
    QFETCH(QString, text);
    QFETCH(QChar, delimiter);
    QFETCH(int, n);
    QFETCH(QString, expected);
    QCOMPARE(FieldOf(text, delimiter, n), expected);
}

void CoordinateTextTest::toDecimalDegrees_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("truncating");
    QTest::addColumn<QString>("rounding");
    QTest::newRow("minutes 06.1234") << "41.061234"
                                     << "41.1020"
                                     << "41.1021";
    QTest::newRow("padding to four digits") << "41.041234"
                                            << "41.0687"
                                            << "41.0687";
    QTest::newRow("90 -> 1.5") << "29.000090"
                               << "29.0001"
                               << "29.0002";
    QTest::newRow("30 -> 0.5, tie to even 0") << "29.000030"
                                              << "29.0000"
                                              << "29.0000";
    QTest::newRow("150 -> 2.5, tie to even 2") << "29.000150"
                                               << "29.0002"
                                               << "29.0002";
    QTest::newRow("210 -> 3.5, tie to even 4") << "29.000210"
                                               << "29.0003"
                                               << "29.0004";
    QTest::newRow("rounding carries into degrees") << "41.599999"
                                                   << "41.9999"
                                                   << "42.0000";
    QTest::newRow("carry keeps the sign") << "-41.599999"
                                          << "-41.9999"
                                          << "-42.0000";
    QTest::newRow("carry through nines") << "099.599990"
                                         << "99.9999"
                                         << "100.0000";
    QTest::newRow("lowest minutes that carry") << "41.599970"
                                               << "41.9999"
                                               << "42.0000";
    QTest::newRow("highest minutes that do not carry") << "41.599969"
                                                       << "41.9999"
                                                       << "41.9999";
    QTest::newRow("negative degrees") << "-41.061234"
                                      << "-41.1020"
                                      << "-41.1021";
    QTest::newRow("no point") << "41"
                              << "41.0000"
                              << "41.0001";
    QTest::newRow("short fraction") << "41.5"
                                    << "41.0000"
                                    << "41.0000";
    QTest::newRow("two points") << "41.06.1234"
                                << "41.0000"
                                << "41.0000";
    QTest::newRow("three-digit degrees") << "029.061234"
                                         << "29.1020"
                                         << "29.1021";
    QTest::newRow("three-digit longitude") << "070.400000"
                                           << "70.6666"
                                           << "70.6667";
    QTest::newRow("zero degrees") << "000.061234"
                                  << "0.1020"
                                  << "0.1021";
    QTest::newRow("signed zero-padded") << "-007.061234"
                                        << "-7.1020"
                                        << "-7.1021";
    QTest::newRow("plus sign dropped") << "+41.061234"
                                       << "41.1020"
                                       << "41.1021";
    QTest::newRow("blanks around the degrees") << " 41 .061234"
                                               << "41.1020"
                                               << "41.1021";
    QTest::newRow("no degrees") << ".061234"
                                << "0.1020"
                                << "0.1021";
    QTest::newRow("zero-padded carry") << "009.599999"
                                       << "9.9999"
                                       << "10.0000";
    QTest::newRow("seven digits, small quotient") << "41.0000001"
                                                  << "41.0000"
                                                  << "41.0000";
}

void CoordinateTextTest::toDecimalDegrees() {
    QFETCH(QString, stored);
    QFETCH(QString, truncating);
    QFETCH(QString, rounding);
    QCOMPARE(ToDecimalDegrees(stored, QuotientRule::Truncating), truncating);
    QCOMPARE(ToDecimalDegrees(stored, QuotientRule::Rounding), rounding);
}

void CoordinateTextTest::malformedTextFails_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("truncatingFails");
    QTest::newRow("point with nothing after") << "41." << true;
    QTest::newRow("empty text") << "" << true;
    QTest::newRow("letters") << "41.06a234" << true;
    QTest::newRow("signed fraction") << "41.-5" << true;
    QTest::newRow("plus-signed fraction") << "41.+5" << true;
    QTest::newRow("beyond 32 bits") << "41.99999999999" << true;
    QTest::newRow("minutes of 60") << "41.600000" << true;
    QTest::newRow("minutes of 99") << "41.990000" << true;
    QTest::newRow("seven digits reaching 10000") << "41.0599999" << false;
    QTest::newRow("letter in the degrees") << "N41.599999" << true;
    QTest::newRow("script in the degrees") << "0);alert(1);(0.061234" << true;
    QTest::newRow("second sign") << "--41.061234" << true;
    QTest::newRow("sign after a blank") << "- 41.061234" << true;
    QTest::newRow("blank inside the degrees") << "4 1.061234" << true;
    QTest::newRow("sign alone") << "-.061234" << true;
    QTest::newRow("non-ASCII digits") << "٤١.061234" << true;
}

// Text that does not convert fails naming the text, with either rule and at
// full precision, and never yields a five-digit fraction.
void CoordinateTextTest::malformedTextFails() {
    QFETCH(QString, stored);
    QFETCH(bool, truncatingFails);
    for (const QuotientRule rule : {QuotientRule::Truncating, QuotientRule::Rounding}) {
        if (rule == QuotientRule::Truncating && !truncatingFails) {
            const QString result = ToDecimalDegrees(stored, rule);
            QCOMPARE(FieldOf(result, u'.', 2).size(), 4);
            continue;
        }
        try {
            const QString result = ToDecimalDegrees(stored, rule);
            QFAIL(qPrintable(QStringLiteral("converted to ") + result));
        } catch (const Error& error) {
            QVERIFY2(error.message().contains(QStringLiteral("'") + stored + QStringLiteral("'")),
                     qPrintable(error.message()));
        }
    }
    // Full precision refuses what the map's rounding refuses.
    QVERIFY_THROWS_EXCEPTION(Error, decimalDegrees(stored));
}

void CoordinateTextTest::hemisphere_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QChar>("hemisphere");
    QTest::addColumn<QString>("expected");
    QTest::newRow("north") << "41.061234" << QChar(u'N') << "41.1020";
    QTest::newRow("east") << "29.041234" << QChar(u'E') << "29.0687";
    QTest::newRow("no letter") << "41.061234" << QChar() << "41.1020";
    QTest::newRow("south") << "33.520000" << QChar(u'S') << "-33.8666";
    QTest::newRow("west") << "70.400000" << QChar(u'W') << "-70.6666";
    QTest::newRow("lower-case west") << "70.400000" << QChar(u'w') << "-70.6666";
    QTest::newRow("signed degrees stand") << "-33.520000" << QChar(u'S') << "-33.8666";
    QTest::newRow("zero-padded west") << "070.400000" << QChar(u'W') << "-70.6666";
    QTest::newRow("zero degrees south") << "000.300000" << QChar(u'S') << "-0.5000";
    QTest::newRow("south with carry") << "33.599999" << QChar(u'S') << "-33.9999";
}

void CoordinateTextTest::hemisphere() {
    QFETCH(QString, stored);
    QFETCH(QChar, hemisphere);
    QFETCH(QString, expected);
    QCOMPARE(ToDecimalDegrees(stored, QuotientRule::Truncating, hemisphere), expected);
}

void CoordinateTextTest::pairTextConvertsLatitudeFirst() {
    QCOMPARE(coordinatePairText("41.041234", u'N', "29.061234", u'E', QuotientRule::Truncating),
             QStringLiteral("41.0687,29.1020"));
    QCOMPARE(coordinatePairText("33.520000", u'S', "70.400000", u'W', QuotientRule::Rounding),
             QStringLiteral("-33.8667,-70.6667"));
    try {
        coordinatePairText("41.", u'N', "29.", u'E', QuotientRule::Rounding);
        QFAIL("converted");
    } catch (const Error& error) {
        QVERIFY(error.message().contains(QStringLiteral("'41.'")));
    }
}

QTEST_APPLESS_MAIN(CoordinateTextTest)
#include "tst_coordinatetext.moc"
