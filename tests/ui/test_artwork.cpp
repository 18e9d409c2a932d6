#include "ui/paint/artwork.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTest>

using namespace keyfall;

namespace {

QImage asScreenPixels(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

QImage assetAsQtReadsIt(const char* path)
{
    return asScreenPixels(QImage(QString::fromUtf8(path)));
}

}

class ArtworkTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void starfieldIsThePictureFileTheRightWayUp()
    {
        const QImage expected = assetAsQtReadsIt(KEYFALL_STARFIELD);
        QCOMPARE(expected.size(), QSize(665, 364));
        QCOMPARE(asScreenPixels(starfieldPicture().toImage()), expected);
    }

    void windowIconIsTheIconFile()
    {
        const QImage expected = assetAsQtReadsIt(KEYFALL_ICON);
        QCOMPARE(expected.size(), QSize(32, 32));
        QCOMPARE(asScreenPixels(windowIcon().pixmap(expected.size()).toImage()), expected);
    }
};

QTEST_MAIN(ArtworkTest)
#include "test_artwork.moc"
