#pragma once

#include <cstdint>
#include <memory>

class QIcon;
class QImage;
class QPainter;
class QRect;

namespace keyfall {

struct EmbeddedPicture;

// The whole of a built-in picture, unpacked.
QImage unpackedPicture(const EmbeddedPicture& picture);

// Draws parts of a built-in picture where they lie in it, unpacking them a few rows at a time
// into one small buffer: the picture is never held unpacked as a whole.
class PicturePainter {
public:
    explicit PicturePainter(const EmbeddedPicture& picture);

    QRect rect() const;
    void draw(QPainter& painter, const QRect& part);

private:
    const EmbeddedPicture& picture_;
    std::unique_ptr<std::uint32_t[]> pixels_;
};

QIcon windowIcon();

}
