#pragma once

#include <QStringList>
#include <QWebEngineView>

class TApplicationWrapper;

// The map's browser control: no border, no scroll bars, the page sees a
// TApplicationWrapper as `external`, and script commands run synchronously.
class TWebBrowser : public QWebEngineView {
    Q_OBJECT
public:
    explicit TWebBrowser(QWidget* parent = nullptr);
    ~TWebBrowser() override;

    // 0 before any load, 1 loading, 3 document parsed, 4 load finished.
    int readyState() const;

    // Loads a local HTML file given by its plain path.
    void navigate(const QString& filePath);

    // Runs one statement in the page's global scope and waits for it; throws
    // Error with the page's message when it fails or no page is loaded.
    void runScriptCommand(const QString& command);

    TApplicationWrapper* external() const;
};
