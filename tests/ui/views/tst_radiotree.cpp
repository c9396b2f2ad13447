#include "../../support/TestDatabase.h"
#include "store/Connection.h"
#include "store/SqliteTableReplica.h"
#include "store/TableCursor.h"
#include "ui/views/RadioTree.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using Ids = QList<qint32>;

class TestRadioTree : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void buildsProjectsMembersAndSkipsMissingPeople();
    void emptyProjectsGiveOnlyTheRoot();
    void checkingCascadesAndRebuildsSelection_data();
    void checkingCascadesAndRebuildsSelection();
    void idsPastTheLastEntryAreDropped();
    void memberNamesByRadio();
    void filterMembers_data();
    void filterMembers();

private:
    // Applies "path=1" / "path=0" steps like a user's clicks, in order.
    void apply(const QStringList& steps);
    QTreeWidgetItem* node(const QString& path) const;
    Ids selected(int count) const;

    QTemporaryDir dir_;
    Connection connection_;
    std::unique_ptr<QTreeWidget> view_;
    std::unique_ptr<RadioTree> tree_;
    std::unique_ptr<TableCursor> projects_, members_, personnel_;
};

void TestRadioTree::init() {
    const QString path = dir_.filePath("tree.db");
    QFile::remove(path);
    TestDatabase(path)
        .createSchema()
        .addProject(1, "North")
        .addProject(2, "South")
        .addProject(3, "15")
        .addProject(4, "Empty")
        .addMember(1, 10)
        .addMember(1, 11)
        .addMember(1, 99) // points at no person
        .addMember(2, 11) // the same person in a second project
        .addMember(2, 12)
        .addMember(2, 13)
        .addPerson(10, "Ann", "Lee", 12)
        .addPerson(11, "Bob", "Kay", 7)
        .addPerson(12, "Cem", "Ak", 0)
        .addPerson(13, "Dan", "Oz", -3);
    connection_.open(path);
    projects_ = std::make_unique<TableCursor>(sqliteReplica(connection_, "projects"));
    members_ = std::make_unique<TableCursor>(sqliteReplica(connection_, "project_members"));
    personnel_ = std::make_unique<TableCursor>(sqliteReplica(connection_, "personel_team"));
    view_ = std::make_unique<QTreeWidget>();
    tree_ = std::make_unique<RadioTree>(view_.get());
    connect(view_.get(), &QTreeWidget::itemChanged, tree_.get(), &RadioTree::nodeCheckedChange);
    tree_->build(*projects_, *members_, *personnel_);
}

void TestRadioTree::cleanup() {
    tree_.reset();
    view_.reset();
    projects_.reset();
    members_.reset();
    personnel_.reset();
    connection_.close();
}

QTreeWidgetItem* TestRadioTree::node(const QString& path) const {
    QTreeWidgetItem* current = view_->topLevelItem(0);
    const QStringList parts = path.split('/');
    for (const QString& part : parts.mid(1)) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < current->childCount() && !next; ++i)
            if (current->child(i)->text(0) == part)
                next = current->child(i);
        if (!next)
            qFatal("no node %s", qPrintable(path));
        current = next;
    }
    return current;
}

void TestRadioTree::apply(const QStringList& steps) {
    for (const QString& step : steps) {
        const QStringList parts = step.split('=');
        node(parts[0])->setCheckState(0, parts[1] == "1" ? Qt::Checked : Qt::Unchecked);
    }
}

Ids TestRadioTree::selected(int count) const {
    Ids ids;
    for (int entry = 1; entry <= count; ++entry)
        ids << tree_->selectedRadios()[entry];
    return ids;
}

void TestRadioTree::buildsProjectsMembersAndSkipsMissingPeople() {
    QCOMPARE(view_->topLevelItemCount(), 1);
    QTreeWidgetItem* root = view_->topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("Projects"));
    QStringList texts;
    for (int p = 0; p < root->childCount(); ++p) {
        texts << root->child(p)->text(0);
        for (int m = 0; m < root->child(p)->childCount(); ++m)
            texts << "  " + root->child(p)->child(m)->text(0);
    }
    QCOMPARE(texts, QStringList({"North", "  12-Ann Lee", "  7-Bob Kay", "South", "  7-Bob Kay",
                                 "  0-Cem Ak", "  -3-Dan Oz", "15", "Empty"}));
    QVERIFY(!root->isExpanded());
    QCOMPARE(root->checkState(0), Qt::Unchecked);
}

void TestRadioTree::emptyProjectsGiveOnlyTheRoot() {
    TestDatabase(dir_.filePath("tree.db")).exec("DELETE FROM projects");
    tree_->build(*projects_, *members_, *personnel_);
    QCOMPARE(view_->topLevelItem(0)->childCount(), 0);
    apply({"Projects=1"});
    QCOMPARE(selected(3), Ids({0, 0, 0}));
}

void TestRadioTree::checkingCascadesAndRebuildsSelection_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<Ids>("expected");
    QTest::newRow("nothing checked") << QStringList() << Ids{0, 0};
    // Radio 0 is stored as 0, a negative id never enters, project "15" counts as radio 15.
    QTest::newRow("root checks every member in order")
        << QStringList{"Projects=1"} << Ids{12, 7, 7, 0, 15, 0};
    QTest::newRow("one project") << QStringList{"Projects/North=1"} << Ids{12, 7, 0};
    QTest::newRow("uncheck one member under a checked project")
        << QStringList{"Projects/North=1", "Projects/North/12-Ann Lee=0"} << Ids{7, 0};
    QTest::newRow("already checked project is not descended into")
        << QStringList{"Projects/North=1", "Projects/North/12-Ann Lee=0", "Projects=1"}
        << Ids{7, 7, 0, 15, 0};
    QTest::newRow("same person in two projects")
        << QStringList{"Projects/North/7-Bob Kay=1", "Projects/South/7-Bob Kay=1"} << Ids{7, 7, 0};
    QTest::newRow("negative radio id never enters")
        << QStringList{"Projects/South/-3-Dan Oz=1"} << Ids{0};
    QTest::newRow("unchecking the root clears all")
        << QStringList{"Projects=1", "Projects=0"} << Ids{0, 0};
}

void TestRadioTree::checkingCascadesAndRebuildsSelection() {
    QFETCH(QStringList, steps);
    QFETCH(Ids, expected);
    apply(steps);
    QCOMPARE(selected(expected.size()), expected);
}

void TestRadioTree::idsPastTheLastEntryAreDropped() {
    SelectedRadios radios;
    QStringList texts;
    for (int i = 1; i <= 1100; ++i)
        texts << QString::number(i) + "-Person";
    radios.rebuild(texts);
    QCOMPARE(radios[1024], 1024);
    QCOMPARE(radios[1], 1);
    QCOMPARE(radios.firstRadio(), 1);
}

// Checked or not, once per radio; project nodes and ids that do not read are
// no members.
void TestRadioTree::memberNamesByRadio() {
    apply({"Projects/North/7-Bob Kay=1"});
    const QHash<qint32, QString> expected{{12, "Ann Lee"}, {7, "Bob Kay"}, {0, "Cem Ak"}};
    QCOMPARE(tree_->memberNames(), expected);
    QTreeWidgetItem* north = view_->topLevelItem(0)->child(0);
    QCOMPARE(RadioTree::radioOf(north->child(1)), std::optional<qint32>(7));
    QCOMPARE(RadioTree::radioOf(north), std::nullopt);
    QCOMPARE(RadioTree::radioOf(view_->topLevelItem(0)), std::nullopt);
    QCOMPARE(RadioTree::radioOf(view_->topLevelItem(0)->child(1)->child(3)), std::nullopt);
}

void TestRadioTree::filterMembers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown"); // projects and members, in tree order
    const QStringList all{"North",    "12-Ann Lee", "7-Bob Kay", "South", "7-Bob Kay",
                          "0-Cem Ak", "-3-Dan Oz",  "15",        "Empty"};
    QTest::newRow("empty shows all") << "" << all;
    QTest::newRow("blanks show all") << "  " << all;
    QTest::newRow("id prefix") << "1" << QStringList{"North", "12-Ann Lee"};
    QTest::newRow("name, any case")
        << "kAY" << QStringList{"North", "7-Bob Kay", "South", "7-Bob Kay"};
    QTest::newRow("surname") << " oz " << QStringList{"South", "-3-Dan Oz"};
    QTest::newRow("no match hides every project") << "zebra" << QStringList();
}

// Hidden members keep their boxes, and the selection stays.
void TestRadioTree::filterMembers() {
    QFETCH(QString, text);
    QFETCH(QStringList, shown);
    apply({"Projects/North=1"});
    tree_->filterMembers(text);
    QStringList visible;
    for (QTreeWidgetItemIterator it(view_.get()); *it; ++it)
        if ((*it)->parent() && !(*it)->isHidden() && !(*it)->parent()->isHidden())
            visible << (*it)->text(0);
    QCOMPARE(visible, shown);
    QCOMPARE(selected(3), Ids({12, 7, 0}));
    QCOMPARE(node("Projects/North/12-Ann Lee")->checkState(0), Qt::Checked);
    tree_->filterMembers(QString());
    QCOMPARE(view_->topLevelItem(0)->child(0)->isHidden(), false);
}

QTEST_MAIN(TestRadioTree)
#include "tst_radiotree.moc"
