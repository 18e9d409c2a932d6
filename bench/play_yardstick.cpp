// The yardstick for processor time while playing: the work the game's window does at "Speed", done
// the least costly way Qt and libpulse allow, with none of the game's rules. Over the game's
// picture a letter of the target's font and size moves one step down every 100 ms, and a caption
// counts down every second; a box takes the typed keys, and each key is a hit: the box is cleared,
// a counter goes up, the letter starts again from the top and the hit sound plays. Only what
// changed is repainted. A band across the top, of a colour of its own, tells when the first frame
// is on the screen.
//
//   bench_play_yardstick HIT_SOUND.wav
#include "bench/pulse_clip.h"
#include "ui/paint/artwork.h"

#include <QApplication>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QStaticText>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QSize kWindowPixels(657, 337);
constexpr QRect kBand(0, 0, 657, 33);
constexpr QColor kBandColour(0x20, 0x80, 0x40);
constexpr QColor kLetterBack(0x00, 0x80, 0x00);
constexpr QRect kInputBox(0, 320, 657, 21);
// Where the game shows its hit counter and its clock.
constexpr QPoint kCounterAt(64, 8);
constexpr QPoint kClockAt(216, 8);
constexpr int kLetterTop = 24;
constexpr int kLetterPixels = 64;
constexpr int kCaptionPixels = 11;
constexpr int kStepPixels = 13;
constexpr int kStepMs = 100;
constexpr int kSecondMs = 1000;
constexpr int kRoundSeconds = 100;

// A caption laid out once for each text it shows.
struct Caption {
    QFont font;
    QPoint at;
    QStaticText text;
    QRect rect;

    void show(const QString& caption)
    {
        text.setText(caption);
        text.prepare(QTransform(), font);
        rect = QRect(at, text.size().toSize());
    }
};

class Field final : public QWidget {
public:
    explicit Field(const QString& hitSound)
        : picture_(keyfall::starfieldPicture())
        , clip_(
              { hitSound }, [] {}, [] {})
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(kWindowPixels);
        QFont captionFont(u"Liberation Sans"_s);
        captionFont.setPixelSize(kCaptionPixels);
        captionFont.setBold(true);
        counter_ = { captionFont, kCounterAt, {}, {} };
        clock_ = { captionFont, kClockAt, {}, {} };
        QFont letterFont(u"Liberation Serif"_s);
        letterFont.setPixelSize(kLetterPixels);
        letter_ = { letterFont, { 300, kLetterTop }, {}, {} };
        counter_.show(u"0"_s);
        clock_.show(QString::number(secondsLeft_));
        letter_.show(u"A"_s);

        box_.setParent(this);
        box_.setFrame(false);
        box_.setGeometry(kInputBox);
        connect(&box_, &QLineEdit::textEdited, this, [this](const QString& typed) {
            if (!typed.isEmpty())
                hit();
        });
        box_.setFocus();

        fall_.setTimerType(Qt::PreciseTimer);
        connect(&fall_, &QTimer::timeout, this, [this] {
            const int top = letter_.at.y() + kStepPixels;
            moveLetter(
                letter_.at.x(), top + letter_.rect.height() > kInputBox.top() ? kLetterTop : top);
        });
        fall_.start(kStepMs);
        second_.setTimerType(Qt::PreciseTimer);
        connect(&second_, &QTimer::timeout, this, [this] {
            secondsLeft_ = secondsLeft_ > 0 ? secondsLeft_ - 1 : kRoundSeconds;
            change(clock_, QString::number(secondsLeft_));
        });
        second_.start(kSecondMs);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        const QRect area = event->rect();
        QPainter painter(this);
        painter.drawPixmap(area, picture_, area);
        if (area.intersects(kBand))
            painter.fillRect(area & kBand, kBandColour);
        painter.setPen(Qt::white);
        for (const Caption* caption : { &counter_, &clock_ }) {
            if (area.intersects(caption->rect)) {
                painter.setFont(caption->font);
                painter.drawStaticText(caption->at, caption->text);
            }
        }
        if (area.intersects(letter_.rect)) {
            painter.fillRect(letter_.rect, kLetterBack);
            painter.setFont(letter_.font);
            painter.drawStaticText(letter_.at, letter_.text);
        }
    }

private:
    void hit()
    {
        box_.clear();
        clip_.play();
        ++hits_;
        change(counter_, QString::number(hits_));
        const QRect before = letter_.rect;
        letter_.show(QString(QChar(u'A' + hits_ % 26)));
        update(before);
        moveLetter(40 + hits_ * 97 % 560, kLetterTop);
    }

    void moveLetter(int x, int y)
    {
        update(letter_.rect);
        letter_.at = QPoint(x, y);
        letter_.rect.moveTopLeft(letter_.at);
        update(letter_.rect);
    }

    void change(Caption& caption, const QString& text)
    {
        update(caption.rect);
        caption.show(text);
        update(caption.rect);
    }

    QPixmap picture_;
    keyfall::bench::PulseClip clip_;
    QLineEdit box_;
    Caption counter_;
    Caption clock_;
    Caption letter_;
    QTimer fall_;
    QTimer second_;
    int hits_ = 0;
    int secondsLeft_ = kRoundSeconds;
};

}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_play_yardstick HIT_SOUND.wav\n");
        return 2;
    }
    Field window(QString::fromLocal8Bit(argv[1]));
    window.show();
    return app.exec();
}
