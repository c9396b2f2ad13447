#include "app/Error.h"
#include "export/CsvWriter.h"
#include "export/ExportFile.h"
#include "export/GpxWriter.h"
#include "export/ModelRows.h"
#include "export/RouteExport.h"
#include "store/CoordinateText.h"

#include <QDir>
#include <QFile>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

Q_DECLARE_METATYPE(RouteFormat)

namespace {

// A tmpfs of 64 KiB mounted on a folder of its own and filled to the last
// byte: a full disk. Mounting needs root rights, which a test run may not
// have; `problem` then says why.
class FullDisk {
public:
    explicit FullDisk(const QString& folder)
        : folder_(folder) {
        if (::mount("tmpfs", qPrintable(folder), "tmpfs", 0, "size=64k") != 0) {
            problem = QStringLiteral("a small tmpfs cannot be mounted here: ") +
                      QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        mounted_ = true;
    }
    ~FullDisk() {
        if (mounted_)
            ::umount2(qPrintable(folder_), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Writes a filler file until the disk refuses more.
    bool fill() const {
        QFile filler(folder_ + "/filler");
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        return filler.error() == QFileDevice::ResourceError; // no space left
    }

    QString problem;

private:
    QString folder_;
    bool mounted_ = false;
};

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestFileExport : public QObject {
    Q_OBJECT

private slots:
    void csvQuotesOnlyWhatNeedsIt_data();
    void csvQuotesOnlyWhatNeedsIt();
    void csvDocumentEndsEachRowWithCrLf();
    void gpxEscapesMarkupAndLeavesOutWhatDoesNotRead();
    void coordinatesKeepTheStoredMinutes_data();
    void coordinatesKeepTheStoredMinutes();
    void routeFormatFollowsExtensionThenFilter_data();
    void routeFormatFollowsExtensionThenFilter();
    void routeCsvHasTheReportsOldestFirst();
    void existingFileIsReplacedOnlyWhenConfirmed();
    void unwritableFolderGivesOneMessage();
    void fullDiskGivesOneMessageAndKeepsTheOldFile_data();
    void fullDiskGivesOneMessageAndKeepsTheOldFile();
    void linksAreNotWrittenThrough_data();
    void linksAreNotWrittenThrough();
    void defaultFolderIsNeverTheDatabasesFolder();
    void modelRowsAreTheTitlesAndTextsAsShown();
};

void TestFileExport::csvQuotesOnlyWhatNeedsIt_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "Base 1"
                           << "Base 1";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("comma") << "a,b"
                           << "\"a,b\"";
    QTest::newRow("quotes doubled") << "say \"hi\""
                                    << "\"say \"\"hi\"\"\"";
    QTest::newRow("line feed") << "one\ntwo"
                               << "\"one\ntwo\"";
    QTest::newRow("carriage return") << "one\rtwo"
                                     << "\"one\rtwo\"";
    QTest::newRow("semicolon stays") << "a;b"
                                     << "a;b";
    // What a spreadsheet would run as a formula shows as text.
    QTest::newRow("formula") << "=HYPERLINK(\"http://x\")"
                             << "\"'=HYPERLINK(\"\"http://x\"\")\"";
    QTest::newRow("plus") << "+1+cmd"
                          << "\"'+1+cmd\"";
    QTest::newRow("minus") << "-2+3"
                           << "\"'-2+3\"";
    QTest::newRow("at") << "@SUM(A1)"
                        << "\"'@SUM(A1)\"";
    QTest::newRow("leading tab") << "\t=1"
                                 << "\"'\t=1\"";
    QTest::newRow("leading carriage return") << "\r=1"
                                             << "\"'\r=1\"";
    QTest::newRow("minus alone") << "-"
                                 << "\"'-\"";
    QTest::newRow("equals later stays") << "a=b"
                                        << "a=b";
    // Plain numbers stay numbers.
    QTest::newRow("negative altitude") << "-12.5"
                                       << "-12.5";
    QTest::newRow("plus-signed number") << "+3"
                                        << "+3";
    QTest::newRow("negative degrees") << "-41.0065000"
                                      << "-41.0065000";
    QTest::newRow("exponent") << "-1.5e3"
                              << "-1.5e3";
}

void TestFileExport::csvQuotesOnlyWhatNeedsIt() {
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(csvField(text), field);
}

void TestFileExport::csvDocumentEndsEachRowWithCrLf() {
    QCOMPARE(csvDocument({{"id", "station"}, {"1", "Depot \"North\", gate\n2"}, {"2", "Şile"}}),
             QByteArray("id,station\r\n1,\"Depot \"\"North\"\", gate\n2\"\r\n2,") +
                 QStringLiteral("Şile").toUtf8() + "\r\n");
}

void TestFileExport::gpxEscapesMarkupAndLeavesOutWhatDoesNotRead() {
    const QDateTime utc(QDate(2024, 3, 1), QTime(8, 0, 5), Qt::UTC);
    const QList<TrackPoint> points{
        {utc, -41.5, -70.25, "12.5"},
        {QDateTime(), 41.0, 29.0, "<b>high</b>"},
        {utc.addSecs(60), std::nullopt, std::nullopt, "3"},
    };
    const QByteArray gpx = gpxDocument(points, "Radio 7 <script>&\"");
    QVERIFY2(!gpx.contains("<script>") && !gpx.contains("<b>"), gpx.constData());

    QXmlStreamReader xml(gpx);
    QStringList seen;
    QString name;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"gpx") {
            QCOMPARE(xml.namespaceUri(), QStringLiteral("http://www.topografix.com/GPX/1/1"));
            QCOMPARE(xml.attributes().value("version"), QStringLiteral("1.1"));
        } else if (xml.name() == u"name") {
            name = xml.readElementText();
        } else if (xml.name() == u"trkpt") {
            seen << xml.attributes().value("lat").toString() + "," +
                        xml.attributes().value("lon").toString();
        } else if (xml.name() == u"ele" || xml.name() == u"time") {
            seen << xml.name().toString() + "=" + xml.readElementText();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(name, QStringLiteral("Radio 7 <script>&\""));
    QCOMPARE(seen, QStringList({"-41.5000000,-70.2500000", "ele=12.5", "time=2024-03-01T08:00:05Z",
                                "41.0000000,29.0000000"}));
}

void TestFileExport::coordinatesKeepTheStoredMinutes_data() {
    QTest::addColumn<RouteFormat>("format");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("gpx") << RouteFormat::Gpx
                         << QByteArray("<trkpt lat=\"38.8613517\" lon=\"-27.1372417\">");
    QTest::newRow("csv") << RouteFormat::Csv << QByteArray(",38.8613517,-27.1372417,12\r\n");
}

// 38 51.6811' N, 27 08.2345' W to the centimetre, where the map has 38.8614
// and -27.1372.
void TestFileExport::coordinatesKeepTheStoredMinutes() {
    QFETCH(RouteFormat, format);
    QFETCH(QByteArray, written);
    const TrackPoint point{QDateTime(QDate(2024, 3, 1), QTime(8, 0)),
                           decimalDegrees("38.516811", u'N'), decimalDegrees("027.082345", u'W'),
                           "12", "38.8614,-27.1372"};
    const QByteArray document = routeDocument({point}, "Radio 7", format);
    QVERIFY2(document.contains(written), document.constData());
}

void TestFileExport::routeFormatFollowsExtensionThenFilter_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("gpx");
    QTest::addColumn<QString>("written");
    const QString gpxFilter = "GPX track (*.gpx)";
    const QString csvFilter = "CSV table (*.csv)";
    QTest::newRow("gpx filter, no extension") << "/t/route" << gpxFilter << true << "/t/route.gpx";
    QTest::newRow("csv filter, no extension") << "/t/route" << csvFilter << false << "/t/route.csv";
    QTest::newRow("extension wins") << "/t/route.CSV" << gpxFilter << false << "/t/route.CSV";
    QTest::newRow("other extension kept")
        << "/t/route.txt" << csvFilter << false << "/t/route.txt.csv";
}

void TestFileExport::routeFormatFollowsExtensionThenFilter() {
    QFETCH(QString, path);
    QFETCH(QString, filter);
    QFETCH(bool, gpx);
    QFETCH(QString, written);
    QVERIFY(routeFileFilters().split(";;").contains(filter));
    const RouteFormat format = routeFormatFor(path, filter);
    QCOMPARE(format == RouteFormat::Gpx, gpx);
    QCOMPARE(withRouteExtension(path, format), written);
}

void TestFileExport::routeCsvHasTheReportsOldestFirst() {
    const QDateTime t(QDate(2024, 3, 1), QTime(8, 0));
    const QByteArray csv = routeDocument({{t, 41.5, 29.25, "12"},
                                          {t.addSecs(60), std::nullopt, std::nullopt, ""},
                                          {QDateTime(), -1.0, -2.0, "a,b"}},
                                         "Radio 7", RouteFormat::Csv);
    QCOMPARE(csv, QByteArray("time,latitude,longitude,altitude\r\n"
                             "2024-03-01T08:00:00,41.5000000,29.2500000,12\r\n"
                             ",-1.0000000,-2.0000000,\"a,b\"\r\n"));
}

void TestFileExport::existingFileIsReplacedOnlyWhenConfirmed() {
    QTemporaryDir dir;
    const QString path = dir.filePath("route.gpx");
    QStringList asked;
    const auto answer = [&](bool yes) {
        return [&asked, yes](const QString& p) {
            asked << p;
            return yes;
        };
    };
    QVERIFY(writeExportFile(path, "first", answer(false)));
    QVERIFY(asked.isEmpty()); // a new file needs no question
    QVERIFY(!writeExportFile(path, "second", answer(false)));
    QCOMPARE(asked, QStringList{path});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("first"));
    file.close();
    QVERIFY(writeExportFile(path, "third", answer(true)));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("third"));
}

void TestFileExport::unwritableFolderGivesOneMessage() {
    try {
        writeExportFile("/nonexistent-folder/route.gpx", "x", [](const QString&) { return true; });
        QFAIL("no error");
    } catch (const Error& error) {
        QCOMPARE(error.message(), QStringLiteral("The folder \"/nonexistent-folder\" cannot be "
                                                 "written to. Please choose another folder."));
    }
    QTemporaryDir dir;
    const QString locked = dir.filePath("locked");
    QVERIFY(QDir().mkdir(locked));
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    if (QFileInfo(locked).isWritable())
        QSKIP("running with rights that ignore folder permissions");
    bool asked = false;
    try {
        writeExportFile(locked + "/route.gpx", "x", [&](const QString&) { return asked = true; });
        QFAIL("no error");
    } catch (const Error& error) {
        QVERIFY2(error.message().contains("cannot be written to"), qPrintable(error.message()));
        QVERIFY(error.message().contains(QDir::toNativeSeparators(locked)));
    }
    QVERIFY(!asked);
    QVERIFY(!QFile::exists(locked + "/route.gpx"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestFileExport::fullDiskGivesOneMessageAndKeepsTheOldFile_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("replacing");
    // A route's few hundred bytes fit in the write buffer and reach the disk
    // only when the file is closed.
    QTest::newRow("short file over an old one") << 500 << true;
    QTest::newRow("short new file") << 500 << false;
    QTest::newRow("long file over an old one") << 256 * 1024 << true;
}

void TestFileExport::fullDiskGivesOneMessageAndKeepsTheOldFile() {
    QFETCH(int, size);
    QFETCH(bool, replacing);
    QTemporaryDir dir;
    const QString folder = dir.filePath("disk");
    QVERIFY(QDir().mkdir(folder));
    const FullDisk disk(folder);
    if (!disk.problem.isEmpty())
        QSKIP(qPrintable(disk.problem));
    const QString path = folder + "/route.gpx";
    const QByteArray old = "<gpx>the route of yesterday</gpx>";
    if (replacing) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    }
    QVERIFY(disk.fill());

    try {
        writeExportFile(path, QByteArray(size, 'x'), [](const QString&) { return true; });
        QFAIL("no error");
    } catch (const Error& error) {
        QCOMPARE(error.message(),
                 QStringLiteral("\"%1\" could not be written: No space left on device").arg(path));
    }
    QCOMPARE(QFile::exists(path), replacing);
    if (replacing)
        QCOMPARE(contentOf(path), old);
    QStringList expected{"filler"};
    if (replacing)
        expected << "route.gpx";
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
             expected); // no temporary file left behind
}

void TestFileExport::linksAreNotWrittenThrough_data() {
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("link to a missing file") << false;
    QTest::newRow("link to a file") << true;
}

// No question, no file at the link's target, the link and its target as
// they were.
void TestFileExport::linksAreNotWrittenThrough() {
    QFETCH(bool, targetExists);
    QTemporaryDir dir;
    QVERIFY(QDir().mkdir(dir.filePath("elsewhere")));
    const QString target = dir.filePath("elsewhere/kept.gpx");
    if (targetExists) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("kept") == 4);
    }
    const QString link = dir.filePath("route.gpx");
    QVERIFY(QFile::link(target, link));
    bool asked = false;
    try {
        writeExportFile(link, "new", [&](const QString&) { return asked = true; });
        QFAIL("no error");
    } catch (const Error& error) {
        QCOMPARE(error.message(), QStringLiteral("\"%1\" is a link. Exports are not written "
                                                 "through links; please choose another file name.")
                                      .arg(QDir::toNativeSeparators(link)));
    }
    QVERIFY(!asked);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFile::exists(target), targetExists);
    if (targetExists)
        QCOMPARE(contentOf(target), QByteArray("kept"));
}

void TestFileExport::defaultFolderIsNeverTheDatabasesFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString first = defaultExportFolder("/nonexistent/db-folder");
    QCOMPARE(first, QFileInfo(documents).isDir()
                        ? documents
                        : QStandardPaths::writableLocation(QStandardPaths::HomeLocation));
    for (const QString& database : {first, first + "/", first + "/."}) {
        const QString chosen = defaultExportFolder(database);
        QVERIFY(QFileInfo(chosen).isDir());
        QVERIFY2(QFileInfo(chosen).canonicalFilePath() != QFileInfo(first).canonicalFilePath(),
                 qPrintable(database));
    }
}

void TestFileExport::modelRowsAreTheTitlesAndTextsAsShown() {
    QStandardItemModel model(2, 2);
    model.setHorizontalHeaderLabels({"id", "time"});
    model.setItem(0, 0, new QStandardItem("1"));
    model.setItem(0, 1, new QStandardItem("01/03/2024 08:00"));
    model.setItem(1, 0, new QStandardItem("2"));
    QCOMPARE(modelRows(model),
             QList<QStringList>({{"id", "time"}, {"1", "01/03/2024 08:00"}, {"2", ""}}));
}

QTEST_MAIN(TestFileExport)
#include "tst_fileexport.moc"
