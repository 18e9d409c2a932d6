#include "ui/paint/artwork.h"

#include "ui/paint/embedded_picture.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace keyfall {

namespace {

    // The pixels are already in the form the screen takes, so the pixmap draws straight from the
    // program's read-only data: nothing is decoded or copied, and each picture is held once.
    QPixmap pixmapOf(const EmbeddedPicture& picture)
    {
        const QImage image(reinterpret_cast<const uchar*>(picture.pixels), picture.width,
            picture.height, QImage::Format_RGB32);
        return QPixmap::fromImage(image);
    }

}

QPixmap starfieldPicture() { return pixmapOf(kStarfield); }

QIcon windowIcon() { return QIcon(pixmapOf(kWindowIcon)); }

}
