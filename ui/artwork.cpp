#include "ui/artwork.h"

#include "ui/embedded_picture.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <algorithm>

namespace keyfall {

namespace {

    // Pixels unpacked at a time: sixteen rows of the starfield, or all the rows of a target's
    // place.
    constexpr int kUnpackedRows = 16;

    // Writes the pixels of the area, row after row with nothing between them: the background,
    // then each row's other pixels within the area.
    void unpackInto(const EmbeddedPicture& picture, const QRect& area, std::uint32_t* out)
    {
        constexpr int kBits = EmbeddedPicture::kColourBits;
        constexpr unsigned kColourMask = EmbeddedPicture::kMostColours - 1;
        std::fill_n(out, std::size_t(area.width()) * area.height(), picture.background);
        const int left = area.left();
        const auto first = std::uint16_t(left << kBits);
        const unsigned end = unsigned(area.right() + 1) << kBits;
        for (int y = area.top(); y <= area.bottom(); ++y, out += area.width()) {
            const std::uint16_t* rowEnd = picture.pixels + picture.rowStarts[y + 1];
            for (const std::uint16_t* pixel
                 = std::lower_bound(picture.pixels + picture.rowStarts[y], rowEnd, first);
                 pixel != rowEnd && *pixel < end; ++pixel)
                out[(*pixel >> kBits) - left] = picture.palette[*pixel & kColourMask];
        }
    }

}

QImage unpackedPicture(const EmbeddedPicture& picture)
{
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    unpackInto(picture, image.rect(), reinterpret_cast<std::uint32_t*>(image.bits()));
    return image;
}

PicturePainter::PicturePainter(const EmbeddedPicture& picture)
    : picture_(picture)
{
}

QRect PicturePainter::rect() const { return { 0, 0, picture_.width, picture_.height }; }

// The part is unpacked as many rows at a time as the buffer holds.
void PicturePainter::draw(QPainter& painter, const QRect& part)
{
    const QRect inside = part & rect();
    if (inside.isEmpty())
        return;
    const std::size_t room = std::size_t(picture_.width) * kUnpackedRows;
    if (!pixels_)
        pixels_ = std::make_unique_for_overwrite<std::uint32_t[]>(room);
    const int rows = int(room / std::size_t(inside.width()));
    for (int top = inside.top(); top <= inside.bottom(); top += rows) {
        const QRect area(
            inside.left(), top, inside.width(), std::min(rows, inside.bottom() + 1 - top));
        unpackInto(picture_, area, pixels_.get());
        painter.drawImage(area.topLeft(),
            QImage(reinterpret_cast<const uchar*>(pixels_.get()), area.width(), area.height(),
                area.width() * qsizetype(sizeof(std::uint32_t)), QImage::Format_RGB32));
    }
}

QIcon windowIcon() { return QIcon(QPixmap::fromImage(unpackedPicture(kWindowIcon))); }

}
