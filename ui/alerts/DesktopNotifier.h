#pragma once

#include <QString>

// A desktop notice through the freedesktop notification service on the
// session bus; nothing when there is none.
class DesktopNotifier {
public:
    static void notify(const QString& summary, const QString& body);
};
