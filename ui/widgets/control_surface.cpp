#include "ui/widgets/control_surface.h"

#include "ui/paint/geometry.h"
#include "ui/paint/shape_painter.h"
#include "ui/widgets/window_observer.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace keyfall {

namespace {

    const Label* asLabel(const PaintedControl& control)
    {
        const auto* label = std::get_if<const Label*>(&control);
        return label ? *label : nullptr;
    }

    QRect drawnArea(const LabelLook& look) { return look.visible ? look.rect : QRect(); }

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
    , form_(form)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (const PaintedControl& control : form.paintOrder(container))
        controls_.push_back(Painted { control, {}, {}, {} });
}

void ControlSurface::refresh(WindowObserver* observer)
{
    if (!looksKnown_)
        return;
    for (Painted& painted : controls_) {
        const Label* label = asLabel(painted.control);
        // A look follows from the label's properties alone: most ticks change one label or none.
        if (!label || *label == painted.seen)
            continue;
        painted.seen = *label;
        LabelLook now = painted.looks.lookOf(*label);
        if (now == painted.drawn)
            continue;
        update(drawnArea(painted.drawn));
        update(drawnArea(now));
        if (observer)
            observer->labelChanged(*this, *label, painted.drawn, now);
        painted.drawn = std::move(now);
    }
}

std::vector<const Label*> ControlSurface::labels() const
{
    std::vector<const Label*> labels;
    for (const Painted& painted : controls_) {
        if (const Label* label = asLabel(painted.control))
            labels.push_back(label);
    }
    return labels;
}

void ControlSurface::pressLabel(const Label& label) { Q_EMIT labelClicked(&label); }

// The labels' looks are first worked out when the surface is shown or painted: a closed panel's
// fonts and captions cost nothing before it first opens.
void ControlSurface::knowLooks()
{
    if (looksKnown_)
        return;
    for (Painted& painted : controls_) {
        if (const Label* label = asLabel(painted.control)) {
            painted.seen = *label;
            painted.drawn = painted.looks.lookOf(*label);
        }
    }
    looksKnown_ = true;
}

void ControlSurface::showEvent(QShowEvent* event)
{
    knowLooks();
    QWidget::showEvent(event);
}

QRect ControlSurface::opaqueArea(const Painted& painted)
{
    if (asLabel(painted.control))
        return painted.drawn.visible && !painted.drawn.transparent ? painted.drawn.rect : QRect();
    if (const auto* shape = std::get_if<const Shape*>(&painted.control))
        return (*shape)->OpaqueBack ? placeOf(**shape) : QRect();
    return {};
}

void ControlSurface::paintEvent(QPaintEvent* event)
{
    knowLooks();
    // Only what lies in the exposed region is painted: the region of a hit, the counter in the
    // status bar and the target's old and new places, spans most of the window.
    const QRegion& exposed = event->region();
    QPainter painter(this);
    // Nor is the background painted where an opaque label or shape covers it, such as the
    // status bar's solid band under the captions that change every second.
    QRegion background = exposed;
    for (const Painted& painted : controls_) {
        if (const QRect area = opaqueArea(painted); background.intersects(area))
            background -= area;
    }
    paintBackground(painter, background);
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        std::visit(
            [&](const auto* control) {
                using Control = std::remove_cvref_t<decltype(*control)>;
                if constexpr (std::is_same_v<Control, Label>) {
                    if (exposed.intersects(it->drawn.rect))
                        paintLabel(painter, it->drawn);
                } else if (!exposed.intersects(paintedArea(*control))) {
                    return;
                } else if constexpr (std::is_same_v<Control, Shape>) {
                    paintShape(painter, *control);
                } else {
                    paintLine(painter, *control);
                }
            },
            it->control);
    }
}

const ControlSurface::Painted* ControlSurface::labelAt(QPoint position) const
{
    for (const Painted& painted : controls_) {
        if (asLabel(painted.control) && painted.drawn.visible
            && painted.drawn.rect.contains(position))
            return &painted;
    }
    return nullptr;
}

// A click is a press and a release on the same label, as with a button.
void ControlSurface::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton ? labelAt(event->position().toPoint()) : nullptr;
}

void ControlSurface::mouseReleaseEvent(QMouseEvent* event)
{
    const Painted* released = labelAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && released && released == pressed_
        && released->drawn.enabled)
        pressLabel(*asLabel(released->control));
    pressed_ = nullptr;
}

}
