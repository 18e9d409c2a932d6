#pragma once

#include "ui/widgets/control_surface.h"

namespace keyfall {

// The settings panel: a slate-blue box with an etched edge and the panel's own labels, shapes
// and lines. It draws no caption, since its label "Quillo Keyfall Settings" is its title.
class SettingsFrame final : public ControlSurface {
    Q_OBJECT

public:
    SettingsFrame(const Form1& form, QWidget* parent);

protected:
    void paintBackground(QPainter& painter, const QRegion& exposed) override;

private:
    const Frame& frame_;
};

}
