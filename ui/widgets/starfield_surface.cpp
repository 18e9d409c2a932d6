#include "ui/widgets/starfield_surface.h"

#include "ui/paint/artwork.h"
#include "ui/paint/colours.h"

#include <QPainter>

namespace keyfall {

StarfieldSurface::StarfieldSurface(const Form1& form, QWidget* parent)
    : ControlSurface(form, Container::Form1, parent)
    , starfield_(starfieldPicture())
{
}

// Only the exposed parts of the picture are drawn, and the teal only where the window has grown
// beyond it.
void StarfieldSurface::paintBackground(QPainter& painter, const QRegion& exposed)
{
    for (const QRect& part : exposed - starfield_.rect())
        painter.fillRect(part, toQColor(colour::kDarkTeal));
    for (const QRect& part : exposed& starfield_.rect())
        painter.drawPixmap(part, starfield_, part);
}

}
