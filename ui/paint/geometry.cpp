#include "ui/paint/geometry.h"

#include <cmath>

namespace keyfall {

namespace {
    constexpr double kTwipsPerPixel = 15;
}

int toPixels(float twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QPoint toPixels(float x, float y) { return { toPixels(x), toPixels(y) }; }

// Both edges are rounded, so that controls that meet in twips also meet in pixels.
QRect toPixelRect(float left, float top, float width, float height)
{
    return QRect(toPixels(left, top), toPixels(left + width, top + height) - QPoint(1, 1));
}

}
