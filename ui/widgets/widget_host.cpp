#include "ui/widgets/widget_host.h"

#include <QWidget>
#include <QWindow>

namespace keyfall {

WidgetHost::WidgetHost(QWidget& window)
    : window_(window)
{
}

bool WidgetHost::isOutOfSight() const
{
    const QWindow* shown = window_.windowHandle();
    return window_.isMinimized() || !shown || !shown->isExposed();
}

void WidgetHost::close() { window_.close(); }

}
