// The replay in the whole program, offscreen, on a large database read where
// it lies, every project ticked (the window reads 255 entries of the tree),
// labels on, trails of 10 minutes, the map following the last radio at zoom 12:
//   R2  one frame, from the slider's move to the page painted (two animation
//       frames after the frame's command returned, told by the page's title), p50 and p95 of evenly
//       spread times over the last 2 hours of reports  vs  the 50 ms target
//   R2 drag: the slider dragged from end to end, a move every 16 ms as a
//       mouse gives them: the lateness of a 10 ms probe timer on the
//       user-interface thread, p50, p99 and worst  vs  50 ms and 150 ms
//
//   bench_replayframe DATABASE [--frames N] [--drag-seconds N] [--trail MINUTES]
// Run headless: QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
// QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu

#include "app/Application.h"
#include "bench/map/PageBench.h"
#include "bench/support/BenchSupport.h"
#include "bench/support/LatenessProbe.h"
#include "map/browser/MapUrlScheme.h"
#include "map/browser/TWebBrowser.h"
#include "store/RadioTimeIndex.h"
#include "store/TableCursor.h"
#include "ui/coorposunit.h"
#include "ui/views/MarkerLabels.h"
#include "ui/views/ReplayView.h"
#include "ui/widgets/ReplayBar.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWebEnginePage>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double targetMs = 50;
constexpr double targetWorstMs = 150;
constexpr int mouseMoveMs = 16;

struct Options {
    QString database;
    int frames = 101;
    int dragSeconds = 5;
    int trailMinutes = 10;
};

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(fraction * double(values.size())))];
}

// Returns once the page has painted two frames after the call. The page says
// so by its title, so no polling (bench::waitUntilPainted asks every 10 ms)
// adds to the time.
void waitForPaint(TWebBrowser& browser) {
    static int paints = 0;
    const QString mark = QStringLiteral("painted %1").arg(++paints);
    QEventLoop loop;
    const auto painted =
        QObject::connect(browser.page(), &QWebEnginePage::titleChanged, [&](const QString& title) {
            if (title == mark)
                loop.quit();
        });
    QTimer::singleShot(30000, &loop, [&] { qFatal("The page did not paint"); });
    browser.page()->runJavaScript(
        QStringLiteral("requestAnimationFrame(function () { requestAnimationFrame(function () {"
                       " document.title = '%1'; }); });")
            .arg(mark));
    loop.exec();
    QObject::disconnect(painted);
}

void printMs(const char* name, double ms, double target) {
    bench::printRatio(name, ms / 1000.0, target / 1000.0, "target");
}

// The window on the database, loaded, every project ticked, the last
// positions shown at zoom 12, then Map > Replay… over the last 2 hours of
// reports.
void openReplay(Tcoor_pos& window, int trailMinutes) {
    window.resize(1280, 800);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("The window was not shown");
    TWebBrowser& browser = *window.controls().WebBrowser1;
    TableCursor& cursor = window.positionTable();
    QElapsedTimer loading;
    loading.start();
    if (!QTest::qWaitFor([&] { return !cursor.isLoading() && cursor.rowCount() > 0; }, 600000) ||
        !QTest::qWaitFor(
            [&] {
                return browser.readyState() == TWebBrowser::Complete &&
                       bench::evaluate(browser, QStringLiteral("typeof GoogleMap")).toString() ==
                           QStringLiteral("object");
            },
            60000))
        qFatal("The reports or the map page did not load");
    std::printf("   %d reports loaded and the page up in %.1f s\n", cursor.rowCount(),
                loading.elapsed() / 1000.0);
    QTreeWidget* tree = window.controls().JvTreeView1;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        tree->topLevelItem(i)->setCheckState(0, Qt::Checked);
    window.controls().Edit20->setText(QStringLiteral("12"));
    window.controls().ToolButton1->click();
    window.controls().Replay1->trigger();
    window.controls()
        .ReplayBar1->findChild<QSpinBox*>(QStringLiteral("ReplayTrail"))
        ->setValue(trailMinutes);

    const ColumnStore& rows = cursor.rows();
    const RadioTimeIndex& index = cursor.replica().timeIndex();
    DateTimeValue last = 0;
    for (quint32 row = rows.rowCount() > 1000 ? rows.rowCount() - 1000 : 0; row < rows.rowCount();
         ++row)
        last = std::max(last, index.timeOf(rows, row));
    const QDateTime end = fromDateTimeValue(last);
    window.controls().ReplayBar1->setRange(end.addSecs(-2 * 3600), end);
    bench::waitUntilPainted(browser);
}

void measureFrames(Tcoor_pos& window, int frames) {
    TWebBrowser& browser = *window.controls().WebBrowser1;
    auto* slider =
        window.controls().ReplayBar1->findChild<QSlider*>(QStringLiteral("ReplaySlider"));
    std::vector<double> paintedMs;
    std::vector<double> sentMs;
    for (int i = -5; i < frames; ++i) { // five frames to warm up
        const int value = slider->minimum() + int(qint64(slider->maximum() - slider->minimum()) *
                                                  std::max(i, 0) / frames);
        QElapsedTimer frame;
        frame.start();
        slider->setValue(value == slider->value() ? value + 1 : value);
        const double sent = frame.nsecsElapsed() / 1e6;
        waitForPaint(browser);
        if (i >= 0) {
            sentMs.push_back(sent);
            paintedMs.push_back(frame.nsecsElapsed() / 1e6);
        }
    }
    const int markers =
        bench::evaluate(browser, QStringLiteral("document.querySelectorAll('.leaflet-marker-icon')"
                                                ".length"))
            .toInt();
    const int trails =
        bench::evaluate(
            browser,
            QStringLiteral("GMap2.fromContainer(document.getElementById('Canvas')).getOverlays()"
                           ".filter(function (o) { return o instanceof GReplayTrail; })"
                           ".reduce(function (n, t) { return n + t.lines_.filter(function (l) {"
                           " return l.getLatLngs().length > 1; }).length; }, 0)"))
            .toInt();
    std::printf("   %d frames; the last shows %d marker icons, %d trail bands drawn\n", frames,
                markers, trails);
    printMs("R2 frame, slider to painted, p50", percentile(paintedMs, 0.5), targetMs);
    printMs("R2 frame, slider to painted, p95", percentile(paintedMs, 0.95), targetMs);
    printMs("   of which the frame sent and run, p50", percentile(sentMs, 0.5), targetMs);
    printMs("   of which the frame sent and run, p95", percentile(sentMs, 0.95), targetMs);
}

// The frame's command alone for 300 radios at the same times, nothing sent.
void measureCommands(Tcoor_pos& window, int frames, int trailMinutes) {
    TableCursor& cursor = window.positionTable();
    ReplayView view(cursor.rows(), cursor.replica().timeIndex());
    ReplayBar& bar = *window.controls().ReplayBar1;
    const qint64 span = bar.rangeStart().secsTo(bar.rangeEnd());
    QList<qint32> radios;
    for (int r = 0; r < 300; ++r)
        radios << bench::firstRadio + r;
    std::vector<double> builtMs;
    qsizetype characters = 0;
    for (int i = 0; i < frames; ++i) {
        const QDateTime wall = bar.rangeStart().addSecs(span * i / frames);
        const MarkerLabels labels{{}, QDateTime(wall.date(), wall.time()), 10};
        QElapsedTimer built;
        built.start();
        characters += view.frameCommand(radios, labels, trailMinutes).size();
        builtMs.push_back(built.nsecsElapsed() / 1e6);
    }
    std::printf("   300 radios' frame command, %lld characters on average\n", characters / frames);
    printMs("R2 command built, 300 radios, p50", percentile(builtMs, 0.5), targetMs);
    printMs("R2 command built, 300 radios, p95", percentile(builtMs, 0.95), targetMs);
}

void measureDrag(Tcoor_pos& window, int seconds) {
    auto* slider =
        window.controls().ReplayBar1->findChild<QSlider*>(QStringLiteral("ReplaySlider"));
    const int moves = seconds * 1000 / mouseMoveMs;
    int frames = 0;
    const auto counted =
        QObject::connect(window.controls().ReplayBar1, &ReplayBar::timeChanged, [&] { ++frames; });
    slider->setValue(slider->minimum());
    bench::LatenessProbe probe;
    QTimer mouse;
    mouse.setInterval(mouseMoveMs);
    int move = 0;
    QObject::connect(&mouse, &QTimer::timeout, [&] {
        ++move;
        slider->setValue(slider->minimum() +
                         int(qint64(slider->maximum() - slider->minimum()) * move / moves));
        if (move == moves)
            mouse.stop();
    });
    QElapsedTimer drag;
    drag.start();
    slider->setSliderDown(true);
    probe.start();
    mouse.start();
    if (!QTest::qWaitFor([&] { return !mouse.isActive(); }, 600000))
        qFatal("The drag did not end");
    probe.stop();
    slider->setSliderDown(false);
    QObject::disconnect(counted);
    std::printf("   drag of %d moves over %.1f s (%d s asked), %d frames, %zu probe samples, "
                "%.1f s lost in stalls over 50 ms\n",
                moves, drag.elapsed() / 1000.0, seconds, frames, probe.samples(),
                probe.totalOverMs(targetMs) / 1000.0);
    printMs("R2 drag, probe lateness p50", probe.percentileMs(0.5), targetMs);
    printMs("R2 drag, probe lateness p99", probe.percentileMs(0.99), targetMs);
    printMs("R2 drag, probe lateness worst", probe.worstMs(), targetWorstMs);
}

Options parseOptions(const QStringList& arguments) {
    Options options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QStringLiteral("--frames") && hasValue)
            options.frames = arguments[++i].toInt();
        else if (argument == QStringLiteral("--drag-seconds") && hasValue)
            options.dragSeconds = arguments[++i].toInt();
        else if (argument == QStringLiteral("--trail") && hasValue)
            options.trailMinutes = arguments[++i].toInt();
        else if (!argument.startsWith(QStringLiteral("--")) && options.database.isEmpty())
            options.database = QFileInfo(argument).absoluteFilePath();
        else
            return {};
    }
    return options;
}

} // namespace

int main(int argc, char* argv[]) {
    registerMapUrlScheme();
    Application app(argc, argv);
    const Options options = parseOptions(app.arguments());
    if (options.database.isEmpty() || options.frames < 1 || options.dragSeconds < 1) {
        std::fprintf(stderr, "usage: bench_replayframe DATABASE [--frames N] [--drag-seconds N] "
                             "[--trail MINUTES]\n");
        return 2;
    }
    std::printf("R2 replay frames, %s\n", qPrintable(options.database));
    // The window reads the file where it lies, under the name it opens.
    QTemporaryDir folder;
    if (!QFile::link(options.database, folder.filePath(QStringLiteral("tavirelmonkas.db"))))
        qFatal("Cannot link %s", qPrintable(options.database));
    QDir::setCurrent(folder.path());
    {
        Tcoor_pos window;
        openReplay(window, options.trailMinutes);
        measureCommands(window, options.frames, options.trailMinutes);
        measureFrames(window, options.frames);
        measureDrag(window, options.dragSeconds);
    }
    QDir::setCurrent(QDir::tempPath());
    return 0;
}
