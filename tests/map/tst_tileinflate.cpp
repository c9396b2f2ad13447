#include "../support/MbtilesFixture.h"
#include "map/TileInflate.h"

#include <QTest>

using namespace mbtilesfixture;

// Inflating stops at the limit, however far the data would unpack.
class TestTileInflate : public QObject {
    Q_OBJECT
private slots:
    void inflatesAtMostTheLimit_data();
    void inflatesAtMostTheLimit();
    void prefixUnpacksOnlyTheStart();
};

constexpr qsizetype mib = 1024 * 1024;

void TestTileInflate::inflatesAtMostTheLimit_data() {
    QTest::addColumn<QByteArray>("packed");
    QTest::addColumn<qsizetype>("limit");
    QTest::addColumn<int>("status");
    QTest::addColumn<qsizetype>("size");

    const QByteArray text = QByteArray("a street tile ").repeated(100);
    QTest::newRow("gzip") << gzip(text) << 8 * mib << int(Inflated::Done) << text.size();
    QTest::newRow("exactly the limit")
        << gzip(text) << text.size() << int(Inflated::Done) << text.size();
    QTest::newRow("a byte past the limit")
        << gzip(text) << text.size() - 1 << int(Inflated::TooLarge) << qsizetype(0);
    QTest::newRow("64 MiB of zeros, 8 MiB allowed")
        << gzippedZeros(64 * mib) << 8 * mib << int(Inflated::TooLarge) << qsizetype(0);
    QTest::newRow("cut short") << gzip(text).left(20) << 8 * mib << int(Inflated::Broken)
                               << qsizetype(0);
    QTest::newRow("not compressed") << text << 8 * mib << int(Inflated::Broken) << qsizetype(0);
}

void TestTileInflate::inflatesAtMostTheLimit() {
    QFETCH(QByteArray, packed);
    QFETCH(qsizetype, limit);
    QFETCH(int, status);
    QFETCH(qsizetype, size);
    QVERIFY(isCompressed(packed) || status == Inflated::Broken);
    const Inflated result = inflateAtMost(packed, limit);
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.data.size(), size);
}

void TestTileInflate::prefixUnpacksOnlyTheStart() {
    QCOMPARE(inflatedPrefix(gzippedZeros(64 * mib), 12), QByteArray(12, '\0'));
    QCOMPARE(inflatedPrefix(gzip("\x89PNG and more").left(24), 4), QByteArray("\x89PNG"));
    QCOMPARE(inflatedPrefix(gzip("ab"), 12), QByteArray("ab"));
}

QTEST_GUILESS_MAIN(TestTileInflate)
#include "tst_tileinflate.moc"
