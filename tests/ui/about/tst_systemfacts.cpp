#include "ui/about/SystemFacts.h"

#include <QtTest>

class TestSystemFacts : public QObject {
    Q_OBJECT
private slots:
    void processor_data();
    void processor();
    void memory_data();
    void memory();
    void byteSizes_data();
    void byteSizes();
    void databaseRows_data();
    void databaseRows();
    void emptySnapshotSaysUnknown();
};

void TestSystemFacts::processor_data() {
    QTest::addColumn<QString>("cpuInfo");
    QTest::addColumn<QString>("architecture");
    QTest::addColumn<QString>("expected");
    const QString x86 = "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Example  CPU @ "
                        "2.10GHz\n\nprocessor\t: 1\nmodel name\t: Example  CPU @ 2.10GHz\n";
    QTest::newRow("x86, two processors") << x86 << "x86_64"
                                         << "Example CPU @ 2.10GHz (2 logical processors, x86_64)";
    QTest::newRow("arm names the hardware")
        << "processor\t: 0\nBogoMIPS\t: 108.00\n\nHardware\t: Board X\n"
        << "arm64"
        << "Board X (1 logical processor, arm64)";
    QTest::newRow("no model") << "processor\t: 0\n"
                              << "riscv64"
                              << "1 logical processor, riscv64";
    QTest::newRow("no cpuinfo at all") << ""
                                       << "x86_64"
                                       << "x86_64";
    QTest::newRow("nothing known") << ""
                                   << ""
                                   << "unknown";
}

void TestSystemFacts::processor() {
    QFETCH(QString, cpuInfo);
    QFETCH(QString, architecture);
    QFETCH(QString, expected);
    QCOMPARE(processorDescription(cpuInfo, architecture), expected);
}

void TestSystemFacts::memory_data() {
    QTest::addColumn<QString>("memInfo");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sixteen gibibytes") << "MemTotal:       16777216 kB\nMemFree:         1024 kB\n"
                                       << "16.0 GiB";
    QTest::newRow("not the first line") << "Foo: 1 kB\nMemTotal: 2048 kB\n"
                                        << "2.0 MiB";
    QTest::newRow("missing") << "MemFree: 1024 kB\n"
                             << "unknown";
    QTest::newRow("garbled number") << "MemTotal: lots kB\n"
                                    << "unknown";
    QTest::newRow("unexpected unit") << "MemTotal: 12 pages\n"
                                     << "unknown";
    QTest::newRow("empty") << ""
                           << "unknown";
}

void TestSystemFacts::memory() {
    QFETCH(QString, memInfo);
    QFETCH(QString, expected);
    QCOMPARE(memoryDescription(memInfo), expected);
}

void TestSystemFacts::byteSizes_data() {
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty file") << qint64(0) << "0 bytes";
    QTest::newRow("one") << qint64(1) << "1 byte";
    QTest::newRow("just below a kibibyte") << qint64(1023) << "1023 bytes";
    QTest::newRow("a kibibyte") << qint64(1024) << "1.0 KiB";
    QTest::newRow("one and a half mebibytes") << qint64(1572864) << "1.5 MiB";
    QTest::newRow("beyond 32 bits") << qint64(5) * 1024 * 1024 * 1024 << "5.0 GiB";
}

void TestSystemFacts::byteSizes() {
    QFETCH(qint64, bytes);
    QFETCH(QString, expected);
    QCOMPARE(byteSizeText(bytes), expected);
}

void TestSystemFacts::databaseRows_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("sizeText");
    QTest::newRow("present") << true << "3.0 KiB";
    QTest::newRow("absent") << false << "no such file";
}

void TestSystemFacts::databaseRows() {
    QFETCH(bool, present);
    QFETCH(QString, sizeText);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (present) {
        QFile database(dir.filePath("tavirelmonkas.db"));
        QVERIFY(database.open(QIODevice::WriteOnly));
        database.write(QByteArray(3072, 'x'));
    }
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const SystemSnapshot snapshot = takeSystemSnapshot("tavirelmonkas.db");
    QDir::setCurrent(previous);

    const QList<SystemFact> facts = systemFacts(snapshot);
    QCOMPARE(facts.size(), 7);
    QCOMPARE(facts[5],
             (SystemFact{"Database file", QDir(dir.path()).filePath("tavirelmonkas.db")}));
    QCOMPARE(facts[6], (SystemFact{"Database size", sizeText}));
    QCOMPARE(facts[4].value, QString::fromLatin1(qVersion()));
}

void TestSystemFacts::emptySnapshotSaysUnknown() {
    for (const SystemFact& fact : systemFacts(SystemSnapshot{})) {
        QVERIFY2(!fact.value.isEmpty(), qPrintable(fact.name));
        QVERIFY2(!fact.name.isEmpty(), qPrintable(fact.value));
    }
}

QTEST_MAIN(TestSystemFacts)
#include "tst_systemfacts.moc"
