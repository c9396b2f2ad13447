#pragma once

#include <QWebEngineUrlSchemeHandler>

class QWebEngineProfile;

// Answers the map host: "/maps" with the map API script and
// "/mapfiles/ms/micons/<name>.png" with our marker icons; anything else is
// not found, so nothing the page asks for ever leaves the program.
class MapSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // Installs one handler on the profile unless it has one already.
    static void installOn(QWebEngineProfile* profile);

    void requestStarted(QWebEngineUrlRequestJob* job) override;
};
