#include "ui/widgets/control_surface.h"

#include "ui/paint/geometry.h"
#include "ui/paint/shape_painter.h"
#include "ui/widgets/label_widgets.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace keyfall {

namespace {

    // Where a shape or a line may leave pixels: its rectangle, or a line's ends with its pen.
    QRect paintedArea(const Shape& shape) { return placeOf(shape); }
    QRect paintedArea(const Line& line)
    {
        return QRect(toPixels(line.X1, line.Y1), toPixels(line.X2, line.Y2))
            .normalized()
            .adjusted(-1, -1, 1, 1);
    }

}

ControlSurface::ControlSurface(const Form1& form, Container container, QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    const std::vector<PaintedControl> order = form.paintOrder(container);
    // Made from back to front, since a widget made later lies on top.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const auto* label = std::get_if<const Label*>(&*it);
        if (!label) {
            shapesAndLines_.insert(shapesAndLines_.begin(), *it);
        } else if (form.hasClickHandler(**label)) {
            auto* button = new LabelButton(form, **label, this);
            connect(button, &QAbstractButton::clicked, this,
                [this, button] { Q_EMIT labelClicked(&button->label()); });
            labels_.push_back(button);
        } else {
            labels_.push_back(new TextLabel(form, **label, this));
        }
    }
}

void ControlSurface::refresh()
{
    for (LabelWidget* label : labels_)
        label->refresh();
}

QWidget* ControlSurface::widgetOf(const Label& label) const
{
    const auto drawn = std::find_if(labels_.begin(), labels_.end(),
        [&label](const LabelWidget* widget) { return &widget->label() == &label; });
    return drawn == labels_.end() ? nullptr : &(*drawn)->widget();
}

void ControlSurface::paintEvent(QPaintEvent* event)
{
    // Only what lies in the exposed region is painted: the region of a hit, the counter in the
    // status bar and the target's old and new places, spans most of the window. Nor is the
    // background painted where an opaque shape covers it, such as the status bar's solid band
    // under the captions that change every second.
    const QRegion& exposed = event->region();
    QPainter painter(this);
    QRegion background = exposed;
    for (const PaintedControl& control : shapesAndLines_) {
        const auto* shape = std::get_if<const Shape*>(&control);
        if (shape && (*shape)->OpaqueBack)
            background -= placeOf(**shape);
    }
    paintBackground(painter, background);
    for (auto it = shapesAndLines_.rbegin(); it != shapesAndLines_.rend(); ++it) {
        if (const auto* shape = std::get_if<const Shape*>(&*it)) {
            if (exposed.intersects(paintedArea(**shape)))
                paintShape(painter, **shape);
        } else if (const Line& line = *std::get<const Line*>(*it);
                   exposed.intersects(paintedArea(line))) {
            paintLine(painter, line);
        }
    }
}

}
