#include "ui/paint/label_look.h"

#include "game/controls.h"
#include "ui/paint/colours.h"
#include "ui/paint/fonts.h"
#include "ui/paint/geometry.h"
#include "ui/paint/shape_painter.h"

#include <QFontMetrics>
#include <QPainter>

namespace keyfall {

namespace {

    bool sameFont(const Font& a, const Font& b)
    {
        return a.Name == b.Name && a.Size == b.Size && a.Bold == b.Bold;
    }

    QRect textArea(const LabelLook& look)
    {
        return look.bordered ? look.rect.adjusted(1, 1, -1, -1) : look.rect;
    }

    // The caption from the top of the area, left-aligned or centred, wrapped at word breaks in a
    // label of fixed size and on one line in an auto-size label.
    QTextOption textOption(const LabelLook& look)
    {
        QTextOption option(Qt::AlignTop | (look.centred ? Qt::AlignHCenter : Qt::AlignLeft));
        option.setWrapMode(look.wraps ? QTextOption::WordWrap : QTextOption::NoWrap);
        return option;
    }

    qreal textWidth(const LabelLook& look)
    {
        return look.wraps || look.centred ? textArea(look).width() : -1;
    }

    void drawText(QPainter& painter, const LabelLook& look, const QPoint& at, Colour colour)
    {
        painter.setPen(toQColor(colour));
        painter.drawStaticText(at, look.text);
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
        hasText_ = false;
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

const QStaticText& LabelLookCache::laidOut(const LabelLook& look)
{
    const QTextOption option = textOption(look);
    const qreal width = textWidth(look);
    if (!hasText_ || text_.text() != look.caption || text_.textWidth() != width
        || text_.textOption().alignment() != option.alignment()
        || text_.textOption().wrapMode() != option.wrapMode()) {
        text_ = QStaticText(look.caption);
        text_.setTextFormat(Qt::PlainText);
        text_.setTextOption(option);
        text_.setTextWidth(width);
        text_.prepare(QTransform(), qfont_);
        hasText_ = true;
    }
    return text_;
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
    if (look.visible)
        look.text = laidOut(look);
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
    const QPoint at = textArea(look).topLeft();
    if (look.enabled) {
        drawText(painter, look, at, look.fore);
    } else {
        drawText(painter, look, at + QPoint(1, 1), classic::kHighlight);
        drawText(painter, look, at, classic::kShadow);
    }
    if (look.bordered) {
        const StrokeThroughPixels middles(painter);
        painter.setPen(toQColor(colour::kWindowFrame));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(look.rect.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

}
