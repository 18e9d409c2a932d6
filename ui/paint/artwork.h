#pragma once

class QIcon;
class QPixmap;

namespace keyfall {

// The pictures built into the program.
QPixmap starfieldPicture();
QIcon windowIcon();

}
