#pragma once

#include "game/form1.h"
#include "ui/paint/label_look.h"

#include <QWidget>
#include <vector>

namespace keyfall {

class WindowObserver;

// The surface of a container (the window or the settings frame): it paints the container's
// labels, shapes and lines back to front, so the first listed is on top, and reports a click on
// the front-most visible label under the mouse.
class ControlSurface : public QWidget {
    Q_OBJECT

public:
    ControlSurface(const Form1& form, Container container, QWidget* parent);

    // Repaints only where a label's look changed since it was last drawn: its old and new places,
    // and tells the observer, if any, of each changed look. Until the surface is first shown
    // nothing is drawn, so nothing needs repainting.
    void refresh(WindowObserver* observer);

    const Form1& form() const { return form_; }
    // The container's labels, front to back.
    std::vector<const Label*> labels() const;
    // Reports a click on the label, as a click of the mouse does.
    void pressLabel(const Label& label);

Q_SIGNALS:
    // A click on an enabled label; a disabled label takes the click but does nothing with it.
    void labelClicked(const keyfall::Label* label);

protected:
    // Paints the background within the exposed region, at least.
    virtual void paintBackground(QPainter& painter, const QRegion& exposed) = 0;

    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // A painted control and, for a label, how it was last drawn and the label it was drawn from.
    // Shapes and lines never change.
    struct Painted {
        PaintedControl control;
        LabelLookCache looks;
        LabelLook drawn;
        Label seen;
    };

    // Where a control paints every pixel of its place, whatever lies beneath it.
    static QRect opaqueArea(const Painted& painted);

    void knowLooks();
    const Painted* labelAt(QPoint position) const;

    const Form1& form_;
    std::vector<Painted> controls_; // front to back
    bool looksKnown_ = false;
    const Painted* pressed_ = nullptr;
};

}
