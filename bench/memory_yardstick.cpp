// The yardstick for memory: the bare window (bench_bare_window) with what the game must hold
// besides its own look. An input box; the standard widgets of the settings panel (three option
// buttons, an editable combo box of round lengths and three push buttons on a frame), shown once
// and closed again as the game shows its panel; the game's clips, held as its player holds them,
// the first of which is played through libpulse; and a key typed into the box, which makes Qt
// load what it takes keys with. The background turns from green to blue once all that is done,
// which tells the measurement when to read its memory and close the window.
//
//   bench_memory_yardstick CLIP.wav...
#include "bench/pulse_clip.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
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

}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QStringList clips = app.arguments();
    clips.removeFirst();
    if (clips.isEmpty()) {
        std::fprintf(stderr, "usage: bench_memory_yardstick CLIP.wav...\n");
        return 2;
    }
    QWidget window;
    paintBackground(window, QColor(0x20, 0x80, 0x40));
    window.setAutoFillBackground(true);
    QLabel label(u"Keyfall"_s, &window);
    label.move(10, 10);
    QLineEdit box(&window);
    box.setGeometry(0, 320, 657, 21);

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
    return app.exec();
}
