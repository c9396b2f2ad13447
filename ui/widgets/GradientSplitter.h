#pragma once

#include <QSplitter>

// A splitter whose handle is a colour gradient across its thickness with a
// grip of dots. The panes follow the mouse while dragging, never collapse, and
// neither side can be made smaller than minimumPaneSize.
class GradientSplitter : public QSplitter {
    Q_OBJECT
public:
    static constexpr int minimumPaneSize = 30;

    explicit GradientSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    QSplitterHandle* createHandle() override;
    void childEvent(QChildEvent* event) override;

private:
    void limitPane(QWidget* pane) const;
};
