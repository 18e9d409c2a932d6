// Prints as JSON what a driver of the real window needs to know, from the game's own model: where
// the controls lie and take a click, in pixels; colours the game paints and the starfield never
// shows; the first targets of a round and their columns; where a missed target stops; each
// sound with the band of its strongest frequency; the controls' accessible facts. With --picture,
// it prints instead the window before the first game as a binary PPM, painted at the scale of
// QT_SCALE_FACTOR.
#include "game_fixture.h"
#include "sound_signatures.h"
#include "ui/platform/look_and_feel.h"
#include "ui/widgets/main_window.h"
#include "window_places.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

using namespace keyfall;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kTargets = 40;

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
        { u"Option1"_s, place(f, f.Option1) }, { u"Option3"_s, place(f, f.Option3) },
        { u"Combo1"_s, place(f, f.Combo1) }, { u"Label9"_s, place(f, f.Label9) },
        { u"Text1"_s, place(f, f.Text1) }, { u"Command1"_s, place(f, f.Command1) },
        { u"Command2"_s, place(f, f.Command2) }, { u"Command3"_s, place(f, f.Command3) },
        { u"lblCaps"_s, place(f, f.lblCaps) }, { u"lblMixed"_s, place(f, f.lblMixed) } };
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

// The first target of a round once it is missed: where it stopped, in pixels, and its colour.
const Label& missed(testing::Game& game)
{
    game.form.lblNew_Click();
    while (!game.form.respawnPending)
        game.untilTick(game.form.Timer1);
    return game.form.Label1;
}

// What a painted label is to assistive technology, by what the player does with it: commands are
// pressed (Label9 and Label10 are Ok and Cancel), letter cases are chosen; any other label is
// text, the target and "Time is Over!" too. Roles as Qt names them.
const char* roleOf(const Form1& f, const Label& label)
{
    const std::pair<const char*, std::vector<const Label*>> roles[] = {
        { "Button", { &f.lblNew, &f.lblPause, &f.lblSettings, &f.lblQuit, &f.Label9, &f.Label10 } },
        { "RadioButton", { &f.lblCaps, &f.lblSmall, &f.lblMixed } },
    };
    for (const auto& [role, labels] : roles) {
        if (std::ranges::find(labels, &label) != labels.end())
            return role;
    }
    return "StaticText";
}

// What assistive technology is to find of each control of a container: [role as Qt names it,
// name, [left, top], shown, enabled, checked].
QJsonArray accessibleControls(const Form1& f, Container container)
{
    QJsonArray found;
    const auto add = [&found](QRect at, const char* role, const QString& name, bool shown,
                         bool enabled, bool checked) {
        found.append(QJsonArray { QString::fromLatin1(role), name, QJsonArray { at.x(), at.y() },
            shown, enabled, checked });
    };
    const bool panel = f.Frame1.Visible;
    for (const PaintedControl& painted : f.paintOrder(container)) {
        if (const auto* const* label = std::get_if<const Label*>(&painted)) {
            const bool letterCase = std::string_view(roleOf(f, **label)) == "RadioButton";
            add(testing::placeInWindow(f, **label), roleOf(f, **label),
                (letterCase ? u"Letter case, "_s : QString()) + (*label)->Caption,
                (*label)->Visible && (container == Container::Form1 || panel), (*label)->Enabled,
                *label == &f.lblMixed); // the letter case chosen from the start
        }
    }
    if (container == Container::Form1)
        return found;
    for (const OptionButton* o : { &f.Option1, &f.Option2, &f.Option3 })
        add(testing::placeInWindow(f, *o), "RadioButton", f.Label7.Caption + u", "_s + o->Caption,
            o->Visible && (o->In == Container::Form1 || panel), true, o->Value);
    const std::pair<const CommandButton*, bool> levels[]
        = { { &f.Command1, f.First }, { &f.Command2, f.Second }, { &f.Command3, f.Third } };
    for (const auto& [button, chosen] : levels)
        add(testing::placeInWindow(f, *button), "RadioButton",
            f.Label12.Caption + u", "_s + button->Caption, panel, true, chosen);
    add(placeOf(f.Combo1), "ComboBox", f.Combo1.Text, f.Combo1.Visible, true, false);
    add(placeOf(f.Frame1), "Client", f.Label5.Caption, panel, true, false);
    return found;
}

QJsonObject soundBands()
{
    QJsonObject bands;
    for (const keyfall::sounds::Signature& signature : keyfall::sounds::kAll)
        bands[QString::fromUtf8(signature.fileName)]
            = QJsonArray { signature.dominantLowHz, signature.dominantHighHz };
    return bands;
}

int printPicture(int argc, char* argv[])
{
    QApplication app(argc, argv);
    applyLookAndFeel();
    testing::VirtualClock clock;
    testing::RecordingSound sound;
    MainWindow window(clock, sound);
    QFile out;
    return out.open(stdout, QIODevice::WriteOnly) && window.grab().toImage().save(&out, "PPM") ? 0
                                                                                               : 1;
}

}

int main(int argc, char* argv[])
{
    if (argc > 1 && std::string_view(argv[1]) == "--picture")
        return printPicture(argc, argv);
    const testing::Game game;
    const Form1& f = game.form;
    testing::Game missing;
    const Label& miss = missed(missing);
    testing::Game withPanel;
    withPanel.form.lblSettings_Click();
    // Colours as the form stores them, 0x00BBGGRR.
    const QJsonObject facts { { u"controls"_s, controls(f) },
        { u"colours"_s,
            QJsonObject { { u"panel"_s, qint64(f.Frame1.BackColor) },
                { u"target"_s, qint64(f.Label1.ForeColor) },
                { u"missed"_s, qint64(miss.ForeColor) },
                { u"timeOver"_s, qint64(f.lblOver.ForeColor) } } },
        { u"targets"_s, targets() },
        { u"missTop"_s, testing::placeInWindow(missing.form, miss).y() },
        { u"sounds"_s, soundBands() },
        { u"accessibleAtStart"_s, accessibleControls(f, Container::Form1) },
        { u"accessibleInPanel"_s, accessibleControls(withPanel.form, Container::Frame1) } };
    std::fputs(QJsonDocument(facts).toJson(QJsonDocument::Compact).constData(), stdout);
    return 0;
}
