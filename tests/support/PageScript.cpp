#include "PageScript.h"

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
