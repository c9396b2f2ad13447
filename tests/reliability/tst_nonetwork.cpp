// With the default configuration the page asks for nothing beyond the
// program's own scheme and local content.
#include "../support/MessageBoxWatcher.h"
#include "../support/PageScript.h"
#include "../support/TestDatabase.h"
#include "ProgramUnderTest.h"
#include "app/Application.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"
#include "ui/coorposunit.h"
#include "ui/widgets/DateTimePicker.h"

#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>

namespace {

// Sorts every request of the engine into the program's own and the others.
class RequestCounter : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        const QString scheme = url.scheme();
        if (scheme == QLatin1String(mapSchemeName()) || scheme == QLatin1String("file") ||
            scheme == QLatin1String("qrc") || scheme == QLatin1String("data"))
            ++local;
        else
            foreign.append(url.toString());
    }
    int local = 0;
    QStringList foreign;
};

} // namespace

class TestNoNetwork : public QObject {
    Q_OBJECT
private slots:
    void mapAndViewsStayLocal();
};

void TestNoNetwork::mapAndViewsStayLocal() {
    RequestCounter requests;
    QWebEngineProfile::defaultProfile()->setUrlRequestInterceptor(&requests);
    ProgramUnderTest program;
    TestDatabase db(program.databasePath());
    db.createSchema().addProject(1, "North").addMember(1, 10).addPerson(10, "Ann", "Lee", 7);
    const QDateTime start = QDateTime::currentDateTime().addSecs(-600);
    for (int i = 0; i < 5; ++i)
        db.addReport(7, start.addSecs(60 * i).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                     QStringLiteral("41.0%1").arg(10000 + 500 * i), QStringLiteral("29.010000"));
    MessageBoxWatcher boxes;
    program.start();
    // The map timer of start-up loads the page.
    QTRY_COMPARE_WITH_TIMEOUT(program.browser().readyState(), 4, 20000);
    program.selectRadios({7});

    program.runHandler("ToolButton1Click");
    QTRY_COMPARE(program.markerCount(), 1);
    evaluateInPage(program.browser().page(),
                   QStringLiteral("document.querySelector('.leaflet-marker-icon')"
                                  ".dispatchEvent(new MouseEvent('click', {bubbles: true}))"));
    QTRY_COMPARE(countInPage(program.browser().page(), QStringLiteral(".leaflet-popup")), 1);
    program.window().controls().DateTimePicker1->setValue(start.addDays(-1));
    program.runHandler("ToolButton2Click");
    QTRY_COMPARE(countInPage(program.browser().page(), QStringLiteral("path[stroke=\"#ff0000\"]")),
                 1);
    // Zoom and pan, which would fetch tiles from a tile server.
    evaluateInPage(program.browser().page(), QStringLiteral("GoogleMap.Render(41.0,29.0, 12);"));
    QTest::qWait(1000);

    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.texts().join(u'\n')));
    QVERIFY2(requests.foreign.isEmpty(), qPrintable(requests.foreign.join(u'\n')));
    QVERIFY(requests.local > 0); // the counter saw the page's own requests
    QWebEngineProfile::defaultProfile()->setUrlRequestInterceptor(nullptr);
}

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);
    TestNoNetwork test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_nonetwork.moc"
