// Prints as JSON what a driver of the real window needs to know of it, taken from the game's own
// model: where the controls lie and where each takes a click, in pixels; the colours the game
// paints that the starfield never shows; the first targets of a round and the column each falls in;
// where a missed target stops; and the game's sounds, with the band of each one's strongest
// frequency.
#include "game_fixture.h"
#include "sound_signatures.h"
#include "window_places.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

using namespace keyfall;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kTargets = 40;

QJsonArray rgb(Colour colour)
{
    return { int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16) };
}

template <typename Control> QJsonObject place(const Form1& form, const Control& control)
{
    const QRect rect = testing::placeInWindow(form, control);
    const QPoint click = testing::clickPoint(form, control);
    return { { u"rect"_s, QJsonArray { rect.x(), rect.y(), rect.width(), rect.height() } },
        { u"click"_s, QJsonArray { click.x(), click.y() } } };
}

QJsonObject controls(const Form1& f)
{
    return { { u"Shape1"_s, place(f, f.Shape1) }, { u"lblShooted"_s, place(f, f.lblShooted) },
        { u"lblMissed"_s, place(f, f.lblMissed) }, { u"lbltime"_s, place(f, f.lbltime) },
        { u"lblSettings"_s, place(f, f.lblSettings) }, { u"lblNew"_s, place(f, f.lblNew) },
        { u"lblQuit"_s, place(f, f.lblQuit) }, { u"Frame1"_s, place(f, f.Frame1) },
        { u"Option3"_s, place(f, f.Option3) }, { u"Combo1"_s, place(f, f.Combo1) },
        { u"Label9"_s, place(f, f.Label9) }, { u"Text1"_s, place(f, f.Text1) } };
}

// The first targets of a round, each hit at once: (caption, left edge in pixels).
QJsonArray targets()
{
    testing::Game game;
    game.form.lblNew_Click();
    QJsonArray targets;
    for (int i = 0; i < kTargets; ++i, game.hit())
        targets.append(QJsonArray {
            game.form.Label1.Caption, testing::placeInWindow(game.form, game.form.Label1).x() });
    return targets;
}

// Where the first target of a round stops when it is missed, and its colour then.
QJsonObject miss()
{
    testing::Game game;
    game.form.lblNew_Click();
    while (!game.form.respawnPending)
        game.untilTick(game.form.Timer1);
    return { { u"top"_s, testing::placeInWindow(game.form, game.form.Label1).y() },
        { u"colour"_s, rgb(game.form.Label1.ForeColor) } };
}

QJsonObject soundBands()
{
    QJsonObject bands;
    for (const Sound sound : kAllSounds) {
        const std::string_view name = soundFileName(sound);
        for (const keyfall::sounds::Signature& signature : keyfall::sounds::kAll)
            if (signature.fileName == name)
                bands[QString::fromUtf8(name)]
                    = QJsonArray { signature.dominantLowHz, signature.dominantHighHz };
    }
    return bands;
}

}

int main()
{
    const testing::Game game;
    const Form1& f = game.form;
    const QJsonObject facts { { u"controls"_s, controls(f) },
        { u"colours"_s,
            QJsonObject { { u"statusBar"_s, rgb(f.Shape1.BackColor) },
                { u"panel"_s, rgb(f.Frame1.BackColor) }, { u"target"_s, rgb(f.Label1.ForeColor) },
                { u"timeOver"_s, rgb(f.lblOver.ForeColor) } } },
        { u"targets"_s, targets() }, { u"miss"_s, miss() }, { u"sounds"_s, soundBands() } };
    std::fputs(QJsonDocument(facts).toJson(QJsonDocument::Compact).constData(), stdout);
    return 0;
}
