#include "ui/widgets/ToolbarImages.h"
#include "ui/widgets/UiArtwork.h"

#include <QImageReader>
#include <QtTest>

class TestArtwork : public QObject {
    Q_OBJECT
private slots:
    void imageListHasNineTransparentPictures();
    void outsideTheListThereIsNoPicture_data();
    void outsideTheListThereIsNoPicture();
    void bannerIsRgbaPngOfItsSize();
    void applicationIconHasEverySize();
    void drawnAgainForTwiceTheDensity();
};

void TestArtwork::imageListHasNineTransparentPictures() {
    const QList<QPixmap> images = ImageList1();
    QCOMPARE(images.size(), 9);
    for (int index = 0; index < images.size(); ++index) {
        const QImage image = images[index].toImage();
        QVERIFY2(!image.isNull(), qPrintable(QString::number(index)));
        QCOMPARE(image.size(), QSize(32, 32));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        int opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                opaque += qAlpha(image.pixel(x, y)) == 255;
        QVERIFY2(opaque > 60, qPrintable(QString::number(index)));
        QCOMPARE(toolbarImage(index).pixmap(32, 32).toImage(), images[index].toImage());
    }
    for (int i = 0; i < images.size(); ++i)
        for (int j = i + 1; j < images.size(); ++j)
            QVERIFY(images[i].toImage() != images[j].toImage());
}

void TestArtwork::outsideTheListThereIsNoPicture_data() {
    QTest::addColumn<int>("index");
    QTest::newRow("negative") << -1;
    QTest::newRow("one past the end") << 9;
}

void TestArtwork::outsideTheListThereIsNoPicture() {
    QFETCH(int, index);
    QVERIFY(toolbarImage(index).isNull());
}

void TestArtwork::bannerIsRgbaPngOfItsSize() {
    QVERIFY(!aboutBanner().isNull());
    QImageReader reader(QStringLiteral(":/ui/images/about-banner.png"));
    QCOMPARE(reader.format(), QByteArray("png"));
    QCOMPARE(reader.size(), QSize(404, 100));
    // 8 bits per channel with alpha; a 16-bit PNG would read as RGBA64.
    QCOMPARE(reader.imageFormat(), QImage::Format_ARGB32);
    const QImage banner = reader.read();
    QCOMPARE(qAlpha(banner.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(banner.pixel(200, 50)), 255);
}

void TestArtwork::applicationIconHasEverySize() {
    const QIcon icon = applicationIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {16, 32, 48, 256})
        QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
}

// At 200 % the pictures come from their own 2x drawings, not an enlarged 1x.
void TestArtwork::drawnAgainForTwiceTheDensity() {
    const QList<QPixmap> plain = ImageList1();
    for (int index = 0; index < toolbarImageCount; ++index) {
        const QPixmap sharp = toolbarImage(index).pixmap(QSize(32, 32), 2.0);
        QCOMPARE(sharp.size(), QSize(64, 64));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        const QImage enlarged =
            plain[index].toImage().scaled(64, 64).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(sharp.toImage().convertToFormat(QImage::Format_ARGB32) != enlarged,
                 qPrintable(QString::number(index)));
    }
    const QPixmap banner = aboutBanner(2.0);
    QCOMPARE(banner.size(), QSize(808, 200));
    QCOMPARE(banner.devicePixelRatio(), 2.0);
    QCOMPARE(aboutBanner().size(), QSize(404, 100));
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
