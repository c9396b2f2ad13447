#include "store/DatabaseBusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
int depth = 0;
}

DatabaseBusyCursor::DatabaseBusyCursor() {
    if (depth++ == 0 && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        shown_ = true;
    }
}

DatabaseBusyCursor::~DatabaseBusyCursor() {
    --depth;
    if (shown_)
        QGuiApplication::restoreOverrideCursor();
}
