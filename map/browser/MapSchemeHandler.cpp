#include "map/browser/MapSchemeHandler.h"

#include "app/AppPaths.h"
#include "app/IniReader.h"
#include "map/MarkerIcons.h"
#include "map/MbtilesFile.h"
#include "map/TileReader.h"
#include "map/browser/MapUrlScheme.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <memory>

namespace {

void reply(QWebEngineUrlRequestJob* job, const QByteArray& contentType, const QByteArray& body) {
    auto* buffer = new QBuffer(job);
    buffer->setData(body);
    buffer->open(QIODevice::ReadOnly);
    job->reply(contentType, buffer);
}

const QString tileFolder = QStringLiteral("/tiles/");

QStringList configuredMapFiles() {
    // Relative names start at the INI file's folder: beside the executable
    // that is the executable's folder, in /etc/coorpos that folder.
    const QString iniPath = iniFilePath();
    const IniReader ini(iniPath);
    const QDir iniFolder = QFileInfo(iniPath).absoluteDir();
    QStringList paths;
    for (const QString& entry : ini.readString(QStringLiteral("General"), QStringLiteral("MapFile"))
                                    .split(QLatin1Char(';')))
        if (!entry.trimmed().isEmpty())
            paths << QDir::cleanPath(iniFolder.absoluteFilePath(entry.trimmed()));
    return paths;
}

} // namespace

MapSchemeHandler::MapSchemeHandler(QObject* parent)
    : QWebEngineUrlSchemeHandler(parent)
    , tiles_(configuredMapTiles())
    , tileReader_(new TileReader(this)) {
    connect(tileReader_, &TileReader::tileRefused, this, &MapSchemeHandler::tileRefused);
    for (const QString& path : configuredMapFiles()) {
        QJsonObject layer;
        const QString error = addMapFile(path, &layer);
        if (!error.isEmpty())
            openErrors_ << error;
    }
}

MapSchemeHandler::~MapSchemeHandler() = default;

void MapSchemeHandler::installOn(QWebEngineProfile* profile) {
    if (!profile->urlSchemeHandler(mapSchemeName()))
        profile->installUrlSchemeHandler(mapSchemeName(), new MapSchemeHandler(profile));
}

MapSchemeHandler* MapSchemeHandler::of(QWebEngineProfile* profile) {
    return qobject_cast<MapSchemeHandler*>(
        const_cast<QWebEngineUrlSchemeHandler*>(profile->urlSchemeHandler(mapSchemeName())));
}

QString MapSchemeHandler::addMapFile(const QString& path, QJsonObject* layer) {
    auto file = std::make_unique<MbtilesFile>(path);
    if (!file->isOpen())
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file->path()), file->error());
    *layer = QJsonObject{
        {QStringLiteral("url"), mapHostAddress() + tileFolder + QString::number(layers_.size()) +
                                    QStringLiteral("/{z}/{x}/{y}")},
        {QStringLiteral("vector"), file->isVector()},
        {QStringLiteral("minZoom"), file->minZoom()},
        {QStringLiteral("maxZoom"), file->maxZoom()},
        {QStringLiteral("attribution"), file->attribution()},
    };
    layers_.append(*layer);
    tileReader_->add(std::move(file));
    return QString();
}

QStringList MapSchemeHandler::takeOpenErrors() {
    return std::exchange(openErrors_, {});
}

void MapSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QString path = job->requestUrl().path();
    if (path == QLatin1String("/maps")) {
        reply(job, "text/javascript; charset=utf-8", mapApiScript(tiles_, layers_));
        return;
    }
    if (path.startsWith(tileFolder)) {
        tileReader_->read(path.mid(tileFolder.size()), job, [job](const TileReader::Reply& tile) {
            if (tile.found)
                reply(job, tile.contentType, tile.body);
            else
                job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        });
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
