// The yardstick for processor time while playing: a plain Qt Widgets window of the game's size
// that does what the game's window does at "Speed" without any of its rules or sound. A letter
// moves one step down over a picture every 100 ms, and a label counts down every second. A band
// across the top, of a colour of its own, tells when the first frame is on the screen.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QRandomGenerator>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QSize kWindowPixels(657, 337);
constexpr int kBandHeight = 33;
constexpr int kStepPixels = 13;
constexpr int kStepMs = 100;
constexpr int kSecondMs = 1000;

// Grey specks on black, as many as the game's starfield has lit pixels.
QPixmap speckledPicture()
{
    QImage image(kWindowPixels, QImage::Format_RGB32);
    image.fill(Qt::black);
    QRandomGenerator random(1);
    for (int i = 0; i < kWindowPixels.width() * kWindowPixels.height() / 5; ++i) {
        const int grey = random.bounded(40, 256);
        image.setPixel(random.bounded(kWindowPixels.width()),
            random.bounded(kWindowPixels.height()), qRgb(grey, grey, grey));
    }
    return QPixmap::fromImage(image);
}

class Field final : public QWidget {
public:
    Field()
        : picture_(speckledPicture())
    {
        setFixedSize(kWindowPixels);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, picture_);
        painter.fillRect(0, 0, width(), kBandHeight, QColor(0x20, 0x80, 0x40));
    }

private:
    QPixmap picture_;
};

}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Field window;
    QPalette whiteText = window.palette();
    whiteText.setColor(QPalette::WindowText, Qt::white);
    window.setPalette(whiteText);
    QLabel letter(u"K"_s, &window);
    QFont large = letter.font();
    large.setPixelSize(64);
    letter.setFont(large);
    letter.adjustSize();
    letter.move(300, kBandHeight);
    QLabel clock(u"100"_s, &window);
    clock.move(216, 8);

    QTimer fall;
    fall.setTimerType(Qt::PreciseTimer);
    QObject::connect(&fall, &QTimer::timeout, [&] {
        const int top = letter.y() + kStepPixels;
        letter.move(letter.x(), top + letter.height() > window.height() ? kBandHeight : top);
    });
    fall.start(kStepMs);
    QTimer second;
    second.setTimerType(Qt::PreciseTimer);
    int secondsLeft = 100;
    QObject::connect(&second, &QTimer::timeout, [&] {
        secondsLeft = secondsLeft > 0 ? secondsLeft - 1 : 100;
        clock.setText(QString::number(secondsLeft));
    });
    second.start(kSecondMs);

    window.show();
    return app.exec();
}
