#include "ui/about/SystemPropertiesDialog.h"
#include "ui/about/aboutunit.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

class TestAboutDialog : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void isAFixedDialogCentredOnTheScreen();
    void controlsSitWhereTheyBelong_data();
    void controlsSitWhereTheyBelong();
    void bannerKeepsItsSizeAndTextShowsOverIt();
    void okHasTheFocusAndTabVisitsBothButtons();
    void escapeDoesNotClose();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void everyOpeningIsAFreshDialog();
    void systemPropertiesOpenOnce();
};

namespace {

template <typename T> T* child(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// Shows a new dialog and waits until it is active, as Help > About does.
Tformabout* openDialog() {
    auto* dialog = new Tformabout;
    dialog->show();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog))
        qFatal("about dialog did not become active");
    return dialog;
}

void processDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

void TestAboutDialog::cleanup() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<Tformabout*>(window))
            delete window;
}

void TestAboutDialog::isAFixedDialogCentredOnTheScreen() {
    Tformabout* dialog = openDialog();
    QCOMPARE(dialog->windowTitle(), QString("About"));
    QCOMPARE(dialog->size(), QSize(480, 272));
    QCOMPARE(dialog->minimumSize(), QSize(480, 272));
    QCOMPARE(dialog->maximumSize(), QSize(480, 272));

    const Qt::WindowFlags flags = dialog->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));

    const QPoint screenCentre = dialog->screen()->availableGeometry().center();
    const QPoint offset = dialog->geometry().center() - screenCentre;
    QVERIFY2(offset.manhattanLength() <= 1,
             qPrintable(QString("%1,%2").arg(offset.x()).arg(offset.y())));
}

void TestAboutDialog::controlsSitWhereTheyBelong_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // an empty size: fitted to the text
    QTest::addColumn<QString>("text");
    QTest::newRow("panel") << "JvPanel1" << QRect(8, 8, 465, 257) << "";
    QTest::newRow("banner") << "Image1" << QRect(15, 20, 425, 105) << "";
    QTest::newRow("title") << "Label2" << QRect(32, 144, 0, 0)
                           << "DOZ Uvurovivava dozi Revezo Zuro";
    QTest::newRow("release") << "Label3" << QRect(34, 176, 0, 0) << "Release 4.3";
    QTest::newRow("rights") << "Label1" << QRect(266, 96, 0, 0) << "";
    QTest::newRow("company") << "Label4" << QRect(266, 112, 0, 0) << "";
    QTest::newRow("system properties")
        << "Button3" << QRect(32, 216, 113, 25) << "System Properties";
    QTest::newRow("ok") << "Button1" << QRect(350, 216, 75, 25) << "OK";
}

void TestAboutDialog::controlsSitWhereTheyBelong() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    Tformabout dialog;
    auto* control = dialog.findChild<QWidget*>(name);
    QVERIFY(control);
    if (geometry.isEmpty()) {
        QCOMPARE(control->pos(), geometry.topLeft());
        QCOMPARE(control->size(), control->sizeHint());
    } else {
        QCOMPARE(control->geometry(), geometry);
    }
    if (auto* label = qobject_cast<QLabel*>(control); label && label->pixmap().isNull()) {
        QVERIFY(!label->text().isEmpty());
        if (!text.isEmpty())
            QCOMPARE(label->text(), text);
    }
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        QCOMPARE(button->text(), text);
        QVERIFY(!button->isDefault());
    }
}

void TestAboutDialog::bannerKeepsItsSizeAndTextShowsOverIt() {
    Tformabout dialog;
    auto* banner = child<QLabel>(&dialog, "Image1");
    QCOMPARE(banner->pixmap().size(), QSize(404, 100));
    QCOMPARE(banner->alignment(), Qt::AlignLeft | Qt::AlignTop);
    QVERIFY(!banner->hasScaledContents());

    // The rights and company lines lie over the banner without a background
    // of their own: their letters show, and so does the banner between them.
    auto* panel = child<QWidget>(&dialog, "JvPanel1");
    const QImage shot = panel->grab().toImage();
    for (const char* name : {"Label1", "Label4"}) {
        auto* label = child<QLabel>(&dialog, name);
        QVERIFY(!label->autoFillBackground());
        int ink = 0;
        const QRect area = label->geometry() & banner->geometry();
        QVERIFY(!area.isEmpty());
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                ink += qGray(shot.pixel(x, y)) < 90;
        QVERIFY2(ink > 20, name);
    }
}

void TestAboutDialog::okHasTheFocusAndTabVisitsBothButtons() {
    Tformabout* dialog = openDialog();
    auto* ok = child<QPushButton>(dialog, "Button1");
    auto* systemProperties = child<QPushButton>(dialog, "Button3");
    QCOMPARE(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), systemProperties);
    QTest::keyClick(systemProperties, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ok);
    QTest::keyClick(ok, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), systemProperties);
}

void TestAboutDialog::escapeDoesNotClose() {
    QPointer<Tformabout> dialog = openDialog();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    processDeferredDeletes();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
}

void TestAboutDialog::enterPressesTheFocusedButton_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("return") << Qt::Key_Return;
    QTest::newRow("enter") << Qt::Key_Enter;
}

void TestAboutDialog::enterPressesTheFocusedButton() {
    QFETCH(Qt::Key, key);
    QPointer<Tformabout> dialog = openDialog();
    auto* systemPropertiesButton = child<QPushButton>(dialog, "Button3");
    systemPropertiesButton->setFocus();
    QTest::keyClick(systemPropertiesButton, key);
    QVERIFY(dialog->findChild<SystemPropertiesDialog*>());
    QVERIFY(dialog->isVisible());

    QTest::keyClick(child<QPushButton>(dialog, "Button1"), key);
    processDeferredDeletes();
    QVERIFY(!dialog);
}

void TestAboutDialog::everyOpeningIsAFreshDialog() {
    QPointer<Tformabout> first = new Tformabout;
    // Closing through the close box while the modal loop runs, as a user would.
    QTimer::singleShot(0, first, [&first] {
        child<QPushButton>(first, "Button3")->setFocus();
        first->close();
    });
    first->exec();
    processDeferredDeletes();
    QVERIFY(!first);

    Tformabout* second = openDialog();
    QCOMPARE(QApplication::focusWidget(), child<QPushButton>(second, "Button1"));
    QVERIFY(!second->findChild<SystemPropertiesDialog*>());
}

void TestAboutDialog::systemPropertiesOpenOnce() {
    Tformabout* dialog = openDialog();
    auto* button = child<QPushButton>(dialog, "Button3");
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    const QList<SystemPropertiesDialog*> opened = dialog->findChildren<SystemPropertiesDialog*>();
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened.first()->isVisible());
    QCOMPARE(opened.first()->windowTitle(), QString("System Properties"));

    // It closes with the about dialog.
    QPointer<SystemPropertiesDialog> properties = opened.first();
    dialog->close();
    processDeferredDeletes();
    QVERIFY(!properties);
}

QTEST_MAIN(TestAboutDialog)
#include "tst_aboutdialog.moc"
