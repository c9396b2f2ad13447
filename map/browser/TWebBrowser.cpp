#include "map/browser/TWebBrowser.h"

#include "app/Error.h"
#include "app/Resources.h"
#include "map/ScriptCommands.h"
#include "map/browser/MapSchemeHandler.h"
#include "map/browser/PageLoadReporter.h"
#include "map/browser/TApplicationWrapper.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <memory>

namespace {

QString fileText(const QString& path) {
    return QString::fromUtf8(builtInResource(path));
}

QString scriptArray(const QStringList& texts) {
    QStringList literals;
    literals.reserve(texts.size());
    for (const QString& text : texts)
        literals << ScriptCommands::scriptStringLiteral(text);
    return QLatin1Char('[') + literals.join(QLatin1Char(',')) + QLatin1Char(']');
}

// Runs each command in the page's global scope, as a script of its own would,
// and answers "" or the place and message of the first command that fails.
QString batchScript(const QStringList& commands) {
    return QStringLiteral("(function (commands) {"
                          " for (var i = 0; i < commands.length; i++) {"
                          "  try { (0, eval)(commands[i]); }"
                          "  catch (e) {"
                          "   var message = '';"
                          "   try { message = String(e); } catch (ignored) {}"
                          "   return [i, message || 'Script error'];"
                          "  }"
                          " }"
                          " return '';"
                          "})(") +
           scriptArray(commands) + QLatin1Char(')');
}

} // namespace

TWebBrowser::TWebBrowser(QWidget* parent)
    : QWebEngineView(parent)
    , external_(new TApplicationWrapper(this))
    , pageLoad_(new PageLoadReporter(this))
    , channel_(new QWebChannel(this)) {
    MapSchemeHandler::installOn(page()->profile());
    connect(MapSchemeHandler::of(page()->profile()), &MapSchemeHandler::tileRefused, this,
            &TWebBrowser::mapTileRefused);
    settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    installExternal();

    connect(this, &QWebEngineView::loadStarted, this, [this] { readyState_ = Loading; });
    connect(pageLoad_, &PageLoadReporter::parsed, this, [this] {
        if (readyState_ == Loading)
            readyState_ = Interactive;
    });
    connect(this, &QWebEngineView::loadFinished, this, [this] { readyState_ = Complete; });
    connect(page(), &QWebEnginePage::renderProcessTerminated, this,
            [this] { renderProcessEnded_ = true; });
}

TWebBrowser::~TWebBrowser() = default;

QString TWebBrowser::openMapFile(const QString& path) {
    QJsonObject layer;
    const QString error = MapSchemeHandler::of(page()->profile())->addMapFile(path, &layer);
    if (error.isEmpty() && readyState_ == Complete)
        page()->runJavaScript(
            QStringLiteral("GMap2.addMapFile(") +
            QString::fromUtf8(QJsonDocument(layer).toJson(QJsonDocument::Compact)) +
            QStringLiteral(");"));
    return error;
}

QStringList TWebBrowser::takeMapFileErrors() {
    return MapSchemeHandler::of(page()->profile())->takeOpenErrors();
}

void TWebBrowser::installExternal() {
    channel_->registerObject(QStringLiteral("external"), external_);
    channel_->registerObject(QStringLiteral("pageLoad"), pageLoad_);
    page()->setWebChannel(channel_, QWebEngineScript::MainWorld);

    QWebEngineScript script;
    script.setName(QStringLiteral("external"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(fileText(QStringLiteral(":/qtwebchannel/qwebchannel.js")) +
                         QLatin1Char('\n') + fileText(QStringLiteral(":/web/externalshim.js")));
    page()->scripts().insert(script);
}

int TWebBrowser::readyState() const {
    return readyState_;
}

void TWebBrowser::navigate(const QString& filePath) {
    // The page counts as loading from here on, so that a wait that follows
    // never mistakes the previous document for the new one.
    readyState_ = Loading;
    renderProcessEnded_ = false;
    load(QUrl::fromLocalFile(filePath));
}

void TWebBrowser::runScriptCommand(const QString& command) {
    runScriptCommands({command});
}

void TWebBrowser::runScriptCommands(const QStringList& commands) {
    const QVariant answer = evaluate(batchScript(commands));
    if (answer.typeId() == QMetaType::QVariantList) {
        const QVariantList failure = answer.toList();
        throw ScriptCommandError(failure.value(1).toString(), failure.value(0).toInt());
    }
    if (answer.typeId() != QMetaType::QString || !answer.toString().isEmpty())
        throw Error(QStringLiteral("The map page did not answer the script command."));
}

QByteArray TWebBrowser::drawnShapesJson() {
    const QVariant answer = evaluate(ScriptCommands::drawnShapes());
    if (answer.typeId() != QMetaType::QString)
        throw Error(QStringLiteral("The map page did not say which shapes are drawn."));
    return answer.toString().toUtf8();
}

void TWebBrowser::waitForLoad() {
    if (readyState_ == Uninitialized)
        throw Error(notLoaded());
    if (readyState_ == Complete || renderProcessEnded_)
        return;
    // The map object exists once the load has finished; input is still
    // served meanwhile, and a load that takes longer is reported, not waited for.
    QEventLoop loop;
    connect(this, &QWebEngineView::loadFinished, &loop, &QEventLoop::quit);
    connect(page(), &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
    QTimer::singleShot(loadWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (readyState_ != Complete && !renderProcessEnded_)
        throw Error(notLoaded());
}

QString TWebBrowser::notLoaded() {
    return QStringLiteral("The map is not loaded yet.");
}

QVariant TWebBrowser::evaluate(const QString& script) {
    waitForLoad();
    const QString processEnded =
        QStringLiteral("The map page has stopped working; reload the map to go on.");
    if (renderProcessEnded_)
        throw Error(processEnded);

    // The answer may come after this call has given up waiting, so it goes
    // into shared state rather than into this stack frame.
    struct Answer {
        bool arrived = false;
        QVariant value;
    };
    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    page()->runJavaScript(script, QWebEngineScript::MainWorld,
                          [answer, waiting](const QVariant& value) {
                              answer->arrived = true;
                              answer->value = value;
                              if (waiting)
                                  waiting->quit();
                          });
    if (!answer->arrived) {
        QTimer::singleShot(scriptTimeoutMs, &loop, &QEventLoop::quit);
        connect(page(), &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
        // A document that goes away never answers: no use waiting for it.
        connect(this, &QWebEngineView::loadStarted, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (renderProcessEnded_)
        throw Error(processEnded);
    if (!answer->arrived && readyState_ != Complete)
        throw Error(notLoaded());
    if (!answer->arrived)
        throw Error(QStringLiteral("The map page did not answer within %1 seconds.")
                        .arg(scriptTimeoutMs / 1000));
    return answer->value;
}

TApplicationWrapper* TWebBrowser::external() const {
    return external_;
}

bool TWebBrowser::renderProcessEnded() const {
    return renderProcessEnded_;
}
