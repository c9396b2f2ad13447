#pragma once

#include <QByteArray>
#include <QString>

// Registers the program's own URL scheme that serves the map API layer and
// marker icons; must run before the application object exists.
void registerMapUrlScheme();

// The scheme's name and the host that answers the page's requests.
QByteArray mapSchemeName();
QString mapHostAddress();
