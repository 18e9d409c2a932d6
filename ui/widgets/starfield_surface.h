#pragma once

#include "ui/widgets/control_surface.h"

#include <QPixmap>

namespace keyfall {

// The window's client area: dark teal, the starfield unscaled from the top-left corner, and the
// window's own labels, shapes and lines over it.
class StarfieldSurface final : public ControlSurface {
    Q_OBJECT

public:
    StarfieldSurface(const Form1& form, QWidget* parent);

protected:
    void paintBackground(QPainter& painter, const QRegion& exposed) override;

private:
    QPixmap starfield_;
};

}
