#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

// A pane's header bar: a blue gradient of 32 bands with a one-line caption,
// left-aligned and cut short with an ellipsis when it does not fit. The
// caption is drawn in the widget's font.
class NavPanelHeader : public QWidget {
    Q_OBJECT
public:
    explicit NavPanelHeader(const QString& caption, QWidget* parent = nullptr);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    QColor captionColor() const { return captionColor_; }
    void setCaptionColor(const QColor& colour);

    // The caption as it fits the current width.
    QString displayedCaption() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QColor captionColor_ = Qt::white;
};
