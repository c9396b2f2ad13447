#include "alerts/AreaFile.h"
#include "app/Error.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray squareFeature(const QString& name, double west) {
    return QStringLiteral(R"({"type":"Feature","properties":{"name":"%1"},)"
                          R"("geometry":{"type":"Polygon","coordinates":)"
                          R"([[[%2,0],[%3,0],[%3,1],[%2,1],[%2,0]]]}})")
        .arg(name)
        .arg(west)
        .arg(west + 0.5)
        .toUtf8();
}

QByteArray collection(const QList<QByteArray>& features) {
    return R"({"type":"FeatureCollection","features":[)" + features.join(',') + "]}";
}

} // namespace

class TestAreaFile : public QObject {
    Q_OBJECT

private slots:
    void writtenAreasReadBackTheSame();
    void badFilesAreOneMessage_data();
    void badFilesAreOneMessage();
    void tenThousandAreas();
    void readNamesTheFile();
};

void TestAreaFile::writtenAreasReadBackTheSame() {
    Area yard = Area::polygon(R"(<b>Yard</b> & "depot")",
                              {{{0, 0}, {0, 4}, {4, 4}, {4, 0}}, {{1, 1}, {1, 2}, {2, 2}, {2, 1}}});
    yard.setRule(AreaRule::Enter);
    yard.setRadios({AreaRadios::Kind::Members, 0, {12, 14}});
    yard.setShown(false);
    Area gate = Area::circle("Gate", {41.0123456789, 28.9876543219}, 150.5);
    gate.setRule(AreaRule::Leave);
    gate.setRadios({AreaRadios::Kind::Project, 3, {}});
    const Area plain = Area::polygon("plain", {{{0, 179}, {0, -179}, {1, -179}}});
    // A longitude a turn away: the file's closing repeat of the first point
    // must not come back as a point of its own a rounding error off it.
    const Area wound = Area::polygon("wound", {{{45, 30.5}, {40, 29.6}, {40.1, 26.6}, {40, 306}}});

    const std::vector<Area> back = AreaFile::parse(AreaFile::toJson({yard, gate, plain, wound}));

    QCOMPARE(back.size(), size_t(4));
    QCOMPARE(back[0].name(), yard.name());
    QCOMPARE(back[0].kind(), Area::Kind::Polygon);
    QCOMPARE(back[0].rings(), yard.rings());
    QCOMPARE(back[0].rule(), AreaRule::Enter);
    QCOMPARE(back[0].radios(), yard.radios());
    QCOMPARE(back[0].isShown(), false);
    QCOMPARE(back[1].kind(), Area::Kind::Circle);
    QCOMPARE(back[1].centre(), gate.centre());
    QCOMPARE(back[1].radiusMetres(), 150.5);
    QCOMPARE(back[1].rule(), AreaRule::Leave);
    QCOMPARE(back[1].radios(), gate.radios());
    QCOMPARE(back[2].rule(), AreaRule::Both);
    QCOMPARE(back[2].radios(), AreaRadios());
    QVERIFY(back[2].isShown());
    QVERIFY(back[2].contains({0.5, 180}));
    QCOMPARE(back[3].rings(), wound.rings());
}

void TestAreaFile::badFilesAreOneMessage_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty") << QByteArray(" \n") << "the file is empty";
    QTest::newRow("not JSON") << QByteArray("name,lat,lng\nDepot,1,2\n")
                              << "it is not JSON (illegal value at character 1)";
    QTest::newRow("JSON, not GeoJSON")
        << QByteArray(R"({"areas":[]})") << "it is not a GeoJSON FeatureCollection";
    QTest::newRow("one Feature, not a collection")
        << squareFeature("a", 0) << "it is not a GeoJSON FeatureCollection";
    // A good first feature is not kept when the second fails.
    QTest::newRow("a crossing polygon after a good one")
        << collection({squareFeature("a", 0),
                       R"({"type":"Feature","properties":{"name":"bow"},"geometry":{"type":)"
                       R"("Polygon","coordinates":[[[0,0],[1,1],[1,0],[0,1],[0,0]]]}})"})
        << "feature 2: Area \"bow\" is not a simple polygon: its edges cross each other.";
    QTest::newRow("a line") << collection({R"({"type":"Feature","geometry":{"type":"LineString",)"
                                           R"("coordinates":[[0,0],[1,1]]}})"})
                            << "feature 1: its geometry is not a Polygon or a Point with a radius";
    QTest::newRow("a point without a radius")
        << collection({R"({"type":"Feature","geometry":{"type":"Point","coordinates":[0,0]}})"})
        << "feature 1: a Point needs a \"radius\" in metres to be a circle";
    QTest::newRow("a position of text")
        << collection({R"({"type":"Feature","geometry":{"type":"Polygon",)"
                       R"("coordinates":[[["0","0"],[1,0],[1,1]]]}})"})
        << "feature 1: a position is not a [longitude, latitude] pair";
    QTest::newRow("an unknown rule")
        << collection(
               {squareFeature("a", 0).replace(R"("name":"a")", R"("name":"a","rule":"inside")")})
        << "feature 1: its \"rule\" is not \"enter\", \"leave\" or \"both\"";
    QTest::newRow("radios of another form")
        << collection(
               {squareFeature("a", 0).replace(R"("name":"a")", R"("name":"a","radios":[1,2])")})
        << "feature 1: its \"radios\" is not \"all\", {\"project\": id} or {\"members\": [...]}";
}

void TestAreaFile::badFilesAreOneMessage() {
    QFETCH(QByteArray, json);
    QFETCH(QString, message);
    try {
        AreaFile::parse(json);
        QFAIL("the file was taken");
    } catch (const Error& error) {
        QCOMPARE(error.message(), message);
    }
}

void TestAreaFile::tenThousandAreas() {
    QList<QByteArray> features;
    for (int k = 0; k < 10000; ++k)
        features.append(squareFeature(QString::number(k), -170 + k * 0.03));
    const std::vector<Area> areas = AreaFile::parse(collection(features));
    QCOMPARE(areas.size(), size_t(10000));
    QCOMPARE(areas.back().name(), "9999");
    QVERIFY(AreaFile::parse(collection({})).empty());
}

void TestAreaFile::readNamesTheFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("areas.geojson");
    try {
        AreaFile::read(path);
        QFAIL("a missing file was read");
    } catch (const Error& error) {
        QCOMPARE(error.message(), QStringLiteral("The areas file \"%1\" could not be opened: the "
                                                 "file does not exist.")
                                      .arg(path));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(collection({squareFeature("a", 0)}));
    file.close();
    QCOMPARE(AreaFile::read(path).size(), size_t(1));
    QVERIFY_THROWS_EXCEPTION(Error, AreaFile::read(dir.path()));
}

QTEST_APPLESS_MAIN(TestAreaFile)
#include "tst_areafile.moc"
