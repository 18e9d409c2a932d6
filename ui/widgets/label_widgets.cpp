#include "ui/widgets/label_widgets.h"

#include "ui/paint/colours.h"
#include "ui/paint/shape_painter.h"

#include <QPainter>
#include <algorithm>

namespace keyfall {

namespace {

    template <typename Widget> void syncText(Widget& widget, const QString& caption)
    {
        if (widget.text() != caption)
            widget.setText(caption);
    }

}

LabelWidget::LabelWidget(const Form1& form, const Label& label)
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

void LabelWidget::refresh()
{
    // A look follows from the label's properties alone: most ticks change one label or none.
    if (label_ == seen_)
        return;
    seen_ = label_;
    LabelLook now = looks_.lookOf(label_);
    if (now == look_)
        return;
    look_ = std::move(now);
    sync();
}

void LabelWidget::paint(QPainter& painter) const
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

void LabelWidget::sync()
{
    syncState();
    QWidget& self = widget();
    self.setAttribute(Qt::WA_OpaquePaintEvent, !look_.transparent);
    if (look_.visible && self.geometry() != look_.rect)
        self.setGeometry(look_.rect);
    self.update();
    if (self.isHidden() == look_.visible)
        self.setVisible(look_.visible);
    if (self.isEnabled() != look_.enabled)
        self.setEnabled(look_.enabled);
}

TextLabel::TextLabel(const Form1& form, const Label& label, QWidget* parent)
    : QLabel(parent)
    , LabelWidget(form, label)
{
    setTextFormat(Qt::PlainText);
    sync();
}

void TextLabel::syncState() { syncText(*this, label().Caption); }

void TextLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter);
}

LabelButton::LabelButton(const Form1& form, const Label& label, QWidget* parent)
    : QAbstractButton(parent)
    , LabelWidget(form, label)
{
    setFocusPolicy(Qt::NoFocus);
    sync();
}

void LabelButton::makeChoice()
{
    setCheckable(true);
    setAutoExclusive(true);
    syncState();
}

// One choice checked clears the others of its group, which follow without a call.
void LabelButton::syncState()
{
    syncText(*this, label().Caption);
    if (isCheckable() && look().bordered && !isChecked())
        setChecked(true);
}

// The focus shows as a dotted frame in the label's text colour, which shows on its background.
void LabelButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter);
    if (hasFocus()) {
        painter.resetTransform();
        const StrokeThroughPixels middles(painter);
        painter.setPen(QPen(toQColor(label().ForeColor), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

}
