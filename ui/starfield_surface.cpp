#include "ui/starfield_surface.h"

#include "ui/artwork.h"
#include "ui/colours.h"

#include <QPainter>

namespace keyfall {

StarfieldSurface::StarfieldSurface(const Form1& form, QWidget* parent)
    : ControlSurface(form, Container::Form1, parent)
    , starfield_(starfieldPicture())
{
}

void StarfieldSurface::paintBackground(QPainter& painter)
{
    painter.fillRect(rect(), toQColor(colour::kDarkTeal));
    painter.drawPixmap(0, 0, starfield_);
}

}
