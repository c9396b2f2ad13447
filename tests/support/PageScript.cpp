#include "PageScript.h"

#include "map/browser/MapPage.h"
#include "map/browser/TWebBrowser.h"

#include <QDir>
#include <QTest>
#include <QWebEnginePage>

QVariant evaluateInPage(QWebEnginePage* page, const QString& expression) {
    auto answer = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(expression, [answer](const QVariant& value) { *answer = value; });
    if (!QTest::qWaitFor([&] { return answer->has_value(); }, 10000))
        QTest::qFail("the page gave no answer", __FILE__, __LINE__);
    return answer->value_or(QVariant());
}

int countInPage(QWebEnginePage* page, const QString& selector) {
    return evaluateInPage(page,
                          QStringLiteral("document.querySelectorAll('%1').length").arg(selector))
        .toInt();
}

void loadMapPage(TWebBrowser& browser, const QString& folder) {
    const QString path = QDir(folder).filePath(QStringLiteral("pelmormapsview.html"));
    startPageFile(path);
    for (const QString& line : mapPageLines(QString(), browser.width(), browser.height()))
        appendPageLine(path, line);
    browser.navigate(path);
    QTRY_COMPARE(browser.readyState(), int(TWebBrowser::Complete));
    QTRY_VERIFY(
        evaluateInPage(browser.page(), QStringLiteral("typeof GoogleMap !== 'undefined' && "
                                                      "GMap2.fromContainer(document.getElementById("
                                                      "'Canvas')) !== null"))
            .toBool());
}
