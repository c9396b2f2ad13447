#pragma once

#include <QWidget>

class QLineEdit;

// Spin arrows attached to a number field: they keep their value in the
// field's text and only limit what they set themselves.
class UpDownButtons : public QWidget {
    Q_OBJECT
public:
    UpDownButtons(QLineEdit* buddy, int minimum, int maximum, int position,
                  QWidget* parent = nullptr);

    int position() const { return position_; }

    // The value one step away from the field's text (or from the last
    // position when the text is no number), kept within the range.
    static int steppedValue(const QString& text, int lastPosition, int step, int minimum,
                            int maximum);

public slots:
    void stepBy(int step);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* buddy_;
    int minimum_;
    int maximum_;
    int position_;
};
