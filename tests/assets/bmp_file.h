#pragma once

#include <QString>
#include <compare>
#include <optional>
#include <vector>

namespace keyfall::test {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    auto operator<=>(const Rgb&) const = default;
};

struct BmpFile {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int pixelsPerMetre = 0;
    std::vector<Rgb> palette;
    // Row by row from the top.
    std::vector<Rgb> pixels;

    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// Reads an uncompressed bottom-up BMP of 4 or 24 bits per pixel with a 40-byte info header;
// nothing for any other file.
std::optional<BmpFile> readBmp(const QString& path);

}
