#include "ProgramUnderTest.h"

#include "../support/PageScript.h"
#include "map/browser/TWebBrowser.h"
#include "ui/coorposunit.h"

#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

ProgramUnderTest::ProgramUnderTest() = default;

ProgramUnderTest::~ProgramUnderTest() {
    stop();
}

QString ProgramUnderTest::databasePath() const {
    return directory_.filePath(QStringLiteral("tavirelmonkas.db"));
}

void ProgramUnderTest::start() {
    window_ = std::make_unique<Tcoor_pos>();
    window_->resize(1200, 800);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void ProgramUnderTest::loadMap() {
    if (!window_->controls().initalize_map->isActive())
        window_->ToolButton3Click();
    QTRY_COMPARE_WITH_TIMEOUT(browser().readyState(), 4, 20000);
    QVERIFY(!window_->controls().initalize_map->isActive());
}

void ProgramUnderTest::stop() {
    window_.reset();
}

TWebBrowser& ProgramUnderTest::browser() const {
    return *window_->controls().WebBrowser1;
}

void ProgramUnderTest::selectRadios(const QList<int>& ids) {
    QList<int> wanted = ids;
    for (QTreeWidgetItemIterator it(window_->controls().JvTreeView1); *it; ++it) {
        QTreeWidgetItem* node = *it;
        if (node->childCount() > 0)
            continue;
        bool isRadio = false;
        const int radio = node->text(0).section(u'-', 0, 0).toInt(&isRadio);
        if (isRadio && wanted.removeOne(radio))
            node->setCheckState(0, Qt::Checked);
    }
    QVERIFY2(wanted.isEmpty(), "some radios have no node in the tree");
}

void ProgramUnderTest::runHandler(const char* slot) {
    bool ran = false;
    QMetaObject::invokeMethod(
        window_.get(),
        [this, slot, &ran] {
            const auto done = qScopeGuard([&ran] { ran = true; });
            QMetaObject::invokeMethod(window_.get(), slot, Qt::DirectConnection);
        },
        Qt::QueuedConnection);
    QVERIFY(QTest::qWaitFor([&ran] { return ran; }, 60000));
}

int ProgramUnderTest::markerCount() const {
    return countInPage(browser().page(), QStringLiteral(".leaflet-marker-icon"));
}
