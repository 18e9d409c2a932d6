#include "ui/widgets/settings_frame.h"

#include "ui/paint/colours.h"
#include "ui/paint/geometry.h"
#include "ui/paint/shape_painter.h"

#include <QPainter>

namespace keyfall {

SettingsFrame::SettingsFrame(const Form1& form, QWidget* parent)
    : ControlSurface(form, Container::Frame1, parent)
    , frame_(form.Frame1)
{
    setGeometry(placeOf(frame_));
}

// The classic etched edge: a shadow line with a highlight line one pixel inside and below it.
void SettingsFrame::paintBackground(QPainter& painter, const QRegion&)
{
    painter.fillRect(rect(), toQColor(frame_.BackColor));
    const QRect edge = rect().adjusted(0, 0, -2, -2);
    const StrokeThroughPixels middles(painter);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(toQColor(classic::kHighlight));
    painter.drawRect(edge.translated(1, 1));
    painter.setPen(toQColor(classic::kShadow));
    painter.drawRect(edge);
}

}
