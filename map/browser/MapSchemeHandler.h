#pragma once

#include <QByteArray>
#include <QWebEngineUrlSchemeHandler>

class QWebEngineProfile;

// Answers the map host: "/maps" with the map API script and
// "/mapfiles/ms/micons/<name>.png" with our marker icons; anything else is
// not found, so nothing the page asks for ever leaves the program.
class MapSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    // Installs one handler on the profile unless it has one already; the
    // tile settings are read from the INI file then, once.
    static void installOn(QWebEngineProfile* profile);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    explicit MapSchemeHandler(QObject* parent);

    QByteArray apiScript_;
};
