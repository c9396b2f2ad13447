#include "../support/MbtilesFixture.h"
#include "map/MbtilesFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mbtilesfixture;

class TestMbtilesFile : public QObject {
    Q_OBJECT
private slots:
    void servesTilesByWebAddress_data();
    void servesTilesByWebAddress();
    void namesTheReasonAFileCannotServe_data();
    void namesTheReasonAFileCannotServe();
    void neverWritesTheFile();
    void goesOnWhenTheFileIsDeleted();

private:
    QTemporaryDir dir_;
};

const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + "top-left";
const QByteArray otherPng = QByteArray("\x89PNG\r\n\x1a\n", 8) + "bottom-left";
const QByteArray street = streetTile("Long Street");

void TestMbtilesFile::servesTilesByWebAddress_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QList<StoredTile>>("stored");
    QTest::addColumn<QPoint>("column_row");
    QTest::addColumn<QByteArray>("expected"); // empty: none
    QTest::addColumn<QString>("expectedFormat");

    // At level 1 the web map's top row is the file's row 1.
    const QList<StoredTile> raster{{1, 0, 1, png}, {1, 0, 0, otherPng}};
    QTest::newRow("raster, top row") << "png" << raster << QPoint(0, 0) << png << "png";
    QTest::newRow("raster, bottom row") << "png" << raster << QPoint(0, 1) << otherPng << "png";
    QTest::newRow("raster, missing") << "png" << raster << QPoint(1, 0) << QByteArray() << "png";
    QTest::newRow("outside the level") << "png" << raster << QPoint(2, 0) << QByteArray() << "png";
    QTest::newRow("vector, gzip") << "pbf" << QList<StoredTile>{{1, 0, 1, gzip(street)}}
                                  << QPoint(0, 0) << street << "pbf";
    QTest::newRow("vector, plain")
        << "pbf" << QList<StoredTile>{{1, 0, 1, street}} << QPoint(0, 0) << street << "pbf";
    QTest::newRow("vector, gzip that does not decode")
        << "pbf" << QList<StoredTile>{{1, 0, 1, gzip(street).left(20)}} << QPoint(0, 0)
        << QByteArray() << "pbf";
    // Without metadata the first tile's bytes tell the kind.
    QTest::newRow("no metadata, vector")
        << "" << QList<StoredTile>{{1, 0, 1, gzip(street)}} << QPoint(0, 0) << street << "pbf";
    QTest::newRow("no metadata, raster") << "" << raster << QPoint(0, 0) << png << "png";
}

void TestMbtilesFile::servesTilesByWebAddress() {
    QFETCH(QString, format);
    QFETCH(QList<StoredTile>, stored);
    QFETCH(QPoint, column_row);
    QFETCH(QByteArray, expected);
    QFETCH(QString, expectedFormat);
    const QString path = dir_.filePath(QString::fromUtf8(QTest::currentDataTag()) + ".mbtiles");
    QVERIFY(writeMbtiles(path, format, stored));

    const MbtilesFile file(path);
    QVERIFY2(file.isOpen(), qPrintable(file.error()));
    QCOMPARE(file.format(), expectedFormat);
    const std::optional<QByteArray> tile = file.tile(1, column_row.x(), column_row.y());
    QCOMPARE(tile.has_value(), !expected.isEmpty());
    if (tile)
        QCOMPARE(*tile, expected);
}

void TestMbtilesFile::namesTheReasonAFileCannotServe_data() {
    QTest::addColumn<QByteArray>("content"); // written as the file; empty: an SQLite file
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("reason");

    QTest::newRow("not SQLite") << QByteArray("PK\x03\x04 a zip archive, not a database")
                                << QString() << "not an SQLite database";
    QTest::newRow("SQLite without the tables")
        << QByteArray() << "CREATE TABLE positions (id INTEGER)"
        << "no tiles table";
    QTest::newRow("no tiles at all")
        << QByteArray()
        << "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, "
           "tile_data BLOB)"
        << "no tiles";
    QTest::newRow("empty file") << QByteArray() << QString() << "no tiles table";
}

void TestMbtilesFile::namesTheReasonAFileCannotServe() {
    QFETCH(QByteArray, content);
    QFETCH(QString, sql);
    QFETCH(QString, reason);
    const QString path = dir_.filePath(QString::fromUtf8(QTest::currentDataTag()) + ".mbtiles");
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(content);
    out.close();
    if (!sql.isEmpty()) {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    const MbtilesFile file(path);
    QVERIFY(!file.isOpen());
    QVERIFY2(file.error().contains(reason), qPrintable(file.error()));
    QVERIFY(!file.tile(0, 0, 0));

    const MbtilesFile missing(dir_.filePath(QStringLiteral("nowhere.mbtiles")));
    QVERIFY(!missing.isOpen());
    QVERIFY(missing.error().contains(QStringLiteral("does not exist")));
}

void TestMbtilesFile::neverWritesTheFile() {
    const QString path = dir_.filePath(QStringLiteral("kept.mbtiles"));
    QVERIFY(writeMbtiles(path, QStringLiteral("pbf"), {{1, 0, 1, gzip(street)}}));
    const auto digest = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    };
    const QByteArray before = digest();
    {
        const MbtilesFile file(path);
        for (int i = 0; i < 3; ++i)
            QVERIFY(file.tile(1, 0, 0));
    }
    QCOMPARE(digest(), before);
    QVERIFY(!QFile::exists(path + "-journal"));
    QVERIFY(!QFile::exists(path + "-wal"));
}

// The open file stays readable; a file replaced by garbage gives no tiles.
void TestMbtilesFile::goesOnWhenTheFileIsDeleted() {
    const QString path = dir_.filePath(QStringLiteral("deleted.mbtiles"));
    QVERIFY(writeMbtiles(path, QStringLiteral("png"), {{1, 0, 1, png}}));
    const MbtilesFile file(path);
    QVERIFY(file.isOpen());
    QVERIFY(QFile::remove(path));
    const std::optional<QByteArray> tile = file.tile(1, 0, 0);
    QVERIFY(!tile || *tile == png);

    QFile garbage(path);
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    const std::optional<QByteArray> again = file.tile(1, 0, 0);
    QVERIFY(!again || *again == png);
}

QTEST_GUILESS_MAIN(TestMbtilesFile)
#include "tst_mbtilesfile.moc"
