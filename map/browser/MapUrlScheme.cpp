#include "map/browser/MapUrlScheme.h"

#include "app/AppPaths.h"

#include <QWebEngineUrlScheme>

QByteArray mapSchemeName() {
    return QByteArray(mapScheme);
}

QString mapHostAddress() {
    return QLatin1String(mapScheme) + QStringLiteral("://") + QLatin1String(mapHost);
}

// A page loaded from a local file may request these addresses only because
// the scheme is secure, allows local access and takes part in CORS.
void registerMapUrlScheme() {
    QWebEngineUrlScheme scheme(mapSchemeName());
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalAccessAllowed |
                    QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}
