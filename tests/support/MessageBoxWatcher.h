#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// Closes every modal message box that opens while it lives and records its
// caption, text and icon, so tests can run handlers that show boxes.
class MessageBoxWatcher : public QObject {
    Q_OBJECT
public:
    struct Box {
        QString caption;
        QString text;
        bool critical = false;
    };

    MessageBoxWatcher();

    const QList<Box>& boxes() const { return boxes_; }
    QStringList texts() const;
    void clear() { boxes_.clear(); }

private:
    void closeOpenBox();

    QTimer poll_;
    QList<Box> boxes_;
};
