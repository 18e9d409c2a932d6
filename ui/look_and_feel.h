#pragma once

namespace keyfall {

// Gives the application the same look on every desktop: the Fusion style and its palette. Call
// once, before the window exists.
void applyLookAndFeel();

}
