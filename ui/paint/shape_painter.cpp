#include "ui/paint/shape_painter.h"

#include "game/controls.h"
#include "ui/paint/colours.h"
#include "ui/paint/geometry.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

namespace keyfall {

namespace {

    constexpr int kHatchTile = 8;

    // The standard diagonal cross-hatch: both diagonals of an 8 x 8 tile. It is a picture rather
    // than a pattern brush so that it scales with the rest of the window on a high-DPI screen.
    // The brush of the last colour asked for is kept: the status bar's hatch is repainted with
    // every change of its captions.
    QBrush diagonalCrossHatch(const QColor& colour)
    {
        static QColor madeFor;
        static QBrush made;
        if (made.style() == Qt::TexturePattern && madeFor == colour)
            return made;
        QImage tile(kHatchTile, kHatchTile, QImage::Format_ARGB32);
        tile.fill(Qt::transparent);
        for (int i = 0; i < kHatchTile; ++i) {
            tile.setPixelColor(i, i, colour);
            tile.setPixelColor(kHatchTile - 1 - i, i, colour);
        }
        madeFor = colour;
        made = QBrush(tile);
        return made;
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
    const QRect outline = area.adjusted(0, 0, -1, -1);
    if (shape.kind == ShapeKind::RoundedRectangle) {
        const int radius = std::min(area.width(), area.height()) / kCornerFraction;
        const StrokeThroughPixels middles(painter);
        painter.setPen(toQColor(shape.BorderColor));
        painter.setBrush(fillBrush(shape));
        painter.drawRoundedRect(outline, radius, radius);
        return;
    }
    if (const QBrush brush = fillBrush(shape); brush.style() != Qt::NoBrush)
        painter.fillRect(outline, brush);
    paintBorder(painter, area, toQColor(shape.BorderColor));
}

void paintBorder(QPainter& painter, const QRect& rect, const QColor& colour)
{
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), colour);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), colour);
}

void paintLine(QPainter& painter, const Line& line)
{
    const StrokeThroughPixels middles(painter);
    painter.setPen(toQColor(line.BorderColor));
    painter.drawLine(toPixels(line.X1, line.Y1), toPixels(line.X2, line.Y2));
}

StrokeThroughPixels::StrokeThroughPixels(QPainter& painter)
    : painter_(painter)
{
    painter_.save();
    painter_.translate(0.5, 0.5);
}

StrokeThroughPixels::~StrokeThroughPixels() { painter_.restore(); }

}
