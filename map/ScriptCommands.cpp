#include "map/ScriptCommands.h"

#include <QStringList>

namespace ScriptCommands {

QString clearScreen() {
    return QStringLiteral("GoogleMap.clearscreen();");
}

QString startShape() {
    return QStringLiteral("GoogleMap.startShape();");
}

QString startLine() {
    return QStringLiteral("GoogleMap.startLine();");
}

QString addMarker(const QString& pair, const QString& infoHtml) {
    return QStringLiteral("GoogleMap.AddMarker(") + pair + QStringLiteral(", \"") +
           scriptStringContent(infoHtml) + QStringLiteral("\", false);");
}

QString centreOnMarkers(const QString& pair, const QString& zoom) {
    return QStringLiteral("GoogleMap.Render(") + pair + QLatin1Char(',') + zoom +
           QStringLiteral(");");
}

QString labelMarker(const QString& title, const QString& age, bool stale) {
    return QStringLiteral("GoogleMap.LabelMarker(") + scriptStringLiteral(title) +
           QStringLiteral(", ") + scriptStringLiteral(age) +
           (stale ? QStringLiteral(", true);") : QStringLiteral(", false);"));
}

QString setAlertedRadios(const QStringList& titles) {
    QStringList literals;
    for (const QString& title : titles)
        literals << scriptStringLiteral(title);
    return QStringLiteral("GoogleMap.SetAlertedRadios([") + literals.join(QStringLiteral(", ")) +
           QStringLiteral("]);");
}

QString showAreas(const QByteArray& areasJson) {
    return QStringLiteral("GoogleMap.ShowAreas(") + QString::fromUtf8(areasJson) +
           QStringLiteral(");");
}

QString drawnShapes() {
    return QStringLiteral("JSON.stringify(GoogleMap.DrawnShapes())");
}

QString placeRadio(qint32 radio, const QString& pair, const QString& infoHtml) {
    return QStringLiteral("GoogleMap.PlaceRadio(") + QString::number(radio) + QStringLiteral(", ") +
           pair + QStringLiteral(", ") + scriptStringLiteral(infoHtml) + QStringLiteral(");");
}

QString keepRadios(const QList<qint32>& radios) {
    QStringList ids;
    for (const qint32 radio : radios)
        ids << QString::number(radio);
    return QStringLiteral("GoogleMap.KeepRadios([") + ids.join(QLatin1Char(',')) +
           QStringLiteral("]);");
}

QString clusterRadios(bool on) {
    return on ? QStringLiteral("GoogleMap.ClusterRadios(true);")
              : QStringLiteral("GoogleMap.ClusterRadios(false);");
}

QString fitMarkers(const QString& zoom) {
    return QStringLiteral("GoogleMap.FitMarkers(") + zoom + QStringLiteral(");");
}

QString initLine() {
    return QStringLiteral("GoogleMap.initline();");
}

QString fillLine(const QString& pair) {
    return QStringLiteral("GoogleMap.fillline(") + pair + QStringLiteral(");");
}

QString drawLine() {
    return QStringLiteral("GoogleMap.drawline();");
}

QString centreOnRoute(const QString& pair, const QString& zoom) {
    return QStringLiteral("GoogleMap.Render(") + pair + QStringLiteral(", ") + zoom +
           QStringLiteral(");");
}

QString markRoute(const QString& startPair, const QString& startText, const QString& endPair,
                  const QString& endText) {
    return QStringLiteral("GoogleMap.markroute(") + startPair + QStringLiteral(", ") +
           scriptStringLiteral(startText) + QStringLiteral(", ") + endPair + QStringLiteral(", ") +
           scriptStringLiteral(endText) + QStringLiteral(");");
}

QString fitRoute() {
    return QStringLiteral("GoogleMap.fitroute();");
}

QString replayStart() {
    return QStringLiteral("GoogleMap.ReplayStart();");
}

QString replayFrame(int trailMinutes, const QList<ReplayRadio>& radios) {
    QString command = QStringLiteral("GoogleMap.ReplayFrame(") + QString::number(trailMinutes) +
                      QStringLiteral(", [");
    for (qsizetype r = 0; r < radios.size(); ++r) {
        const ReplayRadio& radio = radios[r];
        if (r > 0)
            command += QLatin1Char(',');
        command += QLatin1Char('[') + QString::number(radio.radio) + QLatin1Char(',') + radio.pair +
                   QLatin1Char(',') + scriptStringLiteral(radio.title) + QLatin1Char(',') +
                   scriptStringLiteral(radio.age) +
                   (radio.stale ? QStringLiteral(",true,") : QStringLiteral(",false,")) +
                   scriptStringLiteral(radio.infoHtml) + QStringLiteral(",[");
        for (qsizetype p = 0; p < radio.trail.size(); ++p) {
            if (p > 0)
                command += QLatin1Char(',');
            command += radio.trail[p].first + QLatin1Char(',') +
                       QString::number(radio.trail[p].second, 'f', 2);
        }
        command += QStringLiteral("]]");
    }
    return command + QStringLiteral("]);");
}

QString replayEnd() {
    return QStringLiteral("GoogleMap.ReplayEnd();");
}

QString infoWindowHtml(const QString& radioId, const QString& station, const QString& time) {
    return QStringLiteral("<div id=\"infowindowdiv\"> <b>Information</b><hr><br>Radio ID: ") +
           radioId.toHtmlEscaped() + QStringLiteral("<br>Station: ") + station.toHtmlEscaped() +
           QStringLiteral("<br>Time: ") + time.toHtmlEscaped() + QStringLiteral("</div>");
}

QString scriptStringContent(const QString& text) {
    QString escaped;
    escaped.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QLatin1String("\\\\");
            break;
        case u'"':
            escaped += QLatin1String("\\\"");
            break;
        case u'\n':
            escaped += QLatin1String("\\n");
            break;
        case u'\r':
            escaped += QLatin1String("\\r");
            break;
        case 0x2028:
            escaped += QLatin1String("\\u2028");
            break;
        case 0x2029:
            escaped += QLatin1String("\\u2029");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString scriptStringLiteral(const QString& text) {
    return QLatin1Char('"') + scriptStringContent(text) + QLatin1Char('"');
}

} // namespace ScriptCommands
