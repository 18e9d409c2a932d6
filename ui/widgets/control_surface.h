#pragma once

#include "game/form1.h"

#include <QWidget>
#include <vector>

namespace keyfall {

class LabelWidget;

// The surface of a container (the window or the settings frame): it paints the container's shapes
// and lines over its background, and holds a widget for each of its labels, stacked as the form
// lists them, the first on top.
class ControlSurface : public QWidget {
    Q_OBJECT

public:
    ControlSurface(const Form1& form, Container container, QWidget* parent);

    // Brings every label's widget in line with its label.
    void refresh();
    // The widget that draws the label.
    QWidget* widgetOf(const Label& label) const;

Q_SIGNALS:
    // A click on a label that acts as a button, as the mouse, the keyboard or assistive
    // technology makes it.
    void labelClicked(const keyfall::Label* label);

protected:
    // Paints the background within the exposed region, at least.
    virtual void paintBackground(QPainter& painter, const QRegion& exposed) = 0;

    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<PaintedControl> shapesAndLines_; // front to back
    std::vector<LabelWidget*> labels_;
};

}
