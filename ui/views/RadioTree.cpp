#include "ui/views/RadioTree.h"

#include "store/TableCursor.h"

#include <QSignalBlocker>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

constexpr int kProjectIdRole = Qt::UserRole;

QTreeWidgetItem* appendNode(QTreeWidgetItem* parent, const QString& text) {
    auto* node = new QTreeWidgetItem(parent, {text});
    node->setCheckState(0, Qt::Unchecked);
    return node;
}

void filterOn(TableCursor& cursor, const QString& filter) {
    cursor.applyFilter(filter);
    cursor.first();
}

} // namespace

RadioTree::RadioTree(QTreeWidget* view, QObject* parent)
    : QObject(parent)
    , view_(view) {}

void RadioTree::build(TableCursor& projects, TableCursor& members, TableCursor& personnel) {
    // Building adds unchecked nodes: nothing to notify.
    const QSignalBlocker blocker(view_);
    view_->clear();
    auto* root = new QTreeWidgetItem(view_, {QStringLiteral("Projects")});
    root->setCheckState(0, Qt::Unchecked);

    members.open();
    projects.open();
    personnel.open();
    for (projects.first(); !projects.atEnd(); projects.next()) {
        QTreeWidgetItem* projectNode =
            appendNode(root, projects.fieldAsText(QStringLiteral("project_name")));
        const qint32 projectId = projects.fieldAsInteger(QStringLiteral("id"));
        projectNode->setData(0, kProjectIdRole, projectId);
        addMembers(projectNode, projectId, members, personnel);
    }
}

void RadioTree::addMembers(QTreeWidgetItem* projectNode, qint32 projectId, TableCursor& members,
                           TableCursor& personnel) {
    filterOn(members, QStringLiteral("project_id=") + QString::number(projectId));
    for (; !members.atEnd(); members.next()) {
        const qint32 personId = members.fieldAsInteger(QStringLiteral("personel_team_id"));
        filterOn(personnel, QStringLiteral("id=") + QString::number(personId));
        for (; !personnel.atEnd(); personnel.next()) {
            appendNode(
                projectNode,
                QString::number(personnel.fieldAsInteger(QStringLiteral("radio_short_id_gps"))) +
                    QLatin1Char('-') + personnel.fieldAsText(QStringLiteral("name")) +
                    QLatin1Char(' ') + personnel.fieldAsText(QStringLiteral("surname")));
        }
    }
}

void RadioTree::nodeCheckedChange(QTreeWidgetItem* node) {
    // A child that already shows the state raises nothing and its subtree is
    // not visited; one that changes notifies at once, nested.
    const Qt::CheckState state = node->checkState(0);
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        if (child->checkState(0) != state)
            child->setCheckState(0, state);
    }
    selected_.rebuild(checkedTextsInPreorder());
}

QStringList RadioTree::checkedTextsInPreorder() const {
    QStringList texts;
    for (QTreeWidgetItemIterator it(view_, QTreeWidgetItemIterator::Checked); *it; ++it)
        texts << (*it)->text(0);
    return texts;
}

std::optional<qint32> RadioTree::radioOf(const QTreeWidgetItem* node) {
    if (!node || !node->parent() || !node->parent()->parent())
        return std::nullopt;
    const QString text = node->text(0);
    const qsizetype dash = text.indexOf(u'-');
    bool isNumber = false;
    const qint32 radio = text.left(dash).toInt(&isNumber, 10);
    if (dash <= 0 || !isNumber)
        return std::nullopt;
    return radio;
}

QHash<qint32, QString> RadioTree::memberNames() const {
    QHash<qint32, QString> names;
    for (QTreeWidgetItemIterator it(view_); *it; ++it) {
        const std::optional<qint32> radio = radioOf(*it);
        if (radio && !names.contains(*radio)) {
            const QString text = (*it)->text(0);
            names.insert(*radio, text.mid(text.indexOf(u'-') + 1));
        }
    }
    return names;
}

QList<std::pair<qint32, QString>> RadioTree::projects() const {
    QList<std::pair<qint32, QString>> list;
    if (const QTreeWidgetItem* root = view_->topLevelItem(0)) {
        for (int p = 0; p < root->childCount(); ++p)
            list.append({root->child(p)->data(0, kProjectIdRole).toInt(), root->child(p)->text(0)});
    }
    return list;
}

QHash<qint32, QList<qint32>> RadioTree::projectsOfRadios() const {
    QHash<qint32, QList<qint32>> projectsOf;
    const QTreeWidgetItem* root = view_->topLevelItem(0);
    for (int p = 0; root && p < root->childCount(); ++p) {
        const QTreeWidgetItem* project = root->child(p);
        const qint32 projectId = project->data(0, kProjectIdRole).toInt();
        for (int m = 0; m < project->childCount(); ++m) {
            const std::optional<qint32> radio = radioOf(project->child(m));
            if (radio && !projectsOf[*radio].contains(projectId))
                projectsOf[*radio].append(projectId);
        }
    }
    return projectsOf;
}

void RadioTree::filterMembers(const QString& text) {
    const QString wanted = text.trimmed();
    QTreeWidgetItem* root = view_->topLevelItem(0);
    if (!root)
        return;
    for (int p = 0; p < root->childCount(); ++p) {
        QTreeWidgetItem* project = root->child(p);
        bool anyShown = false;
        for (int m = 0; m < project->childCount(); ++m) {
            QTreeWidgetItem* member = project->child(m);
            const QString nodeText = member->text(0);
            const qsizetype dash = nodeText.indexOf(u'-');
            const bool shown = wanted.isEmpty() ||
                               nodeText.left(dash).startsWith(wanted, Qt::CaseInsensitive) ||
                               nodeText.mid(dash + 1).contains(wanted, Qt::CaseInsensitive);
            member->setHidden(!shown);
            anyShown = anyShown || shown;
        }
        project->setHidden(!wanted.isEmpty() && !anyShown);
    }
}
