#pragma once

namespace keyfall {

// Gives the application the same look on every desktop: the Fusion style and its palette, and
// free fonts in place of the Windows fonts the form names. Call once, before the window exists.
void applyLookAndFeel();

}
