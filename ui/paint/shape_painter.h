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

// While it lives, a pen one pixel wide strokes through the middle of the pixels it covers: at a
// device pixel ratio of 2 the pen, two device pixels wide, then covers those pixels doubled, where
// through their corners it would straddle their edges, a device pixel off. At a ratio of 1 it
// covers the same pixels either way.
class StrokeThroughPixels {
public:
    explicit StrokeThroughPixels(QPainter& painter);
    ~StrokeThroughPixels();

    StrokeThroughPixels(const StrokeThroughPixels&) = delete;
    StrokeThroughPixels& operator=(const StrokeThroughPixels&) = delete;

private:
    QPainter& painter_;
};

// The one-pixel border inside the rectangle, the pixels QPainter::drawRect() strokes around the
// rectangle one pixel smaller, filled as four strips: stroking it costs far more.
void paintBorder(QPainter& painter, const QRect& rect, const QColor& colour);

}
