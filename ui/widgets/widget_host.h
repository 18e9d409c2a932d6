#pragma once

#include "game/ports.h"

class QWidget;

namespace keyfall {

// The game's view of the real window it lives in.
class WidgetHost final : public HostWindow {
public:
    explicit WidgetHost(QWidget& window);

    // A Wayland desktop tells no minimizing: it stops drawing the window, which Qt then calls
    // not exposed.
    bool isOutOfSight() const override;
    // Closing the last window ends the program's event loop.
    void close() override;

private:
    QWidget& window_;
};

}
