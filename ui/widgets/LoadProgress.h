#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QToolButton;
class TableCursor;

// A whole read of the reports, shown beside the status text while it runs:
// a bar with its progress and a button that stops it. A stopped or failed
// first read leaves the button to start it again; otherwise the widget hides.
class LoadProgress : public QWidget {
    Q_OBJECT
public:
    explicit LoadProgress(QWidget* parent = nullptr);

    void bind(TableCursor* cursor);

private:
    void showLoading(bool loading);
    void showProgress(quint64 rows, quint64 expected);
    void buttonClicked();

    TableCursor* cursor_ = nullptr;
    QLabel* label_;
    QProgressBar* bar_;
    QToolButton* button_;
};
