#include "ui/widgets/OwnerDrawnTabWidget.h"

#include "ui/widgets/Fonts.h"

#include <QPainter>
#include <QTabBar>

namespace {

class OwnerDrawnTabBar : public QTabBar {
public:
    explicit OwnerDrawnTabBar(QWidget* parent)
        : QTabBar(parent) {
        setFont(arialFont(11));
        setFocusPolicy(Qt::NoFocus);
        setDrawBase(false);
        setExpanding(false);
    }

protected:
    QSize tabSizeHint(int index) const override {
        return {fontMetrics().horizontalAdvance(tabText(index)) + 2 * horizontalPadding,
                fontMetrics().height() + 2 * verticalPadding};
    }

    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QPalette& colours = palette();
        for (int index = 0; index < count(); ++index) {
            const bool selected = index == currentIndex();
            const QRect tab = tabRect(index).adjusted(0, 0, -1, -1);
            painter.setPen(colours.color(QPalette::Shadow));
            painter.setBrush(colours.color(selected ? QPalette::Button : QPalette::Dark));
            painter.drawRect(tab);
            painter.setPen(colours.color(selected ? QPalette::ButtonText : QPalette::Light));
            painter.drawText(tab, Qt::AlignCenter | Qt::TextSingleLine, tabText(index));
        }
    }

private:
    static constexpr int horizontalPadding = 10;
    static constexpr int verticalPadding = 4;
};

} // namespace

OwnerDrawnTabWidget::OwnerDrawnTabWidget(QWidget* parent)
    : QTabWidget(parent) {
    setTabBar(new OwnerDrawnTabBar(this));
    setFocusPolicy(Qt::NoFocus);
}
