#pragma once

#include <QRect>

namespace keyfall {

// The form measures in twips; a logical pixel is 15 twips (96 dots per inch).
int toPixels(float twips);
QPoint toPixels(float x, float y);
QRect toPixelRect(float left, float top, float width, float height);

// Where a control with Left, Top, Width and Height in twips lies, in logical pixels.
template <typename Control> QRect placeOf(const Control& control)
{
    return toPixelRect(control.Left, control.Top, control.Width, control.Height);
}

}
