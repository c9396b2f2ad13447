#include "MessageBoxWatcher.h"

#include <QApplication>
#include <QMessageBox>

MessageBoxWatcher::MessageBoxWatcher() {
    connect(&poll_, &QTimer::timeout, this, &MessageBoxWatcher::closeOpenBox);
    poll_.start(5);
}

QStringList MessageBoxWatcher::texts() const {
    QStringList result;
    for (const Box& box : boxes_)
        result << box.text;
    return result;
}

void MessageBoxWatcher::closeOpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return;
    boxes_.append({box->windowTitle(), box->text(), box->icon() == QMessageBox::Critical});
    box->done(QMessageBox::Ok);
}
