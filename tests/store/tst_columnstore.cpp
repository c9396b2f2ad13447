#include "store/ColumnStore.h"

#include <QTest>

#include <numeric>
#include <random>
#include <vector>

// The compact columns against a plain model of the same rows, through the
// appends, cuts and removals a re-read makes, and a whole read's sort.
class ColumnStoreTest : public QObject {
    Q_OBJECT
private slots:
    void editsKeepEveryRow_data();
    void editsKeepEveryRow();
    void joinedPartsEqualOneStore_data();
    void joinedPartsEqualOneStore();
};

namespace {

struct Model {
    std::vector<bool> nulls;
    std::vector<qint64> integers;
    std::vector<QByteArray> texts;
};

void appendBoth(ColumnStore& store, Model& model, qint64 integer, const QByteArray& text,
                bool isNull) {
    std::vector<ColumnStore::Cell> cells(2);
    cells[0].isNull = isNull;
    cells[0].integer = isNull ? 0 : integer;
    cells[1].text = text;
    store.appendRow(cells);
    model.nulls.push_back(isNull);
    model.integers.push_back(isNull ? 0 : integer);
    model.texts.push_back(text);
}

} // namespace

void ColumnStoreTest::editsKeepEveryRow_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("distinctTexts");
    QTest::addColumn<qint64>("integerScale");
    QTest::addColumn<int>("eraseFirst");
    QTest::addColumn<int>("eraseLast");
    QTest::addColumn<int>("truncateTo");
    QTest::newRow("coded texts, narrow integers") << 500 << 7 << qint64(1) << 10 << 300 << 150;
    QTest::newRow("texts past the dictionary") << 9000 << 9000 << qint64(1) << 4000 << 4100 << 8000;
    QTest::newRow("wide integers") << 600 << 3 << qint64(1) << 0 << 100 << 499;
    QTest::newRow("removal at the end") << 9000 << 20000 << qint64(1) << 8500 << 8900 << 8600;
    QTest::newRow("nothing removed") << 50 << 50 << qint64(10000000000) << 20 << 20 << 50;
}

void ColumnStoreTest::editsKeepEveryRow() {
    QFETCH(int, rows);
    QFETCH(int, distinctTexts);
    QFETCH(qint64, integerScale);
    QFETCH(int, eraseFirst);
    QFETCH(int, eraseLast);
    QFETCH(int, truncateTo);
    ColumnStore store(
        {{QStringLiteral("n"), ColumnKind::Integer}, {QStringLiteral("t"), ColumnKind::Text}});
    Model model;
    const auto append = [&](int i) {
        const qint64 integer = i == 400 ? qint64(1) << 40 : i * integerScale - 3;
        appendBoth(store, model, integer, "value " + QByteArray::number(i % distinctTexts),
                   i % 11 == 5);
    };
    for (int i = 0; i < rows; ++i)
        append(i);

    store.eraseRows(quint32(eraseFirst), quint32(eraseLast));
    model.nulls.erase(model.nulls.begin() + eraseFirst, model.nulls.begin() + eraseLast);
    model.integers.erase(model.integers.begin() + eraseFirst, model.integers.begin() + eraseLast);
    model.texts.erase(model.texts.begin() + eraseFirst, model.texts.begin() + eraseLast);
    const int kept = std::min<int>(truncateTo, int(model.texts.size()));
    store.truncate(quint32(kept));
    model.nulls.resize(kept);
    model.integers.resize(kept);
    model.texts.resize(kept);
    // Rows put in another order, as a whole read sorted after reading.
    std::vector<quint32> order(kept);
    std::iota(order.begin(), order.end(), 0u);
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    store.reorder(order);
    Model reordered;
    for (const quint32 row : order) {
        reordered.nulls.push_back(model.nulls[row]);
        reordered.integers.push_back(model.integers[row]);
        reordered.texts.push_back(model.texts[row]);
    }
    model = std::move(reordered);
    for (int i = rows; i < rows + 30; ++i)
        append(i);

    QCOMPARE(store.rowCount(), quint32(model.texts.size()));
    for (quint32 row = 0; row < store.rowCount(); ++row) {
        QCOMPARE(store.isNull(0, row), bool(model.nulls[row]));
        QCOMPARE(store.integer(0, row), model.integers[row]);
        QCOMPARE(store.utf8(1, row), model.texts[row]);
    }
}

// A table read in two parts side by side is joined: the joined store must
// hold exactly what one store fed every row holds, and take rows after.
void ColumnStoreTest::joinedPartsEqualOneStore_data() {
    QTest::addColumn<int>("firstRows");
    QTest::addColumn<int>("secondRows");
    QTest::addColumn<int>("firstDistinct");  // texts of the first part
    QTest::addColumn<int>("secondDistinct"); // texts of the second, some shared
    QTest::addColumn<int>("nullsFrom");      // rows from here on are NULL every 7th
    QTest::addColumn<int>("wideFrom");       // rows from here on hold 64-bit values
    QTest::newRow("both coded, shared texts") << 300 << 400 << 5 << 9 << 0 << 1000000;
    QTest::newRow("coded then bytes") << 300 << 9000 << 5 << 9000 << 1000000 << 1000000;
    QTest::newRow("bytes then coded") << 9000 << 300 << 9000 << 5 << 1000000 << 1000000;
    QTest::newRow("both bytes") << 9000 << 9000 << 9000 << 9000 << 4000 << 2000;
    QTest::newRow("dictionaries too large together")
        << 9000 << 9000 << 3000 << 3000 << 1000000 << 0;
    QTest::newRow("nulls only in the second") << 200 << 200 << 4 << 4 << 250 << 1000000;
    QTest::newRow("nulls only in the first") << 200 << 200 << 4 << 4 << 0 << 1000000;
    QTest::newRow("wide only in the second") << 200 << 200 << 4 << 4 << 1000000 << 300;
    QTest::newRow("empty first") << 0 << 500 << 1 << 7 << 100 << 1000000;
    QTest::newRow("empty second") << 500 << 0 << 7 << 1 << 100 << 1000000;
}

void ColumnStoreTest::joinedPartsEqualOneStore() {
    QFETCH(int, firstRows);
    QFETCH(int, secondRows);
    QFETCH(int, firstDistinct);
    QFETCH(int, secondDistinct);
    QFETCH(int, nullsFrom);
    QFETCH(int, wideFrom);
    const std::vector<ColumnStore::ColumnInfo> columns{{QStringLiteral("n"), ColumnKind::Integer},
                                                       {QStringLiteral("t"), ColumnKind::Text}};
    ColumnStore whole(columns);
    ColumnStore first(columns);
    ColumnStore second(columns);
    first.reserve(quint32(firstRows + secondRows));
    Model model;
    Model unused;
    const auto append = [&](ColumnStore& part, int i, int distinct) {
        const qint64 integer = i >= wideFrom ? (qint64(1) << 40) + i : i - 3;
        const QByteArray text = "value " + QByteArray::number(i % distinct);
        const bool isNull = i >= nullsFrom && i % 7 == 0;
        appendBoth(part, unused, integer, text, isNull);
        appendBoth(whole, model, integer, text, isNull);
    };
    for (int i = 0; i < firstRows; ++i)
        append(first, i, firstDistinct);
    for (int i = firstRows; i < firstRows + secondRows; ++i)
        append(second, i, secondDistinct);

    first.append(std::move(second));
    for (int i = firstRows + secondRows; i < firstRows + secondRows + 20; ++i)
        append(first, i, 3);

    QCOMPARE(first.rowCount(), whole.rowCount());
    QCOMPARE(second.rowCount(), quint32(0));
    for (quint32 row = 0; row < whole.rowCount(); ++row) {
        QCOMPARE(first.isNull(0, row), bool(model.nulls[row]));
        QCOMPARE(first.integer(0, row), model.integers[row]);
        QCOMPARE(first.utf8(1, row), model.texts[row]);
    }
    QVERIFY(first.integers(0).lowest() <= whole.integers(0).lowest());
    QVERIFY(first.integers(0).highest() >= whole.integers(0).highest());
}

QTEST_APPLESS_MAIN(ColumnStoreTest)
#include "tst_columnstore.moc"
