#include "app/Error.h"
#include "ui/alerts/AreasDialog.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

Q_DECLARE_METATYPE(std::vector<Area>)

class TestAreasDialog : public QObject {
    Q_OBJECT

private slots:
    void editsApplyAtOnce();
    void aCrossingPolygonIsNotKept();
};

void TestAreasDialog::editsApplyAtOnce() {
    AreasDialog dialog({Area::polygon("Yard", {{{0, 0}, {0, 1}, {1, 1}}})},
                       {{3, "North"}, {5, "South"}});
    QSignalSpy changed(&dialog, &AreasDialog::areasChanged);
    auto* table = dialog.findChild<QTableWidget*>("AreaTable");
    QCOMPARE(table->rowCount(), 1);

    dialog.addCircle("<b>Gate</b>", {41, 29}, 150);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(1, 0)->text(), "<b>Gate</b>");
    QCOMPARE(table->item(1, 1)->text(), "circle, 150 m");

    table->item(0, 0)->setText("Depot");
    table->item(1, 4)->setCheckState(Qt::Unchecked);
    dialog.setRuleOf(0, AreaRule::Enter);
    dialog.setRadiosOf(1, {AreaRadios::Kind::Project, 5, {}});
    QCOMPARE(changed.size(), 5);
    const std::vector<Area>& areas = dialog.areas();
    QCOMPARE(areas[0].name(), "Depot");
    QCOMPARE(areas[0].rule(), AreaRule::Enter);
    QVERIFY(!areas[1].isShown());
    // The rows show what was chosen.
    QCOMPARE(qobject_cast<QComboBox*>(table->cellWidget(0, 3))->currentText(), "on enter");
    QCOMPARE(qobject_cast<QComboBox*>(table->cellWidget(1, 2))->currentText(), "Project South");

    dialog.setRadiosOf(0, {AreaRadios::Kind::Members, 0, {12, 14}});
    QCOMPARE(qobject_cast<QComboBox*>(table->cellWidget(0, 2))->currentText(), "Radios 12, 14");

    // An empty name is not taken.
    table->item(0, 0)->setText("  ");
    QCOMPARE(dialog.areas()[0].name(), "Depot");
    QCOMPARE(table->item(0, 0)->text(), "Depot");

    dialog.deleteArea(0);
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(changed.takeLast().at(0).value<std::vector<Area>>().front().name(), "<b>Gate</b>");
}

void TestAreasDialog::aCrossingPolygonIsNotKept() {
    AreasDialog dialog({}, {});
    QSignalSpy changed(&dialog, &AreasDialog::areasChanged);
    QVERIFY_THROWS_EXCEPTION(Error, dialog.keepPolygon("bow", {{0, 0}, {1, 1}, {1, 0}, {0, 1}}));
    QVERIFY(dialog.areas().empty());
    QCOMPARE(changed.size(), 0);
}

QTEST_MAIN(TestAreasDialog)
#include "tst_areasdialog.moc"
