#pragma once

#include "bmp_file.h"

#include <vector>

namespace keyfall::test {

// A 4-connected group of non-black pixels.
struct Speck {
    int size = 0;
    int peakRed = 0;
    int distinctColours = 0;
    bool horizontalDashOfEqualPixels = false;
};

std::vector<Speck> findSpecks(const BmpFile& image);

}
