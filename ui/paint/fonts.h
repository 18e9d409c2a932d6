#pragma once

#include "game/controls.h"

#include <QFont>

namespace keyfall {

// Font sizes are points at 96 dots per inch, whatever the screen: 8.25 pt is 11 pixels.
int pixelSize(double points);
// The form's font, with a free font in place of the Windows font it names, for the form's captions.
QFont toQFont(const Font& font);
// The same for a box the player types into: characters the font lacks come from other fonts.
QFont toTypingFont(const Font& font);

}
