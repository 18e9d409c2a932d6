#include "ui/paint/colours.h"

namespace keyfall {

namespace {

    constexpr Colour kSystemColourFlag = 0x80000000;

    Colour classicSystemColour(Colour reference)
    {
        switch (reference) {
        case colour::kWindowBackground:
        case colour::kHighlightText:
            return colour::kWhite;
        case colour::kActiveBorder:
        case colour::kButtonFace:
            return colour::kGrey;
        default: // window frame, window text, button text
            return colour::kBlack;
        }
    }

}

QColor toQColor(Colour colour)
{
    const Colour value = (colour & kSystemColourFlag) ? classicSystemColour(colour) : colour;
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

}
