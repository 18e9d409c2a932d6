// The yardstick for memory: the bare window (bench_bare_window) with what the game must hold to
// do its job. The game's captions, each drawn once in its own font, which any program showing
// them must load and lay out: the window's font, its bold in two sizes, the input box's serif,
// the letter cases' face, a target at 48 points and "Time is Over!" at the 71 points it ends at.
// Nothing of them is kept but what Qt keeps for its fonts: no widget, layout or copy per caption.
// An input box in the game's typing font; the standard widgets of the settings panel (three
// option buttons, an editable combo box of round lengths in the game's bold and three push
// buttons on a frame), shown once and closed again as the game shows its panel; the game's clips,
// held as its player holds them, the first of which is played through libpulse; and a key typed
// into the box, which makes Qt load what it takes keys with. The background turns from green to
// blue once all that is done, which tells the measurement when to read its memory and close the
// window; no caption covers the pixel it reads.
//
//   bench_memory_yardstick CLIP.wav...
#include "bench/pulse_clip.h"
#include "game/controls.h"
#include "ui/paint/fonts.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

namespace {

void paintBackground(QWidget& window, QColor colour)
{
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, colour);
    window.setPalette(palette);
}

keyfall::Font fontOf(const QString& name, double points, bool bold = false)
{
    return { name, points, bold };
}

struct Caption {
    QPoint at;
    QString text;
    keyfall::Font font;
};

// The game's captions in their fonts, set out in rows clear of the measured pixel.
QList<Caption> gameCaptions()
{
    const keyfall::Font plain = keyfall::windowFont();
    const keyfall::Font bold = fontOf(plain.Name, 8.25, true);
    const keyfall::Font command = fontOf(plain.Name, 9.75, true);
    const keyfall::Font cases = fontOf(u"Comic Sans MS"_s, 8.25);
    QList<Caption> captions;
    const auto row = [&captions](int y, const keyfall::Font& font, const QStringList& texts) {
        int x = 8;
        for (const QString& text : texts) {
            captions.append({ QPoint(x, y), text, font });
            x += 12 * int(text.size()) + 8;
        }
    };
    row(8, plain, { u"Shooted :"_s, u"0"_s, u"Missed :"_s, u"Time Left:"_s, u"s"_s });
    row(24, bold, { u"100"_s });
    row(40, command,
        { u"SETTINGS"_s, u"NEW GAME"_s, u"PAUSE "_s, u"QUIT"_s, u"Cancel"_s, u"Ok"_s });
    row(56, plain, { u"Quillo Keyfall Settings"_s, u"Game Speed"_s, u"Game Level"_s });
    row(72, plain, { u"Game Time"_s, u"Seconds"_s });
    row(88, cases, { u"CAPITALS"_s, u"small letters"_s, u"MiXeD LeTtEr"_s });
    row(104, fontOf(u"Times New Roman"_s, 48), { u"G"_s });
    row(215, fontOf(u"Comic Sans MS"_s, 71), { u"Time is Over!"_s });
    return captions;
}

// Draws every caption at each paint, laying it out afresh rather than keeping a layout.
class Captions : public QWidget {
public:
    explicit Captions(QWidget* parent)
        : QWidget(parent)
        , captions_(gameCaptions())
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(Qt::white);
        for (const Caption& caption : std::as_const(captions_)) {
            const QFont font = keyfall::toQFont(caption.font);
            painter.setFont(font);
            painter.drawText(caption.at + QPoint(0, QFontMetrics(font).ascent()), caption.text);
        }
    }

private:
    QList<Caption> captions_;
};

}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setFont(keyfall::toQFont(keyfall::windowFont()));
    QStringList clips = app.arguments();
    clips.removeFirst();
    if (clips.isEmpty()) {
        std::fprintf(stderr, "usage: bench_memory_yardstick CLIP.wav...\n");
        return 2;
    }
    QWidget window;
    paintBackground(window, QColor(0x20, 0x80, 0x40));
    window.setAutoFillBackground(true);
    Captions captions(&window);
    captions.resize(657, 337);
    QLineEdit box(&window);
    box.setFont(keyfall::toTypingFont(fontOf(u"Times New Roman"_s, 8.25)));
    box.setGeometry(0, 320, 657, 21);
    box.setFocus();

    QFrame panel(&window);
    panel.setGeometry(192, 48, 297, 257);
    panel.setAutoFillBackground(true);
    int top = 10;
    for (const QString& speed : { u"Slow"_s, u"Normal"_s, u"Speed"_s }) {
        (new QRadioButton(speed, &panel))->setGeometry(10, top, 80, 13);
        top += 20;
    }
    auto* lengths = new QComboBox(&panel);
    lengths->setEditable(true);
    lengths->setFont(keyfall::toQFont(fontOf(keyfall::windowFont().Name, 8.25, true)));
    lengths->addItems({ u"60"_s, u"100"_s, u"200"_s, u"300"_s });
    lengths->setGeometry(10, top, 73, 21);
    for (const QString& level : { u"1"_s, u"2"_s, u"3"_s }) {
        top += 30;
        (new QPushButton(level, &panel))->setGeometry(10, top, 57, 21);
    }

    bool played = false;
    bool typed = false;
    const auto turnBlueWhenDone = [&] {
        if (played && typed)
            paintBackground(window, QColor(0x20, 0x40, 0x80));
    };
    QObject::connect(&box, &QLineEdit::textEdited, &window, [&] {
        typed = true;
        turnBlueWhenDone();
    });
    keyfall::bench::PulseClip clip(
        clips, [&] { QMetaObject::invokeMethod(&window, [&clip] { clip.play(); }); },
        [&] {
            QMetaObject::invokeMethod(&window, [&] {
                panel.hide();
                played = true;
                turnBlueWhenDone();
            });
        });
    window.resize(657, 337);
    window.show();
    // As a desktop's window manager does for a new window, and as the game's is: only the active
    // window's input box hands its keys to Qt's input method, which reads the compose table.
    window.activateWindow();
    return app.exec();
}
