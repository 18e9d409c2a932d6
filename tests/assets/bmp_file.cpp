#include "bmp_file.h"

#include "little_endian.h"

#include <QFile>

namespace keyfall::test {

namespace {

    constexpr qsizetype kInfoHeaderOffset = 14;
    constexpr qsizetype kPaletteOffset = kInfoHeaderOffset + 40;

    Rgb colourAt(const QByteArray& bytes, qsizetype offset)
    {
        return { static_cast<std::uint8_t>(bytes[offset + 2]),
            static_cast<std::uint8_t>(bytes[offset + 1]),
            static_cast<std::uint8_t>(bytes[offset]) };
    }

}

std::optional<BmpFile> readBmp(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const auto field
        = [&](qsizetype offset, int size) { return littleEndian(bytes, offset, size).value_or(0); };
    if (!bytes.startsWith("BM") || field(kInfoHeaderOffset, 4) != 40 || field(30, 4) != 0)
        return std::nullopt;

    BmpFile bmp;
    bmp.width = static_cast<int>(field(18, 4));
    bmp.height = static_cast<int>(field(22, 4));
    bmp.bitsPerPixel = static_cast<int>(field(28, 2));
    bmp.pixelsPerMetre = static_cast<int>(field(38, 4));
    if (bmp.bitsPerPixel != 4 && bmp.bitsPerPixel != 24)
        return std::nullopt;
    if (bmp.bitsPerPixel == 4) {
        const int colours = field(46, 4) == 0 ? 16 : static_cast<int>(field(46, 4));
        for (int i = 0; i < colours; ++i)
            bmp.palette.push_back(colourAt(bytes, kPaletteOffset + 4 * i));
    }

    if (bmp.width <= 0 || bmp.height <= 0)
        return std::nullopt;
    const FileOffset pixelOffset = field(10, 4);
    const FileOffset rowSize = (FileOffset(bmp.width) * FileOffset(bmp.bitsPerPixel) + 31) / 32 * 4;
    if (pixelOffset + rowSize * FileOffset(bmp.height) > FileOffset(bytes.size()))
        return std::nullopt;
    for (int y = 0; y < bmp.height; ++y) {
        const auto row = qsizetype(pixelOffset + rowSize * FileOffset(bmp.height - 1 - y));
        for (int x = 0; x < bmp.width; ++x) {
            if (bmp.bitsPerPixel == 24) {
                bmp.pixels.push_back(colourAt(bytes, row + 3 * x));
                continue;
            }
            const auto pair = static_cast<std::uint8_t>(bytes[row + x / 2]);
            const std::size_t index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
            if (index >= bmp.palette.size())
                return std::nullopt;
            bmp.pixels.push_back(bmp.palette[index]);
        }
    }
    return bmp;
}

}
