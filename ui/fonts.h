#pragma once

#include "game/controls.h"

#include <QFont>

namespace keyfall {

// The window's own font, for the buttons that have none of their own.
Font formFont();

// Font sizes are points at 96 dots per inch, whatever the screen: 8.25 pt is 11 pixels.
int pixelSize(double points);
QFont toQFont(const Font& font);

}
