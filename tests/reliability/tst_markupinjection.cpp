// Station names and radio ids that look like markup or script reach the
// bubble as plain text, and nothing in them runs; so do the credit lines of
// the INI file's tiles and of map files, and the files' names.
#include "../support/MbtilesFixture.h"
#include "../support/MessageBoxWatcher.h"
#include "../support/PageScript.h"
#include "../support/TestDatabase.h"
#include "ProgramUnderTest.h"
#include "app/AppPaths.h"
#include "app/Application.h"
#include "map/ScriptCommands.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"
#include "ui/coorposunit.h"

#include <QFile>
#include <QTest>
#include <sqlite3.h>

namespace {

const QString bubbleText =
    QStringLiteral("document.querySelector('.leaflet-popup-content').textContent");

const QString creditText =
    QStringLiteral("document.querySelector('.leaflet-control-attribution').textContent");

// Read once, when the program makes its browser control.
const QString iniCredit =
    QStringLiteral("Tiles <img src=x onerror=\"window.__pwned='ini'\"> &copy; "
                   "<a href=\"https://tiles.example/\">Tile Co</a>");
const QString iniCreditShown =
    QStringLiteral("Tiles <img src=x onerror=\"window.__pwned='ini'\"> \u00a9 Tile Co");
const QString startupFileCredit = QStringLiteral("<svg onload=\"window.__pwned='startup'\"></svg>");

// A raster map file of one tile whose name and credit line are the text.
void writeMapFile(const QString& path, const QString& text) {
    QFile::remove(path);
    QVERIFY(mbtilesfixture::writeMbtiles(path, QStringLiteral("png"), {{0, 0, 0, "tile"}}, 0));
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    for (const char* sql : {"UPDATE metadata SET value = ?1 WHERE name = 'name'",
                            "INSERT INTO metadata VALUES ('attribution', ?1)"}) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(statement, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        const int stepped = sqlite3_step(statement);
        sqlite3_finalize(statement);
        QCOMPARE(stepped, SQLITE_DONE);
    }
    sqlite3_close(db);
}

} // namespace

class TestMarkupInjection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void textShowsLiterally_data();
    void textShowsLiterally();
    void startupCreditsShowLiterally();
    void mapFileCreditsShowLiterally_data();
    void mapFileCreditsShowLiterally();

private:
    QVariant js(const QString& expression);
    QString openBubble();
    void verifyNothingRan();
    void reloadMap();
    void verifyCreditShows(const QString& shown, const QStringList& links);

    std::unique_ptr<ProgramUnderTest> program_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<MessageBoxWatcher> boxes_;
};

void TestMarkupInjection::initTestCase() {
    writeMapFile(besideExecutable(QStringLiteral("startup.mbtiles")), startupFileCredit);
    QFile ini(besideExecutable(QStringLiteral("tavirelmonkas.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[General]\r\nGoogleMapKey=\r\n"
              "TileUrl=\"pelmor://maps.pelmor/no-tiles/{z}/{x}/{y}.png\"\r\n"
              "TileAttribution=" +
              iniCredit.toUtf8() + "\r\nMapFile=startup.mbtiles\r\n");
    ini.close();
    program_ = std::make_unique<ProgramUnderTest>();
    db_ = std::make_unique<TestDatabase>(program_->databasePath());
    db_->createSchema().addProject(1, "North").addMember(1, 10).addPerson(10, "Ann", "Lee", 7);
    boxes_ = std::make_unique<MessageBoxWatcher>();
    program_->start();
    program_->loadMap();
    QTRY_COMPARE(program_->browser().readyState(), 4);
    program_->selectRadios({7});
}

void TestMarkupInjection::cleanupTestCase() {
    boxes_.reset();
    db_.reset();
    program_.reset();
    QFile::remove(besideExecutable(QStringLiteral("tavirelmonkas.ini")));
    QFile::remove(besideExecutable(QStringLiteral("startup.mbtiles")));
}

// Whatever an injected script or handler would do, it would leave a flag.
void TestMarkupInjection::init() {
    js(QStringLiteral("delete window.__pwned;"
                      "window.alert = function (text) { window.__pwned = 'alert ' + text; };"));
}

QVariant TestMarkupInjection::js(const QString& expression) {
    return evaluateInPage(program_->browser().page(), expression);
}

QString TestMarkupInjection::openBubble() {
    js(QStringLiteral("document.querySelector('.leaflet-marker-icon')"
                      ".dispatchEvent(new MouseEvent('click', {bubbles: true}))"));
    if (!QTest::qWaitFor([this] {
            return js(QStringLiteral("document.querySelector('.leaflet-popup-content') !== null"))
                .toBool();
        }))
        return QString();
    return js(bubbleText).toString();
}

void TestMarkupInjection::verifyNothingRan() {
    // An image's error handler runs once its load has failed: give it time.
    QTest::qWait(300);
    QCOMPARE(js(QStringLiteral("String(window.__pwned)")).toString(), QStringLiteral("undefined"));
    QCOMPARE(countInPage(program_->browser().page(), QStringLiteral(".leaflet-popup-content img")),
             0);
    QCOMPARE(countInPage(program_->browser().page(),
                         QStringLiteral(".leaflet-popup-content #infowindowdiv")),
             1);
    QVERIFY2(boxes_->boxes().isEmpty(), qPrintable(boxes_->texts().join(u'\n')));
}

void TestMarkupInjection::textShowsLiterally_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("quotes") << QStringLiteral("Depot \"North\" 'South'");
    QTest::newRow("backslashes") << QStringLiteral("C:\\new\\table\\\" \\\\");
    QTest::newRow("line breaks") << QStringLiteral("first line\nsecond line\n");
    QTest::newRow("line and paragraph separators") << QStringLiteral("a\u2028b\u2029c");
    QTest::newRow("closing div") << QStringLiteral("</div><div id=\"infowindowdiv\">after");
    QTest::newRow("image error handler")
        << QStringLiteral("<img src=x onerror=\"window.__pwned='img'\">");
    QTest::newRow("script element")
        << QStringLiteral("</div><script>window.__pwned='script'</script>");
    QTest::newRow("leaving the string") << QStringLiteral("\");alert(1);(\"");
    QTest::newRow("escaped quote") << QStringLiteral("\\\");window.__pwned='escape';//");
    QTest::newRow("entities") << QStringLiteral("&lt;b&gt; &amp; &#60;");
}

// The station name through the whole program: database, view, page; the
// radio id, which the view only shows for a record whose id reads as the
// selected number, through the same bubble and marker command.
void TestMarkupInjection::textShowsLiterally() {
    QFETCH(QString, text);
    db_->addReport(7, QStringLiteral("2024-03-01 10:00:00"), QStringLiteral("41.000000"),
                   QStringLiteral("29.000000"), text);
    program_->runHandler("ToolButton1Click");
    QCOMPARE(program_->window().statusText(), QStringLiteral("Record found"));
    QTRY_COMPARE(program_->markerCount(), 1);
    const QString station = openBubble();
    QVERIFY2(station.contains(QStringLiteral("Station: ") + text + QStringLiteral("Time: ")),
             qPrintable(station));
    verifyNothingRan();

    program_->browser().runScriptCommand(ScriptCommands::clearScreen());
    program_->browser().runScriptCommand(ScriptCommands::addMarker(
        QStringLiteral("41.0,29.0"),
        ScriptCommands::infoWindowHtml(text, QStringLiteral("Base"), QStringLiteral("10:00"))));
    const QString radio = openBubble();
    QVERIFY2(radio.contains(QStringLiteral("Radio ID: ") + text + QStringLiteral("Station: Base")),
             qPrintable(radio));
    verifyNothingRan();
}

// The map page made anew, with the credit lines it starts with.
void TestMarkupInjection::reloadMap() {
    program_->loadMap();
    QTRY_VERIFY(
        js(QStringLiteral("typeof GoogleMap !== 'undefined' && "
                          "GMap2.fromContainer(document.getElementById('Canvas')) !== null"))
            .toBool());
}

// The credit line holds the text as it is shown and links only to the
// addresses given, each an element of its own with nothing that runs.
void TestMarkupInjection::verifyCreditShows(const QString& shown, const QStringList& links) {
    QTRY_VERIFY2(js(creditText).toString().contains(shown), qPrintable(js(creditText).toString()));
    QTest::qWait(300);
    QCOMPARE(js(QStringLiteral("String(window.__pwned)")).toString(), QStringLiteral("undefined"));
    QCOMPARE(countInPage(program_->browser().page(),
                         QStringLiteral(".leaflet-control-attribution *:not(a)")),
             0);
    const QStringList shownLinks =
        js(QStringLiteral("Array.from(document.querySelectorAll('.leaflet-control-attribution a'),"
                          " function (a) { return a.href; })"))
            .toStringList();
    for (const QString& link : links)
        QVERIFY2(shownLinks.contains(link), qPrintable(shownLinks.join(u' ')));
    const QStringList attributes =
        js(QStringLiteral("Array.from(document.querySelectorAll('.leaflet-control-attribution a'),"
                          " function (a) { return a.getAttributeNames().sort().join(); })"))
            .toStringList();
    for (const QString& names : attributes)
        QCOMPARE(names, QStringLiteral("href,rel,target,title"));
    for (const QString& link : shownLinks)
        QVERIFY2(link.startsWith(QLatin1String("https://")) ||
                     link.startsWith(QLatin1String("http://")),
                 qPrintable(link));
    QVERIFY2(boxes_->boxes().isEmpty(), qPrintable(boxes_->texts().join(u'\n')));
}

// TileAttribution and the credit of a file named by MapFile, both read at
// start-up, on a page made after the flag was cleared.
void TestMarkupInjection::startupCreditsShowLiterally() {
    reloadMap();
    verifyCreditShows(iniCreditShown, {QStringLiteral("https://tiles.example/")});
    verifyCreditShows(startupFileCredit, {});
}

void TestMarkupInjection::mapFileCreditsShowLiterally_data() {
    QTest::addColumn<QString>("credit");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("links");
    const auto literal = [](const char* name, const QString& text) {
        QTest::newRow(name) << text << text << QStringList();
    };
    literal("image error handler", QStringLiteral("<img src=x onerror=\"window.__pwned='img'\">"));
    literal("script element", QStringLiteral("</div><script>window.__pwned='script'</script>"));
    literal("script address",
            QStringLiteral("<a href=\"javascript:window.__pwned='link'\">script link</a>"));
    literal("local file address", QStringLiteral("<a href=\"file:///etc/passwd\">local</a>"));
    literal("quotes and backslashes", QStringLiteral("Depot \"North\" 'South' C:\\new\\ \\\""));
    QTest::newRow("a link's handler is dropped")
        << QStringLiteral("<a href=\"https://example.org/\" "
                          "onmouseover=\"window.__pwned='hover'\">Example Maps</a>")
        << QStringLiteral("Example Maps") << QStringList{QStringLiteral("https://example.org/")};
    QTest::newRow("character references stay text")
        << QStringLiteral("&lt;img src=x onerror=\"window.__pwned='ref'\"&gt; &copy;")
        << QStringLiteral("<img src=x onerror=\"window.__pwned='ref'\"> \u00a9") << QStringList();
}

// A file opened from the menu carries its name and credit line to the page at
// once.
void TestMarkupInjection::mapFileCreditsShowLiterally() {
    QFETCH(QString, credit);
    QFETCH(QString, shown);
    QFETCH(QStringList, links);
    const QString path = besideExecutable(
        QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-').replace(u'\'', u'-') +
        QStringLiteral(".mbtiles"));
    writeMapFile(path, credit);
    QCOMPARE(program_->browser().openMapFile(path), QString());
    verifyCreditShows(shown, links);
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);
    TestMarkupInjection test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_markupinjection.moc"
