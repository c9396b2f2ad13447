#include "ui/widgets/GradientSplitter.h"

#include <QChildEvent>
#include <QLinearGradient>
#include <QPainter>

namespace {

class GradientSplitterHandle : public QSplitterHandle {
public:
    GradientSplitterHandle(Qt::Orientation orientation, QSplitter* parent)
        : QSplitterHandle(orientation, parent) {
        setCursor(orientation == Qt::Horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const bool sideBySide = orientation() == Qt::Horizontal;
        const QRect area = rect();
        // The gradient runs across the handle's thickness, not along it.
        QLinearGradient gradient(area.topLeft(), sideBySide ? area.topRight() : area.bottomLeft());
        gradient.setColorAt(0, QColor(118, 134, 183));
        gradient.setColorAt(1, QColor(9, 61, 160));
        painter.fillRect(area, gradient);

        constexpr int dots = 5;
        constexpr int spacing = 4;
        const QPoint centre = area.center();
        for (int i = 0; i < dots; ++i) {
            const int offset = (i - dots / 2) * spacing;
            const QPoint dot = sideBySide ? QPoint(centre.x(), centre.y() + offset)
                                          : QPoint(centre.x() + offset, centre.y());
            painter.fillRect(QRect(dot, QSize(2, 2)), QColor(5, 30, 90));
            painter.fillRect(QRect(dot - QPoint(1, 1), QSize(2, 2)), QColor(235, 240, 250));
        }
    }
};

} // namespace

GradientSplitter::GradientSplitter(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
    setOpaqueResize(true);
    setChildrenCollapsible(false);
}

QSplitterHandle* GradientSplitter::createHandle() {
    return new GradientSplitterHandle(orientation(), this);
}

void GradientSplitter::childEvent(QChildEvent* event) {
    QSplitter::childEvent(event);
    // Only a polished child is fully built, so handles can be told from panes;
    // every pane is polished before the splitter first lays it out.
    QObject* child = event->child();
    if (!child->isWidgetType() || qobject_cast<QSplitterHandle*>(child))
        return;
    auto* pane = static_cast<QWidget*>(child);
    if (event->polished() || (event->added() && pane->testAttribute(Qt::WA_WState_Polished)))
        limitPane(pane);
}

// The splitter honours a pane's explicit minimum before its size hint: setting
// it makes the limit exactly minimumPaneSize whatever the pane holds (its
// content is clipped), unless the pane itself asks for more.
void GradientSplitter::limitPane(QWidget* pane) const {
    if (pane->isWindow())
        return;
    if (orientation() == Qt::Horizontal)
        pane->setMinimumWidth(qMax(minimumPaneSize, pane->minimumWidth()));
    else
        pane->setMinimumHeight(qMax(minimumPaneSize, pane->minimumHeight()));
}
