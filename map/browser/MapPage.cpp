#include "map/browser/MapPage.h"

#include "app/AppPaths.h"
#include "app/Error.h"
#include "app/Resources.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

// The page script with CR LF between its lines and no line end after the last:
// the writer adds that one like after every line.
QString pageScript() {
    QString script = QString::fromUtf8(builtInResource(QStringLiteral(":/web/TGoogleMap.js")));
    script.remove(u'\r');
    while (script.endsWith(u'\n'))
        script.chop(1);
    return script.replace(u'\n', QLatin1String("\r\n"));
}

// A real key is letters, digits, "-" and "_" and is written as it is; any
// other character is percent-encoded, so that no key can leave the attribute
// or the script tag.
QString addressKey(const QString& key) {
    return QString::fromLatin1(key.toUtf8().toPercentEncoding(QByteArray(), ".~"));
}

} // namespace

QString mapPagePath() {
    return QDir(mapPageFolder()).filePath(QLatin1String(mapPageFileName));
}

QStringList mapPageLines(const QString& apiKey, int width, int height) {
    return {
        QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                       "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\"> "),
        QStringLiteral("  <html xmlns=\"http://www.w3.org/1999/xhtml\" "
                       "xmlns:v=\"urn:schemas-microsoft-com:vml\">"),
        QStringLiteral(" <head> "),
        QStringLiteral("    <meta http-equiv=\"content-type\" content=\"text/html; "
                       "charset=utf-8\"/> "),
        QStringLiteral("\t<script src=\"") + mapHostAddress() +
            QStringLiteral("/maps?file=api&amp;v=2&amp;sensor=true&amp;key=") + addressKey(apiKey) +
            QStringLiteral("\" type=\"text/javascript\"></script>"),
        QStringLiteral("  <style type=\"text/css\"> "),
        QStringLiteral("  .infowindow .window .top .right .user .titlebar .title { "
                       "font-family:Arial, Helvetica, sans-serif; font-weight:bold; "
                       "font-size:14pt; } "),
        QStringLiteral("  .infowindow .window .top .right .user .content { font-style:italic; "
                       "font-size:10pt; } "),
        QStringLiteral("  #infowindowdiv{  width:200px; height:100px; }"),
        QStringLiteral("  </style>   "),
        QStringLiteral("\t<script type=\"text/javascript\"> "),
        pageScript(),
        QStringLiteral("</script> "),
        QStringLiteral(" "),
        QStringLiteral("</head>"),
        QStringLiteral("<body onload=\"GoogleMap.CreateMap()\" onunload=\"GUnload()\">"),
        QStringLiteral("<div id=\"Canvas\" style=\"width: ") + QString::number(width - 20) +
            QStringLiteral("px; height: ") + QString::number(height - 20) +
            QStringLiteral("px;\"></div>"),
        QStringLiteral(" "),
        QStringLiteral("</body> "),
        QStringLiteral("</html> "),
    };
}

void startPageFile(const QString& path) {
    const QFileInfo old(path);
    if (old.exists() || old.isSymLink()) {
        QFile file(path);
        if (!file.remove())
            throw Error(QStringLiteral("Cannot remove %1: %2").arg(path, file.errorString()));
    }
    // The user's data folder may not exist yet; when it cannot be made, the
    // create below reports the file.
    QDir().mkpath(old.absolutePath());
    // NewOnly fails rather than follow a link put in the file's place meanwhile.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw Error(QStringLiteral("Cannot create %1: %2").arg(path, file.errorString()));
}

void appendPageLine(const QString& path, const QString& line) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw Error(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = line.toLatin1() + "\r\n";
    const bool written = file.write(bytes) == bytes.size();
    const bool flushed = written && file.flush();
    const QString failure = file.errorString();
    file.close();
    if (!flushed)
        throw Error(QStringLiteral("Cannot write %1: %2").arg(path, failure));
}

void waitUntilInteractive(const TWebBrowser& browser) {
    while (browser.readyState() < TWebBrowser::Interactive) {
        if (browser.renderProcessEnded())
            throw Error(QStringLiteral("The map page could not be loaded: its render process "
                                       "ended."));
        QThread::msleep(10);
        QCoreApplication::processEvents();
    }
}
