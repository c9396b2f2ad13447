#include "alerts/Area.h"
#include "alerts/AreaFile.h"
#include "ui/alerts/AlertPanel.h"
#include "ui/alerts/AlertSound.h"
#include "ui/alerts/AreaMapCommands.h"
#include "ui/views/MarkerLabels.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace {

const QDateTime kStart(QDate(2026, 3, 1), QTime(8, 0));

Alert alertOf(Alert::Kind kind, qint32 radio, int minutes, const QString& area = QString()) {
    Alert alert;
    alert.kind = kind;
    alert.radio = radio;
    alert.area = area;
    alert.time = kStart.addSecs(minutes * 60);
    alert.position = GeoPoint{41.0123456, 28.9876543};
    alert.minutes = 10;
    return alert;
}

QStringList rowText(QTreeWidgetItem* item) {
    QStringList texts;
    for (int column = 0; column < 5; ++column)
        texts << item->text(column);
    return texts;
}

} // namespace

class TestAlertPanel : public QObject {
    Q_OBJECT

private slots:
    void listsNewestFirstAndBoldUntilAcknowledged();
    void soundRingsUntilEveryAlertIsAcknowledged();
    void doubleClickAsksToCentreOnTheReport();
    void exportsEveryAlertAsCsv();
    void mapCommandsNameTheMarkedRadiosAndTheShownAreas();
};

void TestAlertPanel::listsNewestFirstAndBoldUntilAcknowledged() {
    AlertPanel panel;
    panel.setMemberNames({{7, "Ann <b>Lee</b>"}});
    QSignalSpy marked(&panel, &AlertPanel::markedRadiosChanged);
    panel.addAlerts(
        {alertOf(Alert::Kind::Entered, 7, 1, "Yard"), alertOf(Alert::Kind::Silent, 8, 2)});
    auto* list = panel.findChild<QTreeWidget*>("AlertList");
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(rowText(list->topLevelItem(0)),
             (QStringList{"2026-03-01 08:02:00", "8", "", "silent: no report for 10 min", ""}));
    QCOMPARE(rowText(list->topLevelItem(1)),
             (QStringList{"2026-03-01 08:01:00", "7", "Ann <b>Lee</b>", "entered", "Yard"}));
    QVERIFY(list->topLevelItem(0)->font(0).bold());
    QCOMPARE(marked.takeLast().at(0).value<QSet<qint32>>(), (QSet<qint32>{7, 8}));

    // Its own button acknowledges the silent radio's alert only.
    auto* button = qobject_cast<QPushButton*>(list->itemWidget(list->topLevelItem(0), 5));
    QVERIFY(button);
    button->click();
    QVERIFY(!list->topLevelItem(0)->font(0).bold());
    QVERIFY(list->topLevelItem(1)->font(0).bold());
    QVERIFY(!list->itemWidget(list->topLevelItem(0), 5));
    QCOMPARE(marked.takeLast().at(0).value<QSet<qint32>>(), QSet<qint32>{7});

    panel.findChild<QPushButton*>("AcknowledgeAllAlerts")->click();
    QVERIFY(!list->topLevelItem(1)->font(0).bold());
    QVERIFY(marked.takeLast().at(0).value<QSet<qint32>>().isEmpty());
    QVERIFY(!panel.findChild<QPushButton*>("AcknowledgeAllAlerts")->isEnabled());

    // Later alerts take their places by time among the rows kept.
    panel.addAlerts({alertOf(Alert::Kind::Left, 7, 3, "Yard"), alertOf(Alert::Kind::Silent, 9, 0)});
    QStringList radios;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        radios << list->topLevelItem(row)->text(1);
    QCOMPARE(radios, (QStringList{"7", "8", "7", "9"}));
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const bool waiting = row == 0 || row == 3;
        QCOMPARE(list->topLevelItem(row)->font(0).bold(), waiting);
        QCOMPARE(list->itemWidget(list->topLevelItem(row), 5) != nullptr, waiting);
    }
    QVERIFY(panel.findChild<QPushButton*>("AcknowledgeAllAlerts")->isEnabled());
}

void TestAlertPanel::soundRingsUntilEveryAlertIsAcknowledged() {
    AlertPanel panel;
    QSignalSpy rang(&panel.sound(), &AlertSound::rang);
    QVERIFY(!panel.sound().isRepeating());
    panel.addAlerts({alertOf(Alert::Kind::Left, 7, 1, "Yard")});
    QCOMPARE(rang.size(), 1);
    QVERIFY(panel.sound().isRepeating());
    // Another alert rings again at once.
    panel.addAlerts({alertOf(Alert::Kind::Entered, 7, 2, "Gate")});
    QCOMPARE(rang.size(), 2);
    panel.acknowledge(panel.log().entries().front().serial);
    QVERIFY(panel.sound().isRepeating());
    panel.acknowledge(panel.log().entries().back().serial);
    QVERIFY(!panel.sound().isRepeating());
}

void TestAlertPanel::doubleClickAsksToCentreOnTheReport() {
    AlertPanel panel;
    panel.addAlerts({alertOf(Alert::Kind::Entered, 7, 1, "Yard")});
    QSignalSpy centre(&panel, &AlertPanel::centreRequested);
    auto* list = panel.findChild<QTreeWidget*>("AlertList");
    emit list->itemDoubleClicked(list->topLevelItem(0), 0);
    QCOMPARE(centre.size(), 1);
    QCOMPARE(centre.at(0).at(0).value<GeoPoint>(), (GeoPoint{41.0123456, 28.9876543}));
}

void TestAlertPanel::exportsEveryAlertAsCsv() {
    AlertPanel panel;
    panel.setMemberNames({{7, "=HYPERLINK(\"x\")"}});
    panel.addAlerts({alertOf(Alert::Kind::Entered, 7, 1, "Yard, north"),
                     alertOf(Alert::Kind::ReportingAgain, 7, 30)});
    panel.acknowledge(panel.log().entries().back().serial);
    QCOMPARE(panel.csv(),
             QByteArray("time,radio,member,what,area,latitude,longitude,acknowledged\r\n"
                        "2026-03-01 08:30:00,7,\"'=HYPERLINK(\"\"x\"\")\",reporting again after "
                        "10 min,,41.0123456,28.9876543,no\r\n"
                        "2026-03-01 08:01:00,7,\"'=HYPERLINK(\"\"x\"\")\",entered,\"Yard, "
                        "north\",41.0123456,28.9876543,yes\r\n"));
}

void TestAlertPanel::mapCommandsNameTheMarkedRadiosAndTheShownAreas() {
    const MarkerLabels labels{{{7, "Ann \"Lee\""}}, kStart, 10};
    QCOMPARE(AreaMapCommands::markRadios({12, 7}, labels),
             "GoogleMap.SetAlertedRadios([\"7 Ann \\\"Lee\\\"\", \"12\"]);");
    QCOMPARE(AreaMapCommands::markRadios({}, labels), "GoogleMap.SetAlertedRadios([]);");

    Area hidden = Area::circle("hidden", {1, 2}, 5);
    hidden.setShown(false);
    const std::vector<Area> areas{Area::polygon("Yard", {{{0, 0}, {0, 1}, {1, 1}}}),
                                  Area::circle("Gate", {41.5, 29.25}, 150), hidden};
    // The page gets the areas file's GeoJSON of the shown areas, on one line.
    const QString command = AreaMapCommands::showAreas(areas);
    const QString prefix = "GoogleMap.ShowAreas(";
    QVERIFY(command.startsWith(prefix) && command.endsWith(");") && !command.contains('\n'));
    const std::vector<Area> sent =
        AreaFile::parse(command.mid(prefix.size(), command.size() - prefix.size() - 2).toUtf8());
    QCOMPARE(sent.size(), 2u);
    QCOMPARE(sent[0].name(), "Yard");
    QCOMPARE(sent[0].rings(), areas[0].rings());
    QCOMPARE(sent[1].name(), "Gate");
    QCOMPARE(sent[1].centre(), areas[1].centre());
    QCOMPARE(sent[1].radiusMetres(), 150.0);
}

QTEST_MAIN(TestAlertPanel)
#include "tst_alertpanel.moc"
