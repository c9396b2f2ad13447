// Starts the program as usual, optionally ticks tree nodes and presses
// buttons once the map has loaded, saves a picture of the main window (or of
// the About dialog) and quits. For headless demos and the README pictures.
#include "app/Application.h"
#include "map/browser/MapUrlScheme.h"
#include "ui/coorposunit.h"
#include "ui/widgets/DateTimePicker.h"
#include "ui/widgets/ReplayBar.h"

#include <QAbstractButton>
#include <QAction>
#include <QCommandLineParser>
#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

namespace {

void tickNodes(Tcoor_pos& window, const QStringList& texts) {
    auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("JvTreeView1"));
    for (const QString& text : texts)
        for (QTreeWidgetItem* node : tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive)) {
            node->setCheckState(0, Qt::Checked);
            node->setExpanded(true);
        }
}

void setFields(Tcoor_pos& window, const QStringList& assignments) {
    for (const QString& assignment : assignments)
        if (auto* field = window.findChild<QLineEdit*>(assignment.section('=', 0, 0)))
            field->setText(assignment.section('=', 1));
}

void pressButtons(Tcoor_pos& window, const QStringList& names) {
    for (const QString& name : names) {
        if (auto* button = window.findChild<QAbstractButton*>(name))
            button->click();
        else if (auto* action = window.findChild<QAction*>(name))
            action->trigger();
    }
}

// Shows the tab page with this object name in whichever tab control holds it.
void showPage(Tcoor_pos& window, const QString& name) {
    auto* page = window.findChild<QWidget*>(name);
    for (auto* tabs : window.findChildren<QTabWidget*>())
        if (page && tabs->indexOf(page) >= 0)
            tabs->setCurrentWidget(page);
}

// The window as grabbed, optionally under a bar with its title, since a grab
// leaves out the frame the window manager draws.
QPixmap windowPicture(QWidget& window, bool withTitle) {
    const QPixmap content = window.grab();
    if (!withTitle)
        return content;
    const int bar = window.fontMetrics().height() * 2;
    QPixmap picture(content.width(), content.height() + bar);
    picture.fill(window.palette().color(QPalette::Window).darker(115));
    QPainter painter(&picture);
    painter.setFont(window.font());
    painter.drawText(QRect(0, 0, content.width(), bar), Qt::AlignCenter, window.windowTitle());
    painter.drawPixmap(0, bar, content);
    return picture;
}

void saveAboutWhenOpen(const QString& file) {
    QTimer::singleShot(1000, [file] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->grab().save(file);
            dialog->close();
        }
    });
}

} // namespace

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);

    QCommandLineParser options;
    options.addHelpOption();
    options.addOptions({
        {"screenshot", "Save the main window to <file>.", "file", "screenshot.png"},
        {"about", "Also save the About dialog to <file>.", "file"},
        {"after", "Seconds to wait for the map before acting.", "seconds", "4"},
        {"tick", "Tick the tree node with this text (repeatable).", "text"},
        {"set", "Set a field's text, NAME=TEXT (repeatable).", "assignment"},
        {"route-days", "Start the route's date range this many days back.", "days"},
        {"press", "Click the button, or trigger the menu item, with this object name (repeatable).",
         "name"},
        {"settle", "Seconds to wait after acting.", "seconds", "2"},
        {"page", "Show the tab page with this object name, e.g. TabSheet2.", "name"},
        {"size", "Size the window WIDTHxHEIGHT instead of maximizing it.", "size"},
        {"replay-minutes", "Open Map > Replay at this many minutes before now.", "minutes"},
        {"with-title", "Draw the window's title above the picture."},
    });
    options.process(application);

    Tcoor_pos coor_pos;
    const QStringList size = options.value("size").split(u'x');
    if (size.size() == 2) {
        coor_pos.resize(size[0].toInt(), size[1].toInt());
        coor_pos.show();
    } else {
        coor_pos.showMaximized();
    }
    QTimer::singleShot(int(options.value("after").toDouble() * 1000), [&] {
        tickNodes(coor_pos, options.values("tick"));
        setFields(coor_pos, options.values("set"));
        if (options.isSet("route-days"))
            coor_pos.controls().DateTimePicker1->setValue(
                QDateTime::currentDateTime().addDays(-options.value("route-days").toInt()));
        pressButtons(coor_pos, options.values("press"));
        if (options.isSet("page"))
            showPage(coor_pos, options.value("page"));
        if (options.isSet("replay-minutes")) {
            coor_pos.controls().Replay1->trigger();
            coor_pos.controls().ReplayBar1->setTime(wallClock(QDateTime::currentDateTime().addSecs(
                -60 * options.value("replay-minutes").toInt())));
        }
        QTimer::singleShot(int(options.value("settle").toDouble() * 1000), [&] {
            windowPicture(coor_pos, options.isSet("with-title")).save(options.value("screenshot"));
            if (options.isSet("about")) {
                saveAboutWhenOpen(options.value("about"));
                coor_pos.About2Click();
            }
            QApplication::quit();
        });
    });
    return application.exec();
}
