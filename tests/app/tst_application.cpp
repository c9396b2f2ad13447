#include "../support/MessageBoxWatcher.h"
#include "app/Application.h"
#include "app/ApplicationTitle.h"
#include "app/Error.h"
#include "app/IniReader.h"
#include "app/Messages.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

class TestApplication : public QObject {
    Q_OBJECT

private slots:
    void errorReportAddsFullStopAfterPoint_data();
    void errorReportAddsFullStopAfterPoint();
    void uncaughtErrorInSlotIsReportedAndLoopGoesOn();
    void iniReading_data();
    void iniReading();
    void iniMissingFileGivesDefault();
};

void TestApplication::errorReportAddsFullStopAfterPoint_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "no such table: map_coor"
                            << "no such table: map_coor.";
    QTest::newRow("digit") << "error 5"
                           << "error 5.";
    QTest::newRow("full stop") << "Done."
                               << "Done.";
    QTest::newRow("exclamation sorts before point") << "Stop!"
                                                    << "Stop!";
    QTest::newRow("closing parenthesis") << "failed (x)"
                                         << "failed (x)";
    QTest::newRow("slash sorts after point") << "path a/"
                                             << "path a/.";
    QTest::newRow("empty") << ""
                           << "";
}

void TestApplication::errorReportAddsFullStopAfterPoint() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(errorReportText(message), shown);
}

void TestApplication::uncaughtErrorInSlotIsReportedAndLoopGoesOn() {
    MessageBoxWatcher boxes;
    bool laterEventRan = false;
    QTimer::singleShot(0, [] { throw Error(QStringLiteral("Broken handler")); });
    QTimer::singleShot(50, [&] { laterEventRan = true; });
    QTRY_VERIFY(laterEventRan);
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().first().caption, applicationTitle());
    QCOMPARE(boxes.boxes().first().text, QStringLiteral("Broken handler."));
    QVERIFY(boxes.boxes().first().critical);
}

void TestApplication::iniReading_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("key");
    const QString long3000(3000, QLatin1Char('k'));
    QTest::newRow("plain") << QByteArray("[General]\nGoogleMapKey=abc123\n") << "abc123";
    QTest::newRow("case-insensitive names, trimmed")
        << QByteArray("[general]\r\n  googlemapkey =  abc  \r\n") << "abc";
    QTest::newRow("quotes removed") << QByteArray("[General]\nGoogleMapKey=\"a b\"\n") << "a b";
    QTest::newRow("section without key") << QByteArray("[General]\nOther=1\n") << "";
    QTest::newRow("key in another section") << QByteArray("[Other]\nGoogleMapKey=x\n") << "";
    QTest::newRow("3000 characters")
        << ("[General]\nGoogleMapKey=" + long3000.toLatin1()) << long3000.left(2047);
    QTest::newRow("utf-8 value") << QByteArray("[General]\nGoogleMapKey=\xC3\xA7\xC4\x9F\n")
                                 << QString::fromUtf8("\xC3\xA7\xC4\x9F");
}

void TestApplication::iniReading() {
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QTemporaryDir dir;
    QFile file(dir.filePath("t.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QCOMPARE(IniReader(file.fileName()).readString("General", "GoogleMapKey"), key);
}

// A path that holds no regular file gives the default at once; a FIFO would
// block a reader that opened it.
void TestApplication::iniMissingFileGivesDefault() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.ini");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {QStringLiteral("/nonexistent/t.ini"), dir.path(), fifo})
        QCOMPARE(IniReader(path).readString("General", "GoogleMapKey", "d"), QStringLiteral("d"));
}

int main(int argc, char** argv) {
    Application application(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
