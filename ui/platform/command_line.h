#pragma once

#include <optional>

namespace keyfall {

// Answers --help and --version, and refuses an unknown option or an argument, before anything
// opens the display: returns the exit status if the program should end here, nothing if the game
// should start. Qt's own options (-platform, -display, ...) pass through for QApplication.
std::optional<int> answerCommandLine(int argc, char* argv[], const char* version);

}
