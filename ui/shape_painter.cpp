#include "ui/shape_painter.h"

#include "game/controls.h"
#include "ui/colours.h"
#include "ui/geometry.h"

#include <QPainter>
#include <algorithm>

namespace keyfall {

namespace {

    QBrush fillBrush(const Shape& shape)
    {
        switch (shape.fill) {
        case FillStyle::Solid:
            return QBrush(toQColor(shape.FillColor));
        case FillStyle::DiagonalCross:
            return QBrush(toQColor(shape.FillColor), Qt::DiagCrossPattern);
        case FillStyle::Transparent:
            break;
        }
        return Qt::NoBrush;
    }

    // The corners of a rounded rectangle curve over a sixth of its shorter side.
    constexpr int kCornerFraction = 6;

}

void paintShape(QPainter& painter, const Shape& shape)
{
    const QRect area = placeOf(shape);
    if (shape.OpaqueBack)
        painter.fillRect(area, toQColor(shape.BackColor));
    painter.setPen(toQColor(shape.BorderColor));
    painter.setBrush(fillBrush(shape));
    const QRect outline = area.adjusted(0, 0, -1, -1);
    if (shape.kind == ShapeKind::RoundedRectangle) {
        const int radius = std::min(area.width(), area.height()) / kCornerFraction;
        painter.drawRoundedRect(outline, radius, radius);
    } else {
        painter.drawRect(outline);
    }
}

void paintLine(QPainter& painter, const Line& line)
{
    painter.setPen(toQColor(line.BorderColor));
    painter.drawLine(toPixels(line.X1, line.Y1), toPixels(line.X2, line.Y2));
}

}
