#include "ui/fonts.h"

#include <cmath>

namespace keyfall {

namespace {
    constexpr double kPixelsPerPoint = 96.0 / 72.0;
}

int pixelSize(double points) { return static_cast<int>(std::lround(points * kPixelsPerPoint)); }

QFont toQFont(const Font& font)
{
    QFont qfont(font.Name);
    qfont.setPixelSize(pixelSize(font.Size));
    qfont.setWeight(font.Bold ? QFont::Bold : QFont::Normal);
    return qfont;
}

}
