#include "map/browser/MapSchemeHandler.h"

#include "app/AppPaths.h"
#include "app/IniReader.h"
#include "map/MarkerIcons.h"
#include "map/MbtilesFile.h"
#include "map/browser/MapUrlScheme.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
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

const QString tileFolder = QStringLiteral("/tiles/");

QByteArray contentType(const QString& format) {
    if (format == QLatin1String("png"))
        return "image/png";
    if (format == QLatin1String("jpg"))
        return "image/jpeg";
    if (format == QLatin1String("webp"))
        return "image/webp";
    return "application/x-protobuf";
}

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
    , tiles_(configuredMapTiles()) {
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
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file->error());
    *layer = QJsonObject{
        {QStringLiteral("url"), mapHostAddress() + tileFolder + QString::number(files_.size()) +
                                    QStringLiteral("/{z}/{x}/{y}")},
        {QStringLiteral("vector"), file->isVector()},
        {QStringLiteral("minZoom"), file->minZoom()},
        {QStringLiteral("maxZoom"), file->maxZoom()},
        {QStringLiteral("attribution"), file->attribution()},
    };
    layers_.append(*layer);
    files_.push_back(std::move(file));
    return QString();
}

QStringList MapSchemeHandler::takeOpenErrors() {
    return std::exchange(openErrors_, {});
}

// A vector tile that is missing or does not decode is answered empty, which
// the renderer draws as nothing; a raster one is not found.
void MapSchemeHandler::replyTile(QWebEngineUrlRequestJob* job, const QString& address) const {
    const QStringList parts = address.split(QLatin1Char('/'));
    bool ok[4] = {};
    const int index = parts.value(0).toInt(&ok[0]);
    const int zoom = parts.value(1).toInt(&ok[1]);
    const int column = parts.value(2).toInt(&ok[2]);
    const int row = parts.value(3).toInt(&ok[3]);
    if (parts.size() != 4 || !ok[0] || !ok[1] || !ok[2] || !ok[3] || index < 0 ||
        index >= static_cast<int>(files_.size())) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const MbtilesFile& file = *files_[index];
    const std::optional<QByteArray> tile = file.tile(zoom, column, row);
    if (tile)
        reply(job, contentType(file.format()), *tile);
    else if (file.isVector())
        reply(job, contentType(file.format()), QByteArray());
    else
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}

void MapSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QString path = job->requestUrl().path();
    if (path == QLatin1String("/maps")) {
        reply(job, "text/javascript; charset=utf-8", mapApiScript(tiles_, layers_));
        return;
    }
    if (path.startsWith(tileFolder)) {
        replyTile(job, path.mid(tileFolder.size()));
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
