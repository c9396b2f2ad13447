#include "map/browser/MapSchemeHandler.h"

#include "map/MarkerIcons.h"
#include "map/browser/MapApiScript.h"
#include "map/browser/MapUrlScheme.h"

#include <QBuffer>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>

namespace {

void reply(QWebEngineUrlRequestJob* job, const QByteArray& contentType, const QByteArray& body) {
    auto* buffer = new QBuffer(job);
    buffer->setData(body);
    buffer->open(QIODevice::ReadOnly);
    job->reply(contentType, buffer);
}

} // namespace

MapSchemeHandler::MapSchemeHandler(QObject* parent)
    : QWebEngineUrlSchemeHandler(parent)
    , apiScript_(mapApiScript(configuredMapTiles())) {}

void MapSchemeHandler::installOn(QWebEngineProfile* profile) {
    if (!profile->urlSchemeHandler(mapSchemeName()))
        profile->installUrlSchemeHandler(mapSchemeName(), new MapSchemeHandler(profile));
}

void MapSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QString path = job->requestUrl().path();
    if (path == QLatin1String("/maps")) {
        reply(job, "text/javascript; charset=utf-8", apiScript_);
        return;
    }
    static const QString iconFolder = QStringLiteral("/mapfiles/ms/micons/");
    if (path.startsWith(iconFolder) && path.endsWith(QLatin1String(".png"))) {
        const QString name = path.mid(iconFolder.size(), path.size() - iconFolder.size() - 4);
        const QByteArray png = markerIconPng(name);
        if (!png.isEmpty()) {
            reply(job, "image/png", png);
            return;
        }
    }
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}
