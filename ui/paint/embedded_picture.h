#pragma once

#include <cstdint>

namespace keyfall {

// A picture built into the program, made from its asset when the program is built: opaque pixels
// as 0xffRRGGBB, row by row from the top.
struct EmbeddedPicture {
    int width;
    int height;
    const std::uint32_t* pixels;
};

extern const EmbeddedPicture kStarfield;
extern const EmbeddedPicture kWindowIcon;

}
