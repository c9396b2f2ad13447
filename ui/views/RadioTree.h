#pragma once

#include "ui/views/SelectedRadios.h"

#include <QHash>
#include <QObject>
#include <optional>
#include <utility>

class QTreeWidget;
class QTreeWidgetItem;
class TableCursor;

// The check-box tree of projects and their members, and the selection it
// keeps current: every box change cascades to the node's subtree and
// rebuilds the selected radios.
class RadioTree : public QObject {
    Q_OBJECT
public:
    explicit RadioTree(QTreeWidget* view, QObject* parent = nullptr);

    const SelectedRadios& selectedRadios() const { return selected_; }

    // "Projects", one node per project, under it "<radio>-<name> <surname>"
    // per member. Nodes added before an error stay.
    void build(TableCursor& projects, TableCursor& members, TableCursor& personnel);

    void nodeCheckedChange(QTreeWidgetItem* node);

    // The members' names by radio id, from the text after the first "-" of
    // each member node, checked or not; the first node of a radio wins.
    QHash<qint32, QString> memberNames() const;

    // The projects as the tree lists them: id and name.
    QList<std::pair<qint32, QString>> projects() const;
    // The ids of the projects each radio is a member of.
    QHash<qint32, QList<qint32>> projectsOfRadios() const;

    // The radio id of a member node, the text before its first "-"; none for
    // the root, the projects and a text that does not read as an id.
    static std::optional<qint32> radioOf(const QTreeWidgetItem* node);

    // Shows only the members whose radio id starts with the text or whose
    // name holds it, ignoring case, and the projects holding one; an empty
    // text shows all. Check states and the selection stay as they are.
    void filterMembers(const QString& text);

private:
    void addMembers(QTreeWidgetItem* projectNode, qint32 projectId, TableCursor& members,
                    TableCursor& personnel);
    QStringList checkedTextsInPreorder() const;

    QTreeWidget* view_;
    SelectedRadios selected_;
};
