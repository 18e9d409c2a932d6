#pragma once

#include <cstdint>

namespace keyfall {

// A colour as the form stores it: 0x00BBGGRR (red in the low byte), or 0x800000nn for the
// platform's system colour number nn, resolved when drawn.
using Colour = std::uint32_t;

namespace colour {
    constexpr Colour kBlack = 0x000000;
    constexpr Colour kWhite = 0xFFFFFF;
    constexpr Colour kRed = 0x0000FF;
    constexpr Colour kYellow = 0x00FFFF;
    constexpr Colour kLightGreen = 0xC0FFC0;
    constexpr Colour kLightCyan = 0xFFFFC0;
    constexpr Colour kLightMagenta = 0xFFC0FF;
    constexpr Colour kLightRed = 0x8080FF;
    constexpr Colour kGrey = 0xC0C0C0;
    constexpr Colour kPink = 0xFFC0FF;
    constexpr Colour kSkyBlue = 0xFFFF80;
    constexpr Colour kPaleYellow = 0xC0FFFF;
    constexpr Colour kOrange = 0x80C0FF;
    constexpr Colour kSteelBlue = 0xAA8873;
    constexpr Colour kHatchGreen = 0x00C000;
    constexpr Colour kSlateBlue = 0xB59584;
    constexpr Colour kBrown = 0x004080;
    constexpr Colour kDarkGreen = 0x004000;
    constexpr Colour kTargetBack = 0x008000;
    constexpr Colour kDarkTeal = 0x404000;

    // System colour references.
    constexpr Colour kWindowBackground = 0x80000005;
    constexpr Colour kWindowFrame = 0x80000006;
    constexpr Colour kWindowText = 0x80000008;
    constexpr Colour kActiveBorder = 0x8000000A;
    constexpr Colour kHighlightText = 0x8000000E;
    constexpr Colour kButtonFace = 0x8000000F;
    constexpr Colour kButtonText = 0x80000012;
}

}
