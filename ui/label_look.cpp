#include "ui/label_look.h"

#include "game/controls.h"
#include "ui/colours.h"
#include "ui/fonts.h"
#include "ui/geometry.h"

#include <QFontMetrics>
#include <QPainter>

namespace keyfall {

namespace {

    bool sameFont(const Font& a, const Font& b)
    {
        return a.Name == b.Name && a.Size == b.Size && a.Bold == b.Bold;
    }

    void drawText(QPainter& painter, const LabelLook& look, const QRect& area, Colour colour)
    {
        const int flags = Qt::AlignTop | (look.centred ? Qt::AlignHCenter : Qt::AlignLeft)
            | (look.wraps ? Qt::TextWordWrap : Qt::TextSingleLine);
        painter.setPen(toQColor(colour));
        painter.drawText(area, flags, look.caption);
    }

}

LabelLook lookOf(const Label& label) { return LabelLookCache().lookOf(label); }

const QFont& LabelLookCache::fontOf(const Font& font)
{
    if (!hasFont_ || !sameFont(font, font_)) {
        font_ = font;
        qfont_ = toQFont(font);
        hasFont_ = true;
        hasMeasured_ = false;
    }
    return qfont_;
}

QSize LabelLookCache::textSize(const Label& label)
{
    if (!hasMeasured_ || label.Caption != measuredCaption_) {
        const QFontMetrics metrics(qfont_);
        measuredSize_ = QSize(metrics.horizontalAdvance(label.Caption), metrics.height());
        measuredCaption_ = label.Caption;
        hasMeasured_ = true;
    }
    return measuredSize_;
}

// A hidden auto-size label is not measured, so that a font only it uses is not loaded before it
// is shown.
LabelLook LabelLookCache::lookOf(const Label& label)
{
    LabelLook look;
    look.visible = label.Visible;
    look.font = fontOf(label.font);
    if (!label.AutoSize)
        look.rect = placeOf(label);
    else if (label.Visible)
        look.rect = QRect(toPixels(label.Left, label.Top), textSize(label));
    look.caption = label.Caption;
    look.fore = label.ForeColor;
    look.back = label.BackColor;
    look.transparent = label.Transparent;
    look.centred = label.Centred;
    look.wraps = !label.AutoSize;
    look.bordered = label.BorderStyle == Border::FixedSingle;
    look.enabled = label.Enabled;
    return look;
}

void paintLabel(QPainter& painter, const LabelLook& look)
{
    if (!look.visible)
        return;
    painter.save();
    painter.setClipRect(look.rect, Qt::IntersectClip);
    if (!look.transparent)
        painter.fillRect(look.rect, toQColor(look.back));
    painter.setFont(look.font);
    const QRect textArea = look.bordered ? look.rect.adjusted(1, 1, -1, -1) : look.rect;
    if (look.enabled) {
        drawText(painter, look, textArea, look.fore);
    } else {
        drawText(painter, look, textArea.translated(1, 1), classic::kHighlight);
        drawText(painter, look, textArea, classic::kShadow);
    }
    if (look.bordered) {
        painter.setPen(toQColor(colour::kWindowFrame));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(look.rect.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

}
