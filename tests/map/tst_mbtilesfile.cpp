#include "../support/MbtilesFixture.h"
#include "map/MbtilesFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace mbtilesfixture;

class TestMbtilesFile : public QObject {
    Q_OBJECT
private slots:
    void servesTilesByWebAddress_data();
    void servesTilesByWebAddress();
    void namesTheReasonAFileCannotServe_data();
    void namesTheReasonAFileCannotServe();
    void namesWhatStandsAtThePath_data();
    void namesWhatStandsAtThePath();
    void neverWritesTheFile();
    void goesOnWhenTheFileIsDeleted();

private:
    QTemporaryDir dir_;
};

const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + "top-left";
const QByteArray otherPng = QByteArray("\x89PNG\r\n\x1a\n", 8) + "bottom-left";
const QByteArray street = streetTile("Long Street");
constexpr qsizetype limit = MbtilesFile::maxTileBytes;

void TestMbtilesFile::servesTilesByWebAddress_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QList<StoredTile>>("stored");
    QTest::addColumn<QPoint>("column_row");
    QTest::addColumn<QByteArray>("expected"); // empty: none
    QTest::addColumn<QString>("expectedFormat");
    QTest::addColumn<bool>("refused"); // as too large

    // At level 1 the web map's top row is the file's row 1.
    const QList<StoredTile> raster{{1, 0, 1, png}, {1, 0, 0, otherPng}};
    QTest::newRow("raster, top row") << "png" << raster << QPoint(0, 0) << png << "png" << false;
    QTest::newRow("raster, bottom row")
        << "png" << raster << QPoint(0, 1) << otherPng << "png" << false;
    QTest::newRow("raster, missing")
        << "png" << raster << QPoint(1, 0) << QByteArray() << "png" << false;
    QTest::newRow("outside the level")
        << "png" << raster << QPoint(2, 0) << QByteArray() << "png" << false;
    QTest::newRow("vector, gzip") << "pbf" << QList<StoredTile>{{1, 0, 1, gzip(street)}}
                                  << QPoint(0, 0) << street << "pbf" << false;
    QTest::newRow("vector, plain") << "pbf" << QList<StoredTile>{{1, 0, 1, street}} << QPoint(0, 0)
                                   << street << "pbf" << false;
    QTest::newRow("vector, gzip that does not decode")
        << "pbf" << QList<StoredTile>{{1, 0, 1, gzip(street).left(20)}} << QPoint(0, 0)
        << QByteArray() << "pbf" << false;
    // Without metadata the first tile's bytes tell the kind.
    QTest::newRow("no metadata, vector") << "" << QList<StoredTile>{{1, 0, 1, gzip(street)}}
                                         << QPoint(0, 0) << street << "pbf" << false;
    QTest::newRow("no metadata, raster") << "" << raster << QPoint(0, 0) << png << "png" << false;

    // A tile past the limit, stored or unpacked, is refused, not read whole.
    const QByteArray bomb = gzippedZeros(64 * 1024 * 1024);
    QTest::newRow("vector, unpacks to 64 MiB") << "pbf" << QList<StoredTile>{{1, 0, 1, bomb}}
                                               << QPoint(0, 0) << QByteArray() << "pbf" << true;
    QTest::newRow("no metadata, vector that unpacks to 64 MiB")
        << "" << QList<StoredTile>{{1, 0, 1, bomb}} << QPoint(0, 0) << QByteArray() << "pbf"
        << true;
    QTest::newRow("vector, unpacks to the limit")
        << "pbf" << QList<StoredTile>{{1, 0, 1, gzippedZeros(limit)}} << QPoint(0, 0)
        << QByteArray(limit, '\0') << "pbf" << false;
    QTest::newRow("vector, unpacks to a byte past the limit")
        << "pbf" << QList<StoredTile>{{1, 0, 1, gzippedZeros(limit + 1)}} << QPoint(0, 0)
        << QByteArray() << "pbf" << true;
    QTest::newRow("vector, stored plain past the limit")
        << "pbf" << QList<StoredTile>{{1, 0, 1, QByteArray(limit + 1, '\x1a')}} << QPoint(0, 0)
        << QByteArray() << "pbf" << true;
    QTest::newRow("raster, stored past the limit")
        << "png" << QList<StoredTile>{{1, 0, 1, png + QByteArray(limit, 'x')}} << QPoint(0, 0)
        << QByteArray() << "png" << true;
}

void TestMbtilesFile::servesTilesByWebAddress() {
    QFETCH(QString, format);
    QFETCH(QList<StoredTile>, stored);
    QFETCH(QPoint, column_row);
    QFETCH(QByteArray, expected);
    QFETCH(QString, expectedFormat);
    QFETCH(bool, refused);
    const QString path = dir_.filePath(QString::fromUtf8(QTest::currentDataTag()) + ".mbtiles");
    QVERIFY(writeMbtiles(path, format, stored));

    const MbtilesFile file(path);
    QVERIFY2(file.isOpen(), qPrintable(file.error()));
    QCOMPARE(file.format(), expectedFormat);
    bool tooLarge = !refused;
    const std::optional<QByteArray> tile = file.tile(1, column_row.x(), column_row.y(), &tooLarge);
    QCOMPARE(tile.has_value(), !expected.isEmpty());
    if (tile)
        QVERIFY(*tile == expected);
    QCOMPARE(tooLarge, refused);
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
    QTest::newRow("no tiles, format given")
        << QByteArray()
        << "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, "
           "tile_data BLOB); CREATE TABLE metadata (name TEXT, value TEXT); "
           "INSERT INTO metadata VALUES ('format', 'png')"
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

// What stands at the path is named, and the path is shown as the system
// resolves it. Nothing there is opened, so a named pipe never blocks.
void TestMbtilesFile::namesWhatStandsAtThePath_data() {
    QTest::addColumn<QString>("kind");  // made at the path
    QTest::addColumn<QString>("given"); // "@" stands for the test's folder
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("reason");

    QTest::newRow("folder") << "folder"
                            << "@/maps.mbtiles"
                            << "@/maps.mbtiles"
                            << "is a folder";
    QTest::newRow("named pipe") << "fifo"
                                << "@/pipe.mbtiles"
                                << "@/pipe.mbtiles"
                                << "is a named pipe (FIFO), not a file";
    QTest::newRow("link loop") << "loop"
                               << "@/loop.mbtiles"
                               << "@/loop.mbtiles"
                               << "is a link that loops";
    QTest::newRow("link to nothing") << "dangling"
                                     << "@/dangling.mbtiles"
                                     << "@/dangling.mbtiles"
                                     << "does not exist";
    QTest::newRow("device") << ""
                            << "/dev/null"
                            << "/dev/null"
                            << "is a device or socket, not a file";
    QTest::newRow("folder on the way") << ""
                                       << "@/nowhere/../x.mbtiles"
                                       << "@/x.mbtiles"
                                       << "does not exist";
    QTest::newRow("climbs above the root")
        << ""
        << "@" + QString("/..").repeated(40) + "/etc/nowhere.mbtiles"
        << "/etc/nowhere.mbtiles"
        << "does not exist";
    QTest::newRow("cleaned path above the root") << ""
                                                 << "/../../etc/nowhere.mbtiles"
                                                 << "/etc/nowhere.mbtiles"
                                                 << "does not exist";
}

void TestMbtilesFile::namesWhatStandsAtThePath() {
    QFETCH(QString, kind);
    QFETCH(QString, given);
    QFETCH(QString, shown);
    QFETCH(QString, reason);
    given.replace(QLatin1Char('@'), dir_.path());
    shown.replace(QLatin1Char('@'), dir_.path());
    const QByteArray target = QFile::encodeName(given);
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(given));
    else if (kind == QLatin1String("fifo"))
        QCOMPARE(mkfifo(target.constData(), 0600), 0);
    else if (kind == QLatin1String("loop")) {
        QCOMPARE(symlink((target + ".other").constData(), target.constData()), 0);
        QCOMPARE(symlink(target.constData(), (target + ".other").constData()), 0);
    } else if (kind == QLatin1String("dangling"))
        QCOMPARE(symlink((target + ".gone").constData(), target.constData()), 0);

    const MbtilesFile file(given);
    QVERIFY(!file.isOpen());
    QCOMPARE(file.path(), shown);
    QVERIFY2(file.error().contains(reason), qPrintable(file.error()));
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
