#pragma once

#include <functional>

class QWidget;

namespace keyfall {

// Runs the action from the event loop once the shown window's first frame is on the screen, so
// that work which can wait does not delay it.
void afterFirstFrame(QWidget& window, std::function<void()> action);

}
