#include "ui/widgets/widget_host.h"

#include <QWidget>

namespace keyfall {

WidgetHost::WidgetHost(QWidget& window)
    : window_(window)
{
}

bool WidgetHost::isMinimized() const { return window_.isMinimized(); }

void WidgetHost::close() { window_.close(); }

}
