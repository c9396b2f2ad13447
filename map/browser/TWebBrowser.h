#pragma once

#include "map/ScriptSink.h"

#include <QStringList>
#include <QWebEngineView>

class PageLoadReporter;
class QWebChannel;
class TApplicationWrapper;

// The map's browser control: no border, no scroll bars, the page sees a
// TApplicationWrapper as `external`, and script commands run synchronously.
class TWebBrowser : public QWebEngineView, public ScriptSink {
    Q_OBJECT
public:
    explicit TWebBrowser(QWidget* parent = nullptr);
    ~TWebBrowser() override;

    // How far the page has loaded; the numbers are the ones the window and
    // the tests compare with, and 2 is never reported.
    enum ReadyState {
        Uninitialized = 0, // before any load
        Loading = 1,
        Interactive = 3, // the document is parsed
        Complete = 4,    // the load has finished
    };
    int readyState() const;

    // Loads a local HTML file given by its plain path.
    void navigate(const QString& filePath);

    // Runs one statement in the page's global scope and waits for it; throws
    // Error with the page's message when it fails. While the page loads it
    // waits for the load up to loadWaitMs; a page that is not loaded by then,
    // or is replaced by another before it answers, is an error.
    void runScriptCommand(const QString& command) override;

    void runScriptCommands(const QStringList& commands) override;

    TApplicationWrapper* external() const;

    // The vertices of the polygons drawn on the map, oldest first, as JSON
    // [[[lat, lng], ...], ...]; throws Error when the page does not answer.
    QByteArray drawnShapesJson();

    // Opens a map file for the rest of the session and draws it on a loaded
    // page; an error naming the file and the reason, or nothing.
    QString openMapFile(const QString& path);
    // Why the INI file's map files could not be opened; given once.
    QStringList takeMapFileErrors();

    // True from a crash of the page's render process until the next navigation.
    bool renderProcessEnded() const;

    // Longest wait for the page's answer to a command.
    static constexpr int scriptTimeoutMs = 10000;
    static constexpr int loadWaitMs = 2000;

signals:
    // Once per map file, naming it, when one of its tiles is too large to draw.
    void mapTileRefused(const QString& message);

private:
    QVariant evaluate(const QString& script);
    void waitForLoad();
    static QString notLoaded();
    void installExternal();

    TApplicationWrapper* external_;
    PageLoadReporter* pageLoad_;
    QWebChannel* channel_;
    int readyState_ = Uninitialized;
    bool renderProcessEnded_ = false;
};
