#include "ui/views/ClusterSetting.h"
#include "ui/views/MapViewMode.h"

#include <QTest>

// The optional INI keys of the map's view: what each value starts with, and a
// message naming the key and the value for anything unusable.
class TestViewSettings : public QObject {
    Q_OBJECT
private slots:
    void mapView_data();
    void mapView();
    void clusterRadios_data();
    void clusterRadios();
};

void TestViewSettings::mapView_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("problem");
    QTest::newRow("missing key") << "" << int(MapViewMode::FollowLast) << false;
    QTest::newRow("follow") << "FollowLast" << int(MapViewMode::FollowLast) << false;
    QTest::newRow("fit, any case") << "fitall" << int(MapViewMode::FitAll) << false;
    QTest::newRow("keep") << "KEEPMINE" << int(MapViewMode::KeepMine) << false;
    QTest::newRow("caption instead of name")
        << "Keep my view" << int(MapViewMode::FollowLast) << true;
    QTest::newRow("number") << "2" << int(MapViewMode::FollowLast) << true;
}

void TestViewSettings::mapView() {
    QFETCH(QString, value);
    QFETCH(int, mode);
    QFETCH(bool, problem);
    const MapViewSetting read = MapViewSetting::fromIni(value);
    QCOMPARE(int(read.mode), mode);
    QCOMPARE(!read.problem.isEmpty(), problem);
    if (problem)
        QVERIFY(read.problem.contains("MapView") && read.problem.contains(value));
}

void TestViewSettings::clusterRadios_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("on");
    QTest::addColumn<bool>("problem");
    QTest::newRow("missing key") << "" << false << false;
    for (const char* word : {"1", "true", "True", "YES", "on"})
        QTest::addRow("%s", word) << word << true << false;
    for (const char* word : {"0", "false", "No", "OFF"})
        QTest::addRow("%s", word) << word << false << false;
    QTest::newRow("two") << "2" << false << true;
    QTest::newRow("word after it") << "true please" << false << true;
}

void TestViewSettings::clusterRadios() {
    QFETCH(QString, value);
    QFETCH(bool, on);
    QFETCH(bool, problem);
    const ClusterSetting read = ClusterSetting::fromIni(value);
    QCOMPARE(read.on, on);
    QCOMPARE(!read.problem.isEmpty(), problem);
    if (problem)
        QVERIFY(read.problem.contains("ClusterRadios") && read.problem.contains(value));
}

QTEST_APPLESS_MAIN(TestViewSettings)
#include "tst_viewsettings.moc"
