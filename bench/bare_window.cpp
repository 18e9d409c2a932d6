// The yardstick for start-up time and memory: a bare Qt Widgets window of the game's size with
// one label, on a plain background whose colour tells when its first frame is on the screen.
#include <QApplication>
#include <QLabel>
#include <QPalette>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0x20, 0x80, 0x40));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    QLabel label(u"Keyfall"_s, &window);
    label.move(10, 10);
    window.resize(657, 337);
    window.show();
    return app.exec();
}
