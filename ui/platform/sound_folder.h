#pragma once

#include <QString>

namespace keyfall {

// The folder of the game's four sounds, found from the folder the program runs from: in an
// installation they lie in share/games/keyfall beside the program's folder (/usr/games and
// /usr/share/games/keyfall in the package, ~/.local/bin and ~/.local/share/games/keyfall in a
// home install); elsewhere, as in the build tree, beside the program itself.
QString soundFolder(const QString& programFolder);

}
