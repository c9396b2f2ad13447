// Station names and radio ids that look like markup or script reach the
// bubble as plain text, and nothing in them runs.
#include "../support/MessageBoxWatcher.h"
#include "../support/PageScript.h"
#include "../support/TestDatabase.h"
#include "ProgramUnderTest.h"
#include "app/Application.h"
#include "map/ScriptCommands.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"
#include "ui/coorposunit.h"

#include <QTest>

namespace {

const QString bubbleText =
    QStringLiteral("document.querySelector('.leaflet-popup-content').textContent");

} // namespace

class TestMarkupInjection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void textShowsLiterally_data();
    void textShowsLiterally();

private:
    QVariant js(const QString& expression);
    QString openBubble();
    void verifyNothingRan();

    std::unique_ptr<ProgramUnderTest> program_;
    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<MessageBoxWatcher> boxes_;
};

void TestMarkupInjection::initTestCase() {
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

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);
    TestMarkupInjection test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_markupinjection.moc"
