#include "app/Error.h"
#include "store/FilterExpression.h"

#include <QTest>

using Op = FilterComparison::Operator;

class FilterExpressionTest : public QObject {
    Q_OBJECT
private slots:
    void validText_data();
    void validText();
    void invalidText_data();
    void invalidText();
};

namespace {

// A compact picture of a parsed filter: column op literal, joined by " & ".
QString describe(const FilterExpression& expression) {
    QStringList parts;
    for (const FilterComparison& c : expression.comparisons) {
        const QString op = c.op == Op::Equal ? "=" : (c.op == Op::GreaterOrEqual ? ">=" : "<=");
        const QString literal = c.literalIsText ? "'" + c.text + "'" : QString::number(c.integer);
        parts << c.column + op + literal;
    }
    return parts.join(" & ");
}

} // namespace

void FilterExpressionTest::validText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("parsed");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blanks only") << "   "
                                 << "";
    QTest::newRow("radio filter") << "radio_short_id=7"
                                  << "radio_short_id=7";
    QTest::newRow("route filter")
        << "radio_short_id=7 and time>='2012-05-03 00:00:00' and time<='2012-05-04 10:00:00'"
        << "radio_short_id=7 & time>='2012-05-03 00:00:00' & time<='2012-05-04 10:00:00'";
    QTest::newRow("blanks around everything") << "  project_id  =  12  "
                                              << "project_id=12";
    QTest::newRow("AND in capitals") << "a=1 AND b<=2"
                                     << "a=1 & b<=2";
    QTest::newRow("negative integer") << "id=-5"
                                      << "id=-5";
    QTest::newRow("doubled quote") << "name='O''Neil'"
                                   << "name='O'Neil'";
    QTest::newRow("empty text literal") << "name=''"
                                        << "name=''";
    QTest::newRow("text literal then and") << "a='x'and b=1"
                                           << "a='x' & b=1";
    QTest::newRow("64-bit literal") << "id=9000000000"
                                    << "id=9000000000";
}

void FilterExpressionTest::validText() {
    QFETCH(QString, text);
    QFETCH(QString, parsed);
    QCOMPARE(describe(parseFilter(text)), parsed);
    // Written out, it parses back to the same expression.
    QCOMPARE(describe(parseFilter(filterText(parseFilter(text)))), parsed);
}

void FilterExpressionTest::invalidText_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("missing literal") << "radio_short_id=";
    QTest::newRow("missing operator") << "radio_short_id 7";
    QTest::newRow("greater than") << "id>7";
    QTest::newRow("not equal") << "id<>7";
    QTest::newRow("unterminated text") << "time>='2012-05-03";
    QTest::newRow("dangling and") << "id=7 and";
    QTest::newRow("or is not supported") << "id=7 or id=8";
    QTest::newRow("two comparisons without and") << "id=7 id=8";
    QTest::newRow("literal on the left") << "7=id";
    QTest::newRow("column against column") << "id=radio_short_id";
    QTest::newRow("real literal") << "id=7.5";
    QTest::newRow("digits run into a word") << "id=7and b=1";
    QTest::newRow("overflowing literal") << "id=99999999999999999999";
    QTest::newRow("double quotes") << "name=\"x\"";
}

void FilterExpressionTest::invalidText() {
    QFETCH(QString, text);
    try {
        const FilterExpression parsed = parseFilter(text);
        QFAIL(qPrintable("parsed as " + describe(parsed)));
    } catch (const Error& error) {
        QVERIFY2(error.message().contains(text), qPrintable(error.message()));
    }
}

QTEST_APPLESS_MAIN(FilterExpressionTest)
#include "tst_filterexpression.moc"
