// Writes a picture as C++ source that defines it as an EmbeddedPicture
// (ui/paint/embedded_picture.h): its pixels as 0xffRRGGBB values, row by row from the top, the form
// an opaque picture is drawn in. The program then draws it straight from its read-only data, with
// nothing to decode or copy. Usage: picture_pixels PICTURE NAME OUTPUT.cpp
#include <QImage>
#include <QString>
#include <cstdio>
#include <fstream>

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fputs("usage: picture_pixels PICTURE NAME OUTPUT.cpp\n", stderr);
        return 2;
    }
    const QImage picture
        = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    if (picture.isNull()) {
        std::fprintf(stderr, "picture_pixels: not a picture: %s\n", argv[1]);
        return 1;
    }
    std::ofstream out(argv[3]);
    out << "#include \"ui/paint/embedded_picture.h\"\n\nnamespace keyfall {\n\nnamespace {\n"
        << "    constexpr std::uint32_t kPixels[] = {\n"
        << std::hex;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            out << "0x" << picture.pixel(x, y) << ',';
        out << '\n';
    }
    out << "    };\n}\n\nconst EmbeddedPicture " << argv[2] << " { " << std::dec << picture.width()
        << ", " << picture.height() << ", kPixels };\n\n}\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "picture_pixels: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
