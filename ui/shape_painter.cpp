#include "ui/shape_painter.h"

#include "game/controls.h"
#include "ui/colours.h"
#include "ui/geometry.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

namespace keyfall {

namespace {

    constexpr int kHatchTile = 8;

    // The standard diagonal cross-hatch: both diagonals of an 8 x 8 tile. It is a picture rather
    // than a pattern brush so that it scales with the rest of the window on a high-DPI screen.
    QBrush diagonalCrossHatch(const QColor& colour)
    {
        QImage tile(kHatchTile, kHatchTile, QImage::Format_ARGB32);
        tile.fill(Qt::transparent);
        for (int i = 0; i < kHatchTile; ++i) {
            tile.setPixelColor(i, i, colour);
            tile.setPixelColor(kHatchTile - 1 - i, i, colour);
        }
        return QBrush(tile);
    }

    QBrush fillBrush(const Shape& shape)
    {
        switch (shape.fill) {
        case FillStyle::Solid:
            return QBrush(toQColor(shape.FillColor));
        case FillStyle::DiagonalCross:
            return diagonalCrossHatch(toQColor(shape.FillColor));
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
