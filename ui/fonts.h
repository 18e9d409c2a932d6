#pragma once

#include "game/controls.h"

#include <QFont>

namespace keyfall {

// Font sizes are points at 96 dots per inch, whatever the screen: 8.25 pt is 11 pixels.
int pixelSize(double points);
// The form's font, with a free font in place of the Windows font it names.
QFont toQFont(const Font& font);

}
