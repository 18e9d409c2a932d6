// Writes a picture as C++ source that defines it as an EmbeddedPicture (ui/embedded_picture.h):
// its most common colour as the background, and each other pixel as its column and its place in
// the palette of the other colours.
// Usage: picture_pixels PICTURE NAME OUTPUT.cpp
#include "ui/embedded_picture.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

using keyfall::EmbeddedPicture;

QRgb mostCommonColour(const QImage& picture)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ++counts[picture.pixel(x, y)];
    return std::max_element(counts.keyValueBegin(), counts.keyValueEnd(),
        [](const auto& a, const auto& b) { return a.second < b.second; })
        ->first;
}

}

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fputs("usage: picture_pixels PICTURE NAME OUTPUT.cpp\n", stderr);
        return 2;
    }
    const QImage picture
        = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    if (picture.isNull()) {
        std::fprintf(stderr, "picture_pixels: not a picture: %s\n", argv[1]);
        return 1;
    }
    if (picture.width() > EmbeddedPicture::kWidest) {
        std::fprintf(stderr, "picture_pixels: wider than %d pixels: %s\n", EmbeddedPicture::kWidest,
            argv[1]);
        return 1;
    }
    const QRgb background = mostCommonColour(picture);
    std::vector<QRgb> palette;
    std::vector<unsigned> pixels;
    std::vector<std::size_t> rowStarts { 0 };
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb colour = picture.pixel(x, y);
            if (colour == background)
                continue;
            auto known = std::find(palette.begin(), palette.end(), colour);
            if (known == palette.end()) {
                if (palette.size() == EmbeddedPicture::kMostColours) {
                    std::fprintf(stderr, "picture_pixels: more than %d colours: %s\n",
                        EmbeddedPicture::kMostColours, argv[1]);
                    return 1;
                }
                known = palette.insert(palette.end(), colour);
            }
            pixels.push_back(
                unsigned(x) << EmbeddedPicture::kColourBits | unsigned(known - palette.begin()));
        }
        rowStarts.push_back(pixels.size());
    }

    std::ofstream out(argv[3]);
    out << "#include \"ui/embedded_picture.h\"\n\nnamespace keyfall {\n\nnamespace {\n"
        << "    constexpr std::uint32_t kPalette[] = {\n"
        << std::hex;
    for (const QRgb colour : palette)
        out << "0x" << colour << ',';
    out << std::dec << "\n    };\n    constexpr std::uint16_t kPixels[] = {\n";
    for (std::size_t i = 0; i < pixels.size(); ++i)
        out << pixels[i] << (i % 16 == 15 ? ",\n" : ",");
    out << "\n    };\n    constexpr std::uint32_t kRowStarts[] = {\n";
    for (const std::size_t start : rowStarts)
        out << start << ',';
    out << "\n    };\n}\n\nconst EmbeddedPicture " << argv[2] << " { " << picture.width() << ", "
        << picture.height() << ", 0x" << std::hex << background << std::dec
        << ", kPalette, kPixels, kRowStarts };\n\n}\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "picture_pixels: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
