#pragma once

#include <QString>
#include <vector>

namespace keyfall {

// Fills the letter table: "A" to "Z" at 1 to 26, "a" to "z" at 27 to 52; entries 0 and 53 stay
// empty and are never chosen.
void InitLetters(std::vector<QString>& Letters);

}
