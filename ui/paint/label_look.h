#pragma once

#include "game/colour.h"
#include "game/controls.h"

#include <QFont>
#include <QRect>
#include <QStaticText>
#include <QString>

class QPainter;

namespace keyfall {

// Everything that decides how a label is drawn, in pixels; two equal looks draw the same pixels.
struct LabelLook {
    bool visible = false;
    QRect rect;
    QString caption;
    QFont font;
    // The caption laid out in the font within the label, kept from paint to paint.
    QStaticText text;
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
// high, growing right and down from its top-left corner; hidden, it takes up no place.
LabelLook lookOf(const Label& label);

// Works out the looks of one label as it changes. The font is made, the caption measured and laid
// out again only when they changed: they are the dearest part of a look and of painting it, and a
// falling target only moves.
class LabelLookCache {
public:
    LabelLook lookOf(const Label& label);

private:
    const QFont& fontOf(const Font& font);
    QSize textSize(const Label& label);
    const QStaticText& laidOut(const LabelLook& look);

    Font font_;
    QFont qfont_;
    bool hasFont_ = false;
    QString measuredCaption_;
    QSize measuredSize_;
    bool hasMeasured_ = false;
    QStaticText text_;
    bool hasText_ = false;
};

// Draws the label within its rectangle; a disabled label's text is embossed grey.
void paintLabel(QPainter& painter, const LabelLook& look);

}
