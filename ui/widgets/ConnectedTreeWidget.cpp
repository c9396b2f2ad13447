#include "ui/widgets/ConnectedTreeWidget.h"

#include <QPainter>

namespace {

bool hasNextSibling(const QModelIndex& index) {
    return index.sibling(index.row() + 1, 0).isValid();
}

} // namespace

void ConnectedTreeWidget::drawBranches(QPainter* painter, const QRect& rect,
                                       const QModelIndex& index) const {
    painter->save();
    painter->setPen(QPen(lineColour, 1, Qt::DotLine));
    const int step = indentation();
    const int middle = rect.center().y();
    // The rightmost column of the branch area belongs to the node itself,
    // each one further left to the next ancestor up.
    int column = rect.right() + 1 - step;
    int x = column + step / 2;
    painter->drawLine(x, middle, column + step, middle);
    painter->drawLine(x, rect.top(), x, hasNextSibling(index) ? rect.bottom() : middle);
    for (QModelIndex ancestor = index.parent(); ancestor.isValid() && column > rect.left();
         ancestor = ancestor.parent()) {
        column -= step;
        x = column + step / 2;
        if (hasNextSibling(ancestor))
            painter->drawLine(x, rect.top(), x, rect.bottom());
    }
    painter->restore();
    // The expand and collapse signs go over the lines.
    QTreeWidget::drawBranches(painter, rect, index);
}
