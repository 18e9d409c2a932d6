#include <QImage>
#include <QObject>
#include <QTest>

// The icon theme's PNGs: the 32 x 32 icon itself and its enlargements, in which every pixel of
// the icon became a square block of one colour, with no blur and no transparency.
class TestIconSizes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyPixelBecomesABlock_data();
    void everyPixelBecomesABlock();
};

void TestIconSizes::everyPixelBecomesABlock_data()
{
    QTest::addColumn<int>("size");
    for (const int size : { 32, 64, 128, 256 })
        QTest::addRow("%dx%d", size, size) << size;
}

void TestIconSizes::everyPixelBecomesABlock()
{
    QFETCH(const int, size);
    const QImage icon
        = QImage(QStringLiteral(KEYFALL_ICON_BMP)).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(icon.size(), QSize(32, 32));
    const QImage themeIcon(
        QStringLiteral(KEYFALL_ICON_THEME_DIR "/%1x%1/apps/" KEYFALL_APP_ID ".png").arg(size));
    QCOMPARE(themeIcon.size(), QSize(size, size));
    QVERIFY(!themeIcon.hasAlphaChannel());

    const int block = size / icon.width();
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (themeIcon.pixel(x, y) != icon.pixel(x / block, y / block))
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is not the icon's (%3, %4)")
                                     .arg(x)
                                     .arg(y)
                                     .arg(x / block)
                                     .arg(y / block)));
        }
    }
}

QTEST_GUILESS_MAIN(TestIconSizes)
#include "test_icon_sizes.moc"
