#include "store/ColumnStore.h"

#include <QTest>

#include <vector>

// The compact columns against a plain model of the same rows, through the
// appends, cuts and removals a re-read makes.
class ColumnStoreTest : public QObject {
    Q_OBJECT
private slots:
    void editsKeepEveryRow_data();
    void editsKeepEveryRow();
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
    for (int i = rows; i < rows + 30; ++i)
        append(i);

    QCOMPARE(store.rowCount(), quint32(model.texts.size()));
    for (quint32 row = 0; row < store.rowCount(); ++row) {
        QCOMPARE(store.isNull(0, row), bool(model.nulls[row]));
        QCOMPARE(store.integer(0, row), model.integers[row]);
        QCOMPARE(store.utf8(1, row), model.texts[row]);
    }
}

QTEST_APPLESS_MAIN(ColumnStoreTest)
#include "tst_columnstore.moc"
