#include "ui/alerts/DesktopNotifier.h"

#include "app/ApplicationTitle.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

void DesktopNotifier::notify(const QString& summary, const QString& body) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The body is plain text: servers that read markup in it get it escaped.
    QString plain = body.toHtmlEscaped();
    message << applicationTitle() << uint(0) << QStringLiteral("dialog-warning") << summary << plain
            << QStringList() << QVariantMap() << int(-1);
    // No answer is awaited: a missing service must not hold up the window.
    QDBusConnection::sessionBus().call(message, QDBus::NoBlock);
}
