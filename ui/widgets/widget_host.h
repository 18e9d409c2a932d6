#pragma once

#include "game/ports.h"

class QWidget;

namespace keyfall {

// The game's view of the real window it lives in.
class WidgetHost final : public HostWindow {
public:
    explicit WidgetHost(QWidget& window);

    bool isMinimized() const override;
    // Closing the last window ends the program's event loop.
    void close() override;

private:
    QWidget& window_;
};

}
