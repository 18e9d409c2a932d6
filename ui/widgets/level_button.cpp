#include "ui/widgets/level_button.h"

#include "game/controls.h"
#include "ui/paint/colours.h"
#include "ui/paint/fonts.h"
#include "ui/paint/geometry.h"
#include "ui/paint/shape_painter.h"

#include <QPainter>

namespace keyfall {

namespace {

    // One ring of a bevel: `topLeft` along the top and left edges, `bottomRight` along the others.
    void drawEdge(QPainter& painter, const QRect& ring, Colour topLeft, Colour bottomRight)
    {
        const StrokeThroughPixels middles(painter);
        painter.setPen(toQColor(topLeft));
        painter.drawLine(ring.bottomLeft(), ring.topLeft());
        painter.drawLine(ring.topLeft(), ring.topRight());
        painter.setPen(toQColor(bottomRight));
        painter.drawLine(ring.topRight(), ring.bottomRight());
        painter.drawLine(ring.bottomRight(), ring.bottomLeft());
    }

}

LevelButton::LevelButton(
    const CommandButton& button, bool chosen, const QString& name, QWidget* parent)
    : QPushButton(parent)
    , back_(toQColor(button.BackColor))
{
    // The caption is set once the button is a level button, so that assistive technology, which
    // may ask about the button as its caption is set, finds it as one.
    setText(button.Caption);
    setObjectName(name);
    setCheckable(true);
    setAutoExclusive(true);
    setChecked(chosen);
    setGeometry(placeOf(button));
    setFont(toQFont(windowFont()));
}

void LevelButton::setBackColour(const QColor& colour)
{
    if (colour == back_)
        return;
    back_ = colour;
    update();
}

// Raised: highlight and shadow rings; pressed: a dark frame with the caption one pixel lower.
void LevelButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), back_);
    const QRect outer = rect();
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    QRect caption = rect();
    if (isDown()) {
        drawEdge(painter, outer, classic::kDarkShadow, classic::kDarkShadow);
        drawEdge(painter, inner, classic::kShadow, classic::kShadow);
        caption.translate(1, 1);
    } else {
        drawEdge(painter, outer, classic::kHighlight, classic::kDarkShadow);
        drawEdge(painter, inner, colour::kGrey, classic::kShadow);
    }
    painter.setPen(toQColor(colour::kButtonText));
    painter.drawText(caption, Qt::AlignCenter, text());
    if (hasFocus()) {
        const StrokeThroughPixels middles(painter);
        painter.setPen(QPen(toQColor(colour::kButtonText), 1, Qt::DotLine));
        painter.drawRect(outer.adjusted(3, 3, -4, -4));
    }
}

}
