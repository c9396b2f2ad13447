#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// The one-line commands the program sends to the page's GoogleMap object.
// Coordinates arrive as a coordinate pair text "lat,lng".
namespace ScriptCommands {

QString clearScreen();
QString startShape();
QString startLine();
QString addMarker(const QString& pair, const QString& infoHtml);
// centreOnMarkers sends "GoogleMap.Render(<pair>,<zoom>);" and centreOnRoute
// "GoogleMap.Render(<pair>, <zoom>);": one blank apart on purpose, each the
// exact form its view has always sent. The page reads both alike.
QString centreOnMarkers(const QString& pair, const QString& zoom);
// A permanent label beside the marker added last: its title and the age of
// its report, both shown as plain text, greyed when the report is stale.
QString labelMarker(const QString& title, const QString& age, bool stale);
// Markers kept by radio id, for a run that leaves the view alone: placed or
// moved in place; then every such marker of a radio not listed, and every
// marker made by addMarker, is removed.
QString placeRadio(qint32 radio, const QString& pair, const QString& infoHtml);
QString keepRadios(const QList<qint32>& radios);
// Crowded markers grouped into clusters with their count, or not.
QString clusterRadios(bool on);
// The view that shows every marker on the map, no deeper than the zoom.
QString fitMarkers(const QString& zoom);
QString initLine();
QString fillLine(const QString& pair);
QString drawLine();
QString centreOnRoute(const QString& pair, const QString& zoom);
// Beside the route: pins at its oldest and newest report with their texts,
// arrowheads along the line; then the view fitted to the whole route.
QString markRoute(const QString& startPair, const QString& startText, const QString& endPair,
                  const QString& endText);
QString fitRoute();
// The labels' titles of radios with an alert not yet acknowledged: a red ring
// on their markers and "alert ·" on their labels until the next such list.
// Sent apart from the runs, whose commands stay as they are.
QString setAlertedRadios(const QStringList& titles);
// The user's areas, replacing those shown before; `areasJson` is the page's
// array of areas (see web/layer/areas.js). Clearing the map keeps them.
QString showAreas(const QByteArray& areasJson);
// The vertices of the polygons drawn on the map, as JSON: [[[lat, lng], ...], ...].
QString drawnShapes();

// Replay: the live overlays and view put aside until replayEnd brings them
// back. A frame moves the replay's radios in place, with their labels and
// trails; radios not listed leave the map.
struct ReplayRadio {
    qint32 radio = 0;
    QString pair;
    QString title;
    QString age;
    bool stale = false;
    QString infoHtml;
    QList<std::pair<QString, double>> trail; // pair texts, minutes before the frame, oldest first
};
QString replayStart();
QString replayFrame(int trailMinutes, const QList<ReplayRadio>& radios);
QString replayEnd();

// The marker's information bubble. Field values are HTML-escaped, so they
// show literally and never become markup.
QString infoWindowHtml(const QString& radioId, const QString& station, const QString& time);

// Text made safe inside a double-quoted script string literal: the one escape
// for everything the program writes into script.
QString scriptStringContent(const QString& text);
// The text as a double-quoted script string literal.
QString scriptStringLiteral(const QString& text);

} // namespace ScriptCommands
