#include "app/Error.h"
#include "store/ColumnStore.h"
#include "store/EqualityIndex.h"
#include "store/PassingRows.h"

#include <QTest>

// The rows that pass a filter, through the radio column's index and without
// it, over rows that grow and change their columns.
class PassingRowsTest : public QObject {
    Q_OBJECT
private slots:
    void rowsPassInOrder_data();
    void rowsPassInOrder();
    void failedBindKeepsTheFilterBefore();
    void filterThatNoLongerFitsPassesNothing();
    void appendedRowsJoinAtTheNextCompute();
};

namespace {

// Radio and station of each row.
ColumnStore reports(const QList<std::pair<qint64, QByteArray>>& rows) {
    ColumnStore store({{QStringLiteral("radio"), ColumnKind::Integer},
                       {QStringLiteral("station"), ColumnKind::Text}});
    for (const auto& [radio, station] : rows) {
        std::vector<ColumnStore::Cell> cells(2);
        cells[0].integer = radio;
        cells[1].text = station;
        store.appendRow(cells);
    }
    return store;
}

QList<quint32> passingOf(const PassingRows& passing) {
    QList<quint32> rows;
    for (int row = 0; row < passing.count(); ++row)
        rows << passing.storeRow(row);
    return rows;
}

const QList<std::pair<qint64, QByteArray>> fleet = {{12, "Base"}, {7, "Base"},  {12, "North"},
                                                    {9, "Base"},  {12, "Base"}, {7, "North"}};

} // namespace

void PassingRowsTest::rowsPassInOrder_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("filtered");
    QTest::addColumn<QList<quint32>>("rows");
    QTest::newRow("one radio, by the index") << "radio=12" << true << QList<quint32>{0, 2, 4};
    QTest::newRow("a radio and a station")
        << "radio=12 and station='Base'" << true << QList<quint32>{0, 4};
    QTest::newRow("a scan") << "radio>=9" << true << QList<quint32>{0, 2, 3, 4};
    QTest::newRow("a radio without reports") << "radio=5" << true << QList<quint32>{};
    QTest::newRow("nothing compared") << "" << true << QList<quint32>{0, 1, 2, 3, 4, 5};
    QTest::newRow("filtering off") << "radio=12" << false << QList<quint32>{0, 1, 2, 3, 4, 5};
}

void PassingRowsTest::rowsPassInOrder() {
    QFETCH(QString, filter);
    QFETCH(bool, filtered);
    QFETCH(QList<quint32>, rows);
    const ColumnStore store = reports(fleet);
    EqualityIndex index;
    PassingRows passing(store);
    passing.bind(parseFilter(filter));
    // The second look at the radio column answers from its index.
    for (int look = 0; look < 2; ++look) {
        passing.compute(filtered, index);
        QCOMPARE(passingOf(passing), rows);
    }
    for (int row = 0; row < 6; ++row) {
        const auto found = passing.indexOf(quint32(row));
        QCOMPARE(found.has_value(), rows.contains(quint32(row)));
        if (found)
            QCOMPARE(passing.storeRow(*found), quint32(row));
    }
}

void PassingRowsTest::failedBindKeepsTheFilterBefore() {
    const ColumnStore store = reports(fleet);
    EqualityIndex index;
    PassingRows passing(store);
    passing.bind(parseFilter(QStringLiteral("radio=7")));
    QVERIFY_THROWS_EXCEPTION(Error, passing.bind(parseFilter(QStringLiteral("speed=3"))));
    passing.compute(true, index);
    QCOMPARE(passingOf(passing), (QList<quint32>{1, 5}));
}

// Once the rows' columns changed, a filter naming a column they lost lets no
// row pass, rather than testing another column in its place; with filtering
// off every row passes.
void PassingRowsTest::filterThatNoLongerFitsPassesNothing() {
    ColumnStore store = reports(fleet);
    EqualityIndex index;
    PassingRows passing(store);
    const FilterExpression byStation = parseFilter(QStringLiteral("station='Base'"));
    passing.bind(byStation);
    store = ColumnStore({{QStringLiteral("radio"), ColumnKind::Integer}});
    store.appendRow(std::vector<ColumnStore::Cell>(1));
    QVERIFY_THROWS_EXCEPTION(Error, passing.rebind(byStation));
    passing.compute(true, index);
    QCOMPARE(passing.count(), 0);
    passing.compute(false, index);
    QCOMPARE(passing.count(), 1);
}

void PassingRowsTest::appendedRowsJoinAtTheNextCompute() {
    ColumnStore store = reports(fleet);
    EqualityIndex index;
    PassingRows passing(store);
    passing.bind(parseFilter(QStringLiteral("radio=7")));
    passing.compute(true, index);
    passing.compute(true, index);
    std::vector<ColumnStore::Cell> cells(2);
    cells[0].integer = 7;
    cells[1].text = "South";
    store.appendRow(cells);
    QCOMPARE(passingOf(passing), (QList<quint32>{1, 5}));
    passing.compute(true, index);
    QCOMPARE(passingOf(passing), (QList<quint32>{1, 5, 6}));
    passing.compute(false, index);
    QCOMPARE(passing.count(), 7);
}

QTEST_GUILESS_MAIN(PassingRowsTest)
#include "tst_passingrows.moc"
