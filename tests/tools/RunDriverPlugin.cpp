// A test-only Qt plugin that drives the installed program, which has no test
// hooks of its own: loaded through QT_QPA_GENERIC_PLUGINS=coorposdrive, it
// waits for the map, ticks every project, presses the last-position button,
// waits for markers, writes what it saw to $COORPOS_DRIVE_REPORT and quits.
// Message boxes on the way are closed and their texts written out too.
// Never installed or shipped.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEngineView>
#include <QtGui/qgenericplugin.h>

namespace {

class RunDriver : public QObject {
public:
    RunDriver() {
        connect(&poll_, &QTimer::timeout, this, &RunDriver::step);
        poll_.start(250);
        clock_.start();
    }

private:
    QWidget* mainWindow() const {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() &&
                widget->findChild<QTreeWidget*>(QStringLiteral("JvTreeView1")))
                return widget;
        return nullptr;
    }

    void finish(const QString& report) {
        poll_.stop();
        QFile file(qEnvironmentVariable("COORPOS_DRIVE_REPORT"));
        if (file.open(QIODevice::WriteOnly))
            file.write((report + messages_).toUtf8());
        file.close();
        QCoreApplication::exit(0);
    }

    // Acts from the timer, never inside a script's answer: the program's
    // handlers wait for the page themselves.
    void step() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages_ += QStringLiteral("message=") + box->text() + u'\n';
            return box->reject();
        }
        if (clock_.elapsed() > 60000)
            return finish(QStringLiteral("timeout\n"));
        QWidget* window = mainWindow();
        auto* view = window ? window->findChild<QWebEngineView*>() : nullptr;
        if (!view || waiting_)
            return;
        if (found_ > 0 && pressed_)
            return finish(report(window, found_));
        if (found_ > 0) {
            auto* tree = window->findChild<QTreeWidget*>(QStringLiteral("JvTreeView1"));
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                tree->topLevelItem(i)->setCheckState(0, Qt::Checked);
            window->findChild<QAbstractButton*>(QStringLiteral("ToolButton1"))->click();
            pressed_ = true;
            found_ = 0;
            return;
        }
        const char* probe = pressed_ ? "document.querySelectorAll('.leaflet-marker-icon').length"
                                     : "document.querySelectorAll('.leaflet-container').length";
        waiting_ = true;
        view->page()->runJavaScript(QLatin1String(probe), [this](const QVariant& count) {
            waiting_ = false;
            found_ = count.toInt();
        });
    }

    static QString report(QWidget* window, int markers) {
        const auto* status = window->findChild<QLabel*>(QStringLiteral("StatusText"));
        const auto* fitAll = window->findChild<QAction*>(QStringLiteral("ViewFitAll"));
        return QStringLiteral("markers=%1\nstatus=%2\nview=%3\n")
            .arg(markers)
            .arg(status->text(),
                 fitAll->isChecked() ? QStringLiteral("FitAll") : QStringLiteral("other"));
    }

    QTimer poll_;
    QElapsedTimer clock_;
    bool waiting_ = false;
    int found_ = 0;
    QString messages_;
    bool pressed_ = false;
};

} // namespace

class RunDriverPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "rundriver.json")
public:
    QObject* create(const QString&, const QString&) override { return new RunDriver; }
};

#include "RunDriverPlugin.moc"
