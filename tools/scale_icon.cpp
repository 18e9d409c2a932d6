// Writes the window icon as a PNG, enlarged for the desktop's icon theme. Each pixel of the icon
// becomes a square block of pixels, so the enlarged icon keeps its hard edges.
// Usage: scale_icon ICON.bmp SIZE OUTPUT.png, where SIZE is a multiple of the icon's own size.
#include <QImage>
#include <QString>
#include <cstdio>

namespace {

int fail(const char* message, const char* subject)
{
    std::fprintf(stderr, "scale_icon: %s: %s\n", message, subject);
    return 1;
}

}

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fputs("usage: scale_icon ICON.bmp SIZE OUTPUT.png\n", stderr);
        return 2;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    if (icon.isNull() || icon.width() != icon.height())
        return fail("not a square image", argv[1]);
    bool isNumber = false;
    const int size = QString::fromLocal8Bit(argv[2]).toInt(&isNumber);
    if (!isNumber || size < icon.width() || size % icon.width() != 0)
        return fail("the size is not a multiple of the icon's", argv[2]);
    const QImage scaled = icon.convertToFormat(QImage::Format_RGB32)
                              .scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!scaled.save(QString::fromLocal8Bit(argv[3]), "PNG"))
        return fail("cannot write", argv[3]);
    return 0;
}
