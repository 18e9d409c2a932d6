#include "ui/artwork.h"
#include "ui/embedded_picture.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QTest>

using namespace keyfall;

namespace {

QImage assetAsQtReadsIt(const char* path)
{
    return QImage(QString::fromUtf8(path)).convertToFormat(QImage::Format_RGB32);
}

constexpr QRgb kUntouched = 0xffff00ff;

}

class ArtworkTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void starfieldIsThePictureFileTheRightWayUp()
    {
        const QImage expected = assetAsQtReadsIt(KEYFALL_STARFIELD);
        QCOMPARE(expected.size(), QSize(665, 364));
        QCOMPARE(unpackedPicture(kStarfield), expected);
    }

    void starfieldPartsAreDrawnWhereTheyLieAndNowhereElse_data()
    {
        QTest::addColumn<QList<QRect>>("parts");
        QTest::newRow("a target falling, a caption between") << QList<QRect> { { 301, 77, 64, 88 },
            { 5, 330, 120, 30 }, { 301, 0, 64, 120 }, { 320, 300, 20, 64 } };
        QTest::newRow("parts that overlap") << QList<QRect> { { 100, 0, 50, 90 },
            { 101, 5, 50, 80 }, { 100, 100, 10, 70 }, { 200, 200, 10, 5 }, { 105, 300, 4, 10 } };
        QTest::newRow("the full width, more rows than are unpacked at once")
            << QList<QRect> { { 0, 10, 665, 40 } };
        QTest::newRow("a lone pixel") << QList<QRect> { { 123, 200, 1, 1 } };
        QTest::newRow("over the right and bottom edges")
            << QList<QRect> { { 600, 330, 100, 60 }, { 10, 300, 300, 100 } };
        QTest::newRow("the whole picture") << QList<QRect> { { 0, 0, 665, 364 } };
        QTest::newRow("beyond the picture") << QList<QRect> { { 665, 0, 30, 30 } };
    }

    // Each row's parts are drawn in turn by one painter, as the window's paints come.
    void starfieldPartsAreDrawnWhereTheyLieAndNowhereElse()
    {
        QFETCH(QList<QRect>, parts);
        const QImage expected = assetAsQtReadsIt(KEYFALL_STARFIELD);
        QImage canvas(expected.size() + QSize(40, 40), QImage::Format_RGB32);
        canvas.fill(kUntouched);
        PicturePainter picture(kStarfield);
        QRegion drawn;
        {
            QPainter painter(&canvas);
            for (const QRect& part : parts) {
                picture.draw(painter, part);
                drawn += part & expected.rect();
            }
        }
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) {
                const QRgb want = drawn.contains(QPoint(x, y)) ? expected.pixel(x, y) : kUntouched;
                if (canvas.pixel(x, y) != want)
                    QFAIL(qPrintable(QStringLiteral("pixel (%1, %2)").arg(x).arg(y)));
            }
    }

    void windowIconIsTheIconFile()
    {
        const QImage expected = assetAsQtReadsIt(KEYFALL_ICON);
        QCOMPARE(expected.size(), QSize(32, 32));
        QCOMPARE(
            windowIcon().pixmap(expected.size()).toImage().convertToFormat(QImage::Format_RGB32),
            expected);
    }
};

QTEST_MAIN(ArtworkTest)
#include "test_artwork.moc"
