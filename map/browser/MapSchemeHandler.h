#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QStringList>
#include <QWebEngineUrlSchemeHandler>

#include "map/browser/MapApiScript.h"

class QWebEngineProfile;
class TileReader;

// Answers the map host: "/maps" with the map API script,
// "/mapfiles/ms/micons/<name>.png" with our marker icons and
// "/tiles/<file>/<z>/<x>/<y>" with a tile of an open map file; anything else
// is not found, so nothing the page asks for ever leaves the program. Tiles
// are read off the user-interface thread and answered when ready.
class MapSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    // Installs one handler on the profile unless it has one already; the
    // tile settings and map files are read from the INI file then, once.
    static void installOn(QWebEngineProfile* profile);
    static MapSchemeHandler* of(QWebEngineProfile* profile);
    ~MapSchemeHandler() override;

    void requestStarted(QWebEngineUrlRequestJob* job) override;

    // Opens a map file for the rest of the session; its layer description
    // for the page, or an error naming the file and the reason.
    QString addMapFile(const QString& path, QJsonObject* layer);
    // The reasons the INI file's map files could not be opened, once.
    QStringList takeOpenErrors();

signals:
    // Once per map file, when one of its tiles is too large to serve.
    void tileRefused(const QString& message);

private:
    explicit MapSchemeHandler(QObject* parent);

    MapTiles tiles_;
    TileReader* tileReader_;
    QJsonArray layers_;
    QStringList openErrors_;
};
