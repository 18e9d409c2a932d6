#include "ui/fonts.h"

#include <cmath>

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

namespace {
    constexpr double kPixelsPerPoint = 96.0 / 72.0;
}

Font formFont() { return { u"MS Sans Serif"_s, 8.25, false }; }

int pixelSize(double points) { return static_cast<int>(std::lround(points * kPixelsPerPoint)); }

QFont toQFont(const Font& font)
{
    QFont qfont(font.Name);
    qfont.setPixelSize(pixelSize(font.Size));
    qfont.setWeight(font.Bold ? QFont::Bold : QFont::Normal);
    return qfont;
}

}
