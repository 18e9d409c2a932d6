#include "ui/widgets/label_widgets.h"

#include "ui/paint/colours.h"
#include "ui/paint/shape_painter.h"

#include <QPainter>
#include <algorithm>

namespace keyfall {

LabelPainting::LabelPainting(const Form1& form, const Label& label)
    : label_(label)
    , seen_(label)
    , look_(looks_.lookOf(label))
{
    const std::vector<PaintedControl> order = form.paintOrder(label.In);
    const auto self = std::find(order.begin(), order.end(), PaintedControl(&label));
    std::copy_if(
        order.begin(), self, std::back_inserter(inFront_), [](const PaintedControl& control) {
            return !std::holds_alternative<const Label*>(control);
        });
}

bool LabelPainting::refresh()
{
    // A look follows from the label's properties alone: most ticks change one label or none.
    if (label_ == seen_)
        return false;
    seen_ = label_;
    LabelLook now = looks_.lookOf(label_);
    if (now == look_)
        return false;
    look_ = std::move(now);
    return true;
}

void LabelPainting::paint(QPainter& painter) const
{
    painter.translate(-look_.rect.topLeft());
    paintLabel(painter, look_);
    // Drawn back to front, as the container draws them beneath.
    for (auto it = inFront_.rbegin(); it != inFront_.rend(); ++it) {
        if (const auto* shape = std::get_if<const Shape*>(&*it))
            paintShape(painter, **shape);
        else
            paintLine(painter, *std::get<const Line*>(*it));
    }
}

void LabelPainting::sync(QWidget& widget) const
{
    widget.setAttribute(Qt::WA_OpaquePaintEvent, !look_.transparent);
    if (look_.visible && widget.geometry() != look_.rect)
        widget.setGeometry(look_.rect);
    widget.update();
    if (widget.isHidden() == look_.visible)
        widget.setVisible(look_.visible);
    if (widget.isEnabled() != look_.enabled)
        widget.setEnabled(look_.enabled);
}

TextLabel::TextLabel(const Form1& form, const Label& label, QWidget* parent)
    : QLabel(parent)
    , painting_(form, label)
{
    setTextFormat(Qt::PlainText);
    setText(label.Caption);
    painting_.sync(*this);
}

void TextLabel::refresh()
{
    if (!painting_.refresh())
        return;
    if (text() != painting_.label().Caption)
        setText(painting_.label().Caption);
    painting_.sync(*this);
}

void TextLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painting_.paint(painter);
}

LabelButton::LabelButton(const Form1& form, const Label& label, QWidget* parent)
    : QAbstractButton(parent)
    , painting_(form, label)
{
    setFocusPolicy(Qt::NoFocus);
    setText(label.Caption);
    painting_.sync(*this);
}

void LabelButton::refresh()
{
    if (!painting_.refresh())
        return;
    if (text() != label().Caption)
        setText(label().Caption);
    syncChecked();
    painting_.sync(*this);
}

void LabelButton::makeChoice()
{
    setCheckable(true);
    setAutoExclusive(true);
    syncChecked();
}

// One choice checked clears the others of its group, which follow without a call.
void LabelButton::syncChecked()
{
    if (isCheckable() && painting_.look().bordered && !isChecked())
        setChecked(true);
}

// The focus shows as a dotted frame in the label's text colour, which shows on its background.
void LabelButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painting_.paint(painter);
    if (hasFocus()) {
        painter.resetTransform();
        const StrokeThroughPixels middles(painter);
        painter.setPen(QPen(toQColor(label().ForeColor), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

}
