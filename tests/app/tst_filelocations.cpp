#include "app/FileLocations.h"

#include <QSet>
#include <QTest>

namespace {

const QString besideIni = QStringLiteral("/opt/coorpos/bin/tavirelmonkas.ini");
const QString systemIni = QStringLiteral("/etc/coorpos/tavirelmonkas.ini");
const QString userIni = QStringLiteral("/home/ann/.config/coorpos/tavirelmonkas.ini");

} // namespace

class TestFileLocations : public QObject {
    Q_OBJECT

private slots:
    void iniFile_data() {
        QTest::addColumn<QStringList>("regularFiles");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("all three: beside the executable wins")
            << QStringList{besideIni, systemIni, userIni} << besideIni;
        QTest::newRow("beside and user: beside") << QStringList{besideIni, userIni} << besideIni;
        QTest::newRow("system and user: the shared one")
            << QStringList{systemIni, userIni} << systemIni;
        QTest::newRow("only the user's") << QStringList{userIni} << userIni;
        QTest::newRow("only the system's") << QStringList{systemIni} << systemIni;
        // Reads as an INI file without keys, as before the other folders.
        QTest::newRow("none: beside the executable") << QStringList{} << besideIni;
    }

    void iniFile() {
        QFETCH(QStringList, regularFiles);
        QFETCH(QString, chosen);
        const QSet<QString> present(regularFiles.begin(), regularFiles.end());
        QCOMPARE(chooseIniFile({besideIni, systemIni, userIni},
                               [&](const QString& path) { return present.contains(path); }),
                 chosen);
    }

    void mapPageFolder_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("programWritable");
        QTest::addColumn<QString>("userData");
        QTest::addColumn<QString>("chosen");
        const QString build = QStringLiteral("/home/ann/src/coorpos/build");
        const QString installed = QStringLiteral("/usr/bin");
        const QString data = QStringLiteral("/home/ann/.local/share/coorpos");
        QTest::newRow("build folder: beside the executable") << build << true << data << build;
        QTest::newRow("installed: the user's data folder") << installed << false << data << data;
        QTest::newRow("installed, run by root: still the data folder")
            << installed << true << data << data;
        QTest::newRow("installed under /usr/local, run by root")
            << QStringLiteral("/usr/local/bin/") << true << data << data;
        // Never a shared folder: writing beside the executable then fails
        // with the page file's error.
        QTest::newRow("installed, no data folder known")
            << installed << false << QString() << installed;
    }

    void mapPageFolder() {
        QFETCH(QString, program);
        QFETCH(bool, programWritable);
        QFETCH(QString, userData);
        QFETCH(QString, chosen);
        QCOMPARE(chooseMapPageFolder(program, programWritable, userData), chosen);
    }
};

QTEST_APPLESS_MAIN(TestFileLocations)

#include "tst_filelocations.moc"
