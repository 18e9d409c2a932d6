#pragma once

#include "game/colour.h"

#include <QColor>

namespace keyfall {

// The colour a form colour stands for, system colour references resolved to the classic
// Windows scheme, so the game looks the same on every desktop.
QColor toQColor(Colour colour);

// The classic three-dimensional edge colours of buttons and greyed text.
namespace classic {
    constexpr Colour kHighlight = 0xFFFFFF;
    constexpr Colour kShadow = 0x808080;
    constexpr Colour kDarkShadow = 0x000000;
}

}
