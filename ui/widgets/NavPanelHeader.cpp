#include "ui/widgets/NavPanelHeader.h"

#include <QPainter>
#include <QtMath>

namespace {

const QColor gradientTop(92, 131, 208);
const QColor gradientBottom(9, 59, 144);
constexpr int bandCount = 32;
constexpr int captionMargin = 4;

QColor blend(const QColor& from, const QColor& to, int step, int steps) {
    auto channel = [&](int a, int b) { return a + (b - a) * step / (steps - 1); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

} // namespace

NavPanelHeader::NavPanelHeader(const QString& caption, QWidget* parent)
    : QWidget(parent)
    , caption_(caption) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void NavPanelHeader::setCaption(const QString& caption) {
    caption_ = caption;
    updateGeometry();
    update();
}

void NavPanelHeader::setCaptionColor(const QColor& colour) {
    captionColor_ = colour;
    update();
}

QString NavPanelHeader::displayedCaption() const {
    return fontMetrics().elidedText(caption_, Qt::ElideRight, width() - 2 * captionMargin);
}

QSize NavPanelHeader::sizeHint() const {
    // Rounded up: the ellipsis test works on the unrounded advance.
    return {qCeil(QFontMetricsF(font()).horizontalAdvance(caption_)) + 2 * captionMargin,
            fontMetrics().height() + 6};
}

QSize NavPanelHeader::minimumSizeHint() const {
    return {2 * captionMargin, fontMetrics().height()};
}

void NavPanelHeader::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int h = height();
    for (int band = 0; band < bandCount; ++band) {
        const int top = band * h / bandCount;
        const int bottom = (band + 1) * h / bandCount;
        if (bottom > top)
            painter.fillRect(0, top, width(), bottom - top,
                             blend(gradientTop, gradientBottom, band, bandCount));
    }

    painter.setPen(captionColor_);
    painter.drawText(rect().adjusted(captionMargin, 0, -captionMargin, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, displayedCaption());
}
