#pragma once

#include "game/colour.h"

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace keyfall {

struct Label;

// Everything that decides how a label is drawn, in pixels; two equal looks draw the same pixels.
struct LabelLook {
    bool visible = false;
    QRect rect;
    QString caption;
    QFont font;
    Colour fore = 0;
    Colour back = 0;
    bool transparent = false;
    bool centred = false;
    bool wraps = false;
    bool bordered = false;
    bool enabled = true;

    bool operator==(const LabelLook&) const = default;
};

// How the label looks now. An auto-size label is as wide as its caption and one line of its font
// high, growing right and down from its top-left corner.
LabelLook lookOf(const Label& label);

// Draws the label within its rectangle; a disabled label's text is embossed grey.
void paintLabel(QPainter& painter, const LabelLook& look);

}
