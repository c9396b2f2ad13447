#include "../support/MbtilesFixture.h"
#include "map/MbtilesFile.h"
#include "map/TileReader.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace mbtilesfixture;

// Tiles by address, read off the caller's thread and answered through its
// event loop.
class TestTileReader : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void answersAfterReturning();
    void servesNothingOutsideTheFiles_data();
    void servesNothingOutsideTheFiles();
    void answersOnlyRequestersStillThere();
    void reportsATooLargeTileOncePerFile();

private:
    struct Answer {
        bool given = false;
        TileReader::Reply reply;
    };
    std::shared_ptr<Answer> read(TileReader& reader, const QString& address, QObject* requester);
    int addFile(TileReader& reader, const QString& name, const QString& format,
                const QList<StoredTile>& tiles);

    QTemporaryDir dir_;
    QString raster_;
};

const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + "top-left";
const QByteArray street = streetTile("Long Street");
const QByteArray bomb = gzippedZeros(64 * 1024 * 1024);

void TestTileReader::initTestCase() {
    raster_ = dir_.filePath(QStringLiteral("raster.mbtiles"));
    QVERIFY(writeMbtiles(raster_, QStringLiteral("png"), {{1, 0, 1, png}}));
}

std::shared_ptr<TestTileReader::Answer>
TestTileReader::read(TileReader& reader, const QString& address, QObject* requester) {
    auto answer = std::make_shared<Answer>();
    reader.read(address, requester, [answer](const TileReader::Reply& reply) {
        answer->given = true;
        answer->reply = reply;
    });
    return answer;
}

int TestTileReader::addFile(TileReader& reader, const QString& name, const QString& format,
                            const QList<StoredTile>& tiles) {
    const QString path = dir_.filePath(name);
    if (!QFile::exists(path) && !writeMbtiles(path, format, tiles))
        return -1;
    return reader.add(std::make_unique<MbtilesFile>(path));
}

// A reader on the caller's thread would meet the file locked by a writer and
// answer "not found"; the worker reads it once the lock is gone.
void TestTileReader::answersAfterReturning() {
    TileReader reader;
    QCOMPARE(addFile(reader, QStringLiteral("raster.mbtiles"), QString(), {}), 0);
    sqlite3* writer = nullptr;
    QCOMPARE(sqlite3_open(raster_.toUtf8().constData(), &writer), SQLITE_OK);
    QCOMPARE(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const std::shared_ptr<Answer> answer = read(reader, QStringLiteral("0/1/0/0"), this);
    QVERIFY(!answer->given);
    QCOMPARE(sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(writer);
    QTRY_VERIFY(answer->given);
    QVERIFY(answer->reply.found);
    QCOMPARE(answer->reply.contentType, QByteArray("image/png"));
    QCOMPARE(answer->reply.body, png);
}

void TestTileReader::servesNothingOutsideTheFiles_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("found");

    QTest::newRow("the tile") << "0/1/0/0" << true;
    QTest::newRow("missing tile") << "0/1/1/1" << false;
    QTest::newRow("no such file") << "1/1/0/0" << false;
    QTest::newRow("negative file") << "-1/1/0/0" << false;
    QTest::newRow("huge file index") << "2147483648/1/0/0" << false;
    QTest::newRow("huger file index") << "99999999999999999999/1/0/0" << false;
    QTest::newRow("parent folder") << "../1/0/0" << false;
    QTest::newRow("parent folder inside") << "0/../../../etc/passwd" << false;
    QTest::newRow("encoded parent folder") << "%2e%2e/1/0/0" << false;
    QTest::newRow("absolute path") << "/etc/passwd" << false;
    QTest::newRow("file path") << raster_ << false;
    QTest::newRow("NUL") << QStringLiteral("0/1/0/0") + QChar(0) << false;
    QTest::newRow("too many parts") << "0/1/0/0/0" << false;
    QTest::newRow("too few parts") << "0/1/0" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("zoom past any level") << "0/99/0/0" << false;
}

void TestTileReader::servesNothingOutsideTheFiles() {
    QFETCH(QString, address);
    QFETCH(bool, found);
    TileReader reader;
    QCOMPARE(addFile(reader, QStringLiteral("raster.mbtiles"), QString(), {}), 0);
    const std::shared_ptr<Answer> answer = read(reader, address, this);
    QTRY_VERIFY(answer->given);
    QCOMPARE(answer->reply.found, found);
    QCOMPARE(answer->reply.body, found ? png : QByteArray());
}

// The page cancels requests as the map moves: their tiles are not answered.
// One worker answers in order, so the live request's answer comes last.
void TestTileReader::answersOnlyRequestersStillThere() {
    TileReader reader;
    QCOMPARE(addFile(reader, QStringLiteral("raster.mbtiles"), QString(), {}), 0);
    auto cancelled = std::make_unique<QObject>();
    const std::shared_ptr<Answer> dropped =
        read(reader, QStringLiteral("0/1/0/0"), cancelled.get());
    const std::shared_ptr<Answer> unknown =
        read(reader, QStringLiteral("9/1/0/0"), cancelled.get());
    cancelled.reset();
    const std::shared_ptr<Answer> live = read(reader, QStringLiteral("0/1/0/0"), this);
    QTRY_VERIFY(live->given);
    QCoreApplication::processEvents();
    QVERIFY(!dropped->given);
    QVERIFY(!unknown->given);
}

// A refused vector tile is answered empty, which the page draws as nothing;
// the user hears of it once per file.
void TestTileReader::reportsATooLargeTileOncePerFile() {
    TileReader reader;
    QSignalSpy refused(&reader, &TileReader::tileRefused);
    const int hostile = addFile(reader, QStringLiteral("hostile.mbtiles"), QStringLiteral("pbf"),
                                {{1, 0, 1, bomb}, {1, 1, 1, bomb}, {1, 0, 0, gzip(street)}});
    const int other =
        addFile(reader, QStringLiteral("other.mbtiles"), QStringLiteral("pbf"), {{1, 0, 1, bomb}});
    QCOMPARE(hostile, 0);
    QCOMPARE(other, 1);
    QList<std::shared_ptr<Answer>> answers;
    for (const char* address : {"0/1/0/0", "0/1/1/0", "0/1/0/0", "1/1/0/0", "0/1/0/1"})
        answers << read(reader, QString::fromLatin1(address), this);
    QTRY_VERIFY(answers.last()->given);
    for (int i = 0; i < 4; ++i) {
        QVERIFY(answers[i]->given);
        QVERIFY(answers[i]->reply.found);
        QCOMPARE(answers[i]->reply.body, QByteArray());
    }
    QCOMPARE(answers.last()->reply.body, street);
    QCOMPARE(answers.last()->reply.contentType, QByteArray("application/x-protobuf"));
    QCOMPARE(refused.size(), 2);
    QCOMPARE(refused[0][0].toString(), dir_.filePath(QStringLiteral("hostile.mbtiles")) +
                                           QStringLiteral(": a tile is larger than 8 MiB "
                                                          "unpacked; such tiles are left blank"));
    QVERIFY(refused[1][0].toString().startsWith(dir_.filePath(QStringLiteral("other.mbtiles"))));
}

QTEST_GUILESS_MAIN(TestTileReader)
#include "tst_tilereader.moc"
