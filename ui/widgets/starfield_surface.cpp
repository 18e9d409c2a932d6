#include "ui/widgets/starfield_surface.h"

#include "ui/paint/artwork.h"
#include "ui/paint/colours.h"

#include <QPainter>
#include <algorithm>

namespace keyfall {

StarfieldSurface::StarfieldSurface(const Form1& form, QWidget* parent)
    : ControlSurface(form, Container::Form1, parent)
    , starfield_(starfieldPicture())
{
}

namespace {

    // Qt shares the blending of a picture taller than this out to a pool of threads, which then
    // stay for half a minute with a stack and a malloc arena each; a band this tall is blended
    // on the calling thread at the same cost.
    constexpr int kRowsBlendedAtOnce = 64;

}

// Only the exposed parts of the picture are drawn, and the teal only where the window has grown
// beyond it.
void StarfieldSurface::paintBackground(QPainter& painter, const QRegion& exposed)
{
    for (const QRect& part : exposed - starfield_.rect())
        painter.fillRect(part, toQColor(colour::kDarkTeal));
    for (const QRect& part : exposed& starfield_.rect()) {
        for (int top = part.top(); top <= part.bottom(); top += kRowsBlendedAtOnce) {
            const QRect band(part.left(), top, part.width(),
                std::min(kRowsBlendedAtOnce, part.bottom() + 1 - top));
            painter.drawPixmap(band, starfield_, band);
        }
    }
}

}
