#pragma once

class QPainter;

namespace keyfall {

struct Shape;
struct Line;

// Shapes and lines are drawn with a one-pixel border inside their rectangle.
void paintShape(QPainter& painter, const Shape& shape);
void paintLine(QPainter& painter, const Line& line);

}
