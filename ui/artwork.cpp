#include "ui/artwork.h"

#include <QIcon>
#include <QPixmap>

// The pictures live in a resource of this static library, which the linker keeps only if it is
// registered by hand; the macro must be used outside any namespace.
static void registerArtwork()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(artwork);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

QPixmap starfieldPicture()
{
    registerArtwork();
    return QPixmap(u":/starfield.bmp"_s);
}

QIcon windowIcon()
{
    registerArtwork();
    return QIcon(QPixmap(u":/icon.bmp"_s));
}

}
