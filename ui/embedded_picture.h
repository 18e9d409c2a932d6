#pragma once

#include <cstdint>

namespace keyfall {

// A picture built into the program, made from its asset when the program is built. The starfield
// is four-fifths black sky, so a picture is held as its background colour and, row by row from
// the top and each row from the left, its other pixels in 16 bits each: the column, shifted left
// by kColourBits, and the pixel's place in the palette. That is a tenth of the bytes of all its
// pixels. Colours are opaque 0xffRRGGBB.
struct EmbeddedPicture {
    static constexpr int kColourBits = 5;
    static constexpr int kMostColours = 1 << kColourBits;
    static constexpr int kWidest = 1 << (16 - kColourBits);

    int width;
    int height;
    std::uint32_t background;
    const std::uint32_t* palette;
    const std::uint16_t* pixels;
    // height + 1 entries: row y's pixels are those from rowStarts[y] up to rowStarts[y + 1].
    const std::uint32_t* rowStarts;
};

extern const EmbeddedPicture kStarfield;
extern const EmbeddedPicture kWindowIcon;

}
