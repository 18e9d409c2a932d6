#include "ui/paint/fonts.h"

#include <cmath>

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

namespace {

    constexpr double kPixelsPerPoint = 96.0 / 72.0;

    // A free font stands in for each Windows font the form names, with the Windows font second in
    // line for a machine that has it and lacks the free one. Asking for the free font by name
    // spares the font database a failed search for the Windows font and a search of fallbacks.
    QStringList familiesFor(const QString& windowsFamily)
    {
        if (windowsFamily == u"Times New Roman"_s)
            return { u"Liberation Serif"_s, windowsFamily };
        if (windowsFamily == u"Comic Sans MS"_s)
            return { u"Comic Neue"_s, windowsFamily };
        if (windowsFamily == u"MS Sans Serif"_s)
            return { u"Liberation Sans"_s, windowsFamily };
        return { windowsFamily };
    }

}

int pixelSize(double points) { return static_cast<int>(std::lround(points * kPixelsPerPoint)); }

QFont toQFont(const Font& font)
{
    QFont qfont;
    qfont.setFamilies(familiesFor(font.Name));
    qfont.setPixelSize(pixelSize(font.Size));
    qfont.setWeight(font.Bold ? QFont::Bold : QFont::Normal);
    // The form's own captions are plain ASCII, which every font that stands in has: no search for
    // fonts to borrow missing characters from.
    qfont.setStyleStrategy(QFont::NoFontMerging);
    return qfont;
}

QFont toTypingFont(const Font& font)
{
    QFont qfont = toQFont(font);
    qfont.setStyleStrategy(QFont::PreferDefault);
    return qfont;
}

}
