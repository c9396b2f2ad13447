#include "app/Error.h"
#include "map/MarkerIcons.h"
#include "map/browser/MapApiScript.h"
#include "map/browser/MapPage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The page script as committed, its lines joined by CR LF.
QByteArray pageScriptLine() {
    QByteArray script = readFile(QStringLiteral(WEB_SOURCE_DIR "/TGoogleMap.js"));
    script.replace("\r", "");
    while (script.endsWith('\n'))
        script.chop(1);
    return script.replace("\n", "\r\n");
}

QByteArray expectedPage(const QByteArray& line5, const QByteArray& line17) {
    const QList<QByteArray> lines = {
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\"> ",
        "  <html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:v=\"urn:schemas-microsoft-com:vml\">",
        " <head> ",
        "    <meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\"/> ",
        line5,
        "  <style type=\"text/css\"> ",
        "  .infowindow .window .top .right .user .titlebar .title { font-family:Arial, Helvetica, "
        "sans-serif; font-weight:bold; font-size:14pt; } ",
        "  .infowindow .window .top .right .user .content { font-style:italic; font-size:10pt; } ",
        "  #infowindowdiv{  width:200px; height:100px; }",
        "  </style>   ",
        "\t<script type=\"text/javascript\"> ",
        pageScriptLine(),
        "</script> ",
        " ",
        "</head>",
        "<body onload=\"GoogleMap.CreateMap()\" onunload=\"GUnload()\">",
        line17,
        " ",
        "</body> ",
        "</html> ",
    };
    QByteArray page;
    for (const QByteArray& line : lines)
        page += line + "\r\n";
    return page;
}

// What the main window's page generator does with these functions.
void writePage(const QString& path, const QString& key, int width, int height) {
    startPageFile(path);
    for (const QString& line : mapPageLines(key, width, height))
        appendPageLine(path, line);
}

} // namespace

class TestMapPage : public QObject {
    Q_OBJECT
private slots:
    void pageFile_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QByteArray>("leftover");
        QTest::addColumn<QByteArray>("line5");
        QTest::addColumn<QByteArray>("line17");

        const QByteArray address = "\t<script src=\"pelmor://maps.pelmor/maps?file=api&amp;v=2&amp;"
                                   "sensor=true&amp;key=";
        const QByteArray end = "\" type=\"text/javascript\"></script>";
        QTest::newRow("900 x 500")
            << "ABQIAAAA-key_1" << 900 << 500 << QByteArray() << address + "ABQIAAAA-key_1" + end
            << QByteArray("<div id=\"Canvas\" style=\"width: 880px; "
                          "height: 480px;\"></div>");
        QTest::newRow("empty key") << "" << 900 << 500 << QByteArray() << address + end
                                   << QByteArray("<div id=\"Canvas\" style=\"width: 880px; "
                                                 "height: 480px;\"></div>");
        const QByteArray canvas("<div id=\"Canvas\" style=\"width: 880px; height: 480px;\"></div>");
        QTest::newRow("quotes, markup and ampersand encoded")
            << "a&b\"<c'" << 900 << 500 << QByteArray() << address + "a%26b%22%3Cc%27" + end
            << canvas;
        QTest::newRow("script end tag encoded")
            << "k\"></script><script>external.DoError(1)</script>" << 900 << 500 << QByteArray()
            << address +
                   "k%22%3E%3C%2Fscript%3E%3Cscript%3Eexternal%2EDoError%281%29%3C%2Fscript%3E" +
                   end
            << canvas;
        QTest::newRow("line break, NUL and non-Latin encoded")
            << QString::fromUtf8("a\nb\0c\u00e9\u4e2d", 10) << 900 << 500 << QByteArray()
            << address + "a%0Ab%00c%C3%A9%E4%B8%AD" + end << canvas;
        QTest::newRow("control smaller than 20 px")
            << "k" << 16 << 0 << QByteArray() << address + "k" + end
            << QByteArray("<div id=\"Canvas\" style=\"width: -4px; height: -20px;\"></div>");
        QTest::newRow("page left from an earlier run")
            << "k" << 900 << 500 << QByteArray("<html>old page</html>\r\nGoogleMap.old();\r\n")
            << address + "k" + end
            << QByteArray("<div id=\"Canvas\" style=\"width: 880px; height: 480px;\"></div>");
    }

    void pageFile() {
        QFETCH(QString, key);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QByteArray, leftover);
        QFETCH(QByteArray, line5);
        QFETCH(QByteArray, line17);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pelmormapsview.html"));
        if (!leftover.isEmpty()) {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(leftover);
        }
        writePage(path, key, width, height);

        const QByteArray page = readFile(path);
        QCOMPARE(page, expectedPage(line5, line17));
        QVERIFY(!page.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(mapPageLines(key, width, height).size(), 20);
    }

    // The page file holds only Latin-1 bytes and CR LF line ends.
    void pageScriptIsAsciiWithCrLf() {
        const QString script = mapPageLines(QString(), 900, 500).at(11);
        QVERIFY(script.startsWith(QLatin1String("function TGoogleMap() {")));
        QVERIFY(script.endsWith(QLatin1String("var GoogleMap = new TGoogleMap();")));
        for (qsizetype i = 0; i < script.size(); ++i) {
            QVERIFY2(script.at(i).unicode() < 128, qPrintable(QString::number(i)));
            if (script.at(i) == u'\n')
                QCOMPARE(script.at(i - 1), QChar(u'\r'));
        }
    }

    void appendPageLineCreatesThenAppends() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.html"));
        appendPageLine(path, QStringLiteral("first"));
        appendPageLine(path, QStringLiteral("caf\u00e9"));
        QCOMPARE(readFile(path), QByteArray("first\r\ncaf\xe9\r\n"));
    }

    // A link in the page file's place is replaced, never written through.
    void pageFileReplacesALink() {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("notes.txt"));
        QFile notes(target);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("thirty-one bytes of user notes\n");
        notes.close();
        const QString path = dir.filePath(QStringLiteral("pelmormapsview.html"));
        QVERIFY(QFile::link(target, path));

        writePage(path, QStringLiteral("k"), 900, 500);

        QCOMPARE(readFile(target), QByteArray("thirty-one bytes of user notes\n"));
        QVERIFY(!QFileInfo(path).isSymLink());
        QVERIFY(readFile(path).startsWith("<!DOCTYPE html"));
    }

    // A page file that cannot be removed is an error naming it, and nothing
    // is appended to it. A read-only folder stops only a user other than root;
    // a folder in the page file's place stops root too.
    void unremovablePageFileIsAnError_data() {
        QTest::addColumn<bool>("folderInPlace");
        QTest::newRow("stale file in a read-only folder") << false;
        QTest::newRow("folder in the file's place") << true;
    }

    void unremovablePageFileIsAnError() {
        QFETCH(bool, folderInPlace);
        if (!folderInPlace && geteuid() == 0)
            QSKIP("root may remove files from a read-only folder");
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkdir(folder));
        const QString path = folder + QStringLiteral("/pelmormapsview.html");
        const QString stale = folderInPlace ? path + QStringLiteral("/old.html") : path;
        if (folderInPlace)
            QVERIFY(QDir().mkdir(path));
        QFile file(stale);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html>old page</html>");
        file.close();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });

        try {
            writePage(path, QStringLiteral("k"), 900, 500);
            QFAIL("no error for a page file that cannot be removed");
        } catch (const Error& error) {
            QVERIFY2(error.message().contains(path), qPrintable(error.message()));
        }
        QCOMPARE(readFile(stale), QByteArray("<html>old page</html>"));
    }

    // The user's data folder is made for the page when missing; when it
    // cannot be made (a file in its place stops root too), the page file is
    // the error, and nothing is written elsewhere.
    void pageFileFolderIsMadeWhenMissing() {
        QTemporaryDir home;
        const QString path =
            home.filePath(QStringLiteral(".local/share/coorpos/pelmormapsview.html"));
        writePage(path, QStringLiteral("k"), 900, 500);
        QVERIFY(readFile(path).startsWith("<!DOCTYPE html"));
    }

    void pageFileFolderThatCannotBeMadeIsAnError() {
        QTemporaryDir home;
        QFile blocker(home.filePath(QStringLiteral(".local")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path =
            home.filePath(QStringLiteral(".local/share/coorpos/pelmormapsview.html"));
        try {
            writePage(path, QStringLiteral("k"), 900, 500);
            QFAIL("no error for a page folder that cannot be made");
        } catch (const Error& error) {
            QVERIFY2(error.message().contains(path), qPrintable(error.message()));
        }
        QCOMPARE(
            QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
            QStringList{QStringLiteral(".local")});
    }

    void appendPageLineFailureThrows() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/folder/page.html"));
        try {
            appendPageLine(path, QStringLiteral("line"));
            QFAIL("no error for a file that cannot be created");
        } catch (const Error& error) {
            QVERIFY(error.message().contains(path));
        }
        QVERIFY(!QFile::exists(path));
    }

    void markerIcons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("scale"); // 0: not served
        for (const char* name : {"red", "orange", "green", "blue", "purple", "marker"}) {
            QTest::newRow(name) << QString::fromLatin1(name) << 1;
            QTest::addRow("%s@2x", name) << QString::fromLatin1(name) + "@2x" << 2;
        }
        QTest::newRow("unknown colour") << "yellow" << 0;
        QTest::newRow("unknown colour at 2x") << "yellow@2x" << 0;
        QTest::newRow("other density") << "red@3x" << 0;
        QTest::newRow("density alone") << "@2x" << 0;
        QTest::newRow("path in name") << "../red" << 0;
    }

    void markerIcons() {
        QFETCH(QString, name);
        QFETCH(int, scale);
        const QByteArray png = markerIconPng(name);
        QCOMPARE(!png.isEmpty(), scale > 0);
        if (scale == 0)
            return;
        const QImage image = QImage::fromData(png, "PNG");
        QCOMPARE(image.size(), QSize(32, 32) * scale);
        // Anchored at (15, 32): the tip sits on the bottom row, the corners are clear.
        QVERIFY(qAlpha(image.pixel(15 * scale + scale / 2, 32 * scale - 1)) > 0);
        QCOMPARE(qAlpha(image.pixel(0, 32 * scale - 1)), 0);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        // The sharp pin is the plain one drawn finer, not another picture.
        if (scale == 2) {
            const QImage plain = QImage::fromData(markerIconPng(name.chopped(3)), "PNG")
                                     .convertToFormat(QImage::Format_ARGB32);
            const QImage reduced =
                image.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .convertToFormat(QImage::Format_ARGB32);
            int differing = 0;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    differing += qAbs(qAlpha(plain.pixel(x, y)) - qAlpha(reduced.pixel(x, y))) > 96;
            QVERIFY2(differing < 24, qPrintable(QString::number(differing)));
        }
    }

    void mapApiScriptCarriesTileSettingsAsData() {
        const QByteArray script =
            mapApiScript({QStringLiteral("https://t.example/{z}/{x}/{y}.png?a=\"b\"</script>"),
                          QStringLiteral("\u00a9 Tiles")});
        QVERIFY(script.contains(
            "var G_MAP_TILES = {\"attribution\":\"\xc2\xa9 Tiles\",\"url\":\"https://t.example/"
            "{z}/{x}/{y}.png?a=\\\"b\\\"</script>\"};"));
        QVERIFY(script.contains("var G_WORLD_ATLAS = {"));
        QVERIFY(script.contains("window.GMap2 = GMap2") || script.contains("global.GMap2 = GMap2"));
    }
};

QTEST_GUILESS_MAIN(TestMapPage)
#include "tst_mappage.moc"
