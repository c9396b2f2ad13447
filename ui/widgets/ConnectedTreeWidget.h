#pragma once

#include <QColor>
#include <QTreeWidget>

// A tree whose nodes are joined by dotted lines to their parent and their
// next sibling, drawn in the system scroll-bar colour.
class ConnectedTreeWidget : public QTreeWidget {
    Q_OBJECT
public:
    using QTreeWidget::QTreeWidget;

    static inline const QColor lineColour{200, 200, 200};

protected:
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;
};
