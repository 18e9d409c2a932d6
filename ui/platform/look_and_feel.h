#pragma once

namespace keyfall {

// Gives the application the same look on every desktop: the Fusion style and its palette, and the
// window's font. Call once, before the window exists.
void applyLookAndFeel();

}
