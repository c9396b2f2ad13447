#include "ui/widgets/UiArtwork.h"

// The images live in a static library: their resource must be registered
// explicitly, or the linker leaves it out. Q_INIT_RESOURCE needs the global namespace.
static void registerUiResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(ui);
        return true;
    }();
    Q_UNUSED(registered);
}

QPixmap uiImage(const QString& fileName) {
    registerUiResources();
    return QPixmap(QStringLiteral(":/ui/images/") + fileName);
}

QIcon uiIcon(const QString& baseName) {
    QIcon icon(uiImage(baseName + QStringLiteral(".png")));
    QPixmap sharp = uiImage(baseName + QStringLiteral("@2x.png"));
    sharp.setDevicePixelRatio(2);
    icon.addPixmap(sharp);
    return icon;
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(uiImage(QStringLiteral("app-icon-%1.png").arg(size)));
    return icon;
}

QPixmap aboutBanner(qreal devicePixelRatio) {
    return uiIcon(QStringLiteral("about-banner")).pixmap(QSize(404, 100), devicePixelRatio);
}
