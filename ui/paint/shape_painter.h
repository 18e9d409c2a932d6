#pragma once

class QColor;
class QPainter;
class QRect;

namespace keyfall {

struct Shape;
struct Line;

// Shapes and lines are drawn with a one-pixel border inside their rectangle.
void paintShape(QPainter& painter, const Shape& shape);
void paintLine(QPainter& painter, const Line& line);

// The one-pixel border inside the rectangle, the pixels QPainter::drawRect() strokes around the
// rectangle one pixel smaller, filled as four strips: stroking it costs far more.
void paintBorder(QPainter& painter, const QRect& rect, const QColor& colour);

}
