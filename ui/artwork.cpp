#include "ui/artwork.h"

#include <QBuffer>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QResource>
#include <QtEndian>
#include <optional>

// The pictures live in a resource of this static library, which the linker keeps only if it is
// registered by hand; the macro must be used outside any namespace.
static void registerArtwork()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(artwork);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

namespace {

    template <typename Field> Field fieldAt(QByteArrayView bytes, qsizetype offset)
    {
        return qFromLittleEndian<Field>(bytes.data() + offset);
    }

    // An uncompressed 24-bit BMP keeps its rows bottom-up, blue first, each padded to four bytes:
    // that is a QImage upside down, and Qt turns it into the screen's format much faster than its
    // BMP reader, which goes pixel by pixel.
    std::optional<QImage> trueColourBmp(QByteArrayView bytes)
    {
        constexpr qsizetype kHeadersSize = 54;
        if (bytes.size() < kHeadersSize || !bytes.startsWith("BM"))
            return std::nullopt;
        const auto pixelsAt = fieldAt<quint32>(bytes, 10);
        const auto width = fieldAt<qint32>(bytes, 18);
        const auto height = fieldAt<qint32>(bytes, 22);
        const auto bitsPerPixel = fieldAt<quint16>(bytes, 28);
        const auto compression = fieldAt<quint32>(bytes, 30);
        if (bitsPerPixel != 24 || compression != 0 || width <= 0 || height <= 0)
            return std::nullopt;
        const qsizetype bytesPerLine = (qsizetype(width) * 3 + 3) / 4 * 4;
        if (pixelsAt > bytes.size() || bytesPerLine * height > bytes.size() - pixelsAt)
            return std::nullopt;
        const QImage upsideDown(reinterpret_cast<const uchar*>(bytes.data()) + pixelsAt, width,
            height, bytesPerLine, QImage::Format_BGR888);
        return upsideDown.convertToFormat(QImage::Format_RGB32).mirrored();
    }

    // The format is given and not guessed, so Qt does not load its image-format plugins to ask
    // each of them whether it knows the picture.
    QImage bmpPicture(const QString& path)
    {
        registerArtwork();
        const QByteArray bytes = QResource(path).uncompressedData();
        if (std::optional<QImage> picture = trueColourBmp(bytes))
            return *std::move(picture);
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader reader(&buffer, "bmp");
        reader.setAutoDetectImageFormat(false);
        return reader.read();
    }

}

QPixmap starfieldPicture() { return QPixmap::fromImage(bmpPicture(u":/starfield.bmp"_s)); }

QIcon windowIcon() { return QIcon(QPixmap::fromImage(bmpPicture(u":/icon.bmp"_s))); }

}
