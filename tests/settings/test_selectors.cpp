#include "game_fixture.h"

#include <QTest>

using namespace keyfall;
using namespace keyfall::testing;

namespace {

using Handler = void (Form1::*)();
struct Selector {
    Handler click;
    int level; // 1..3, or 0 for a case label
    int letterCase; // 0 capitals, 1 small, 2 mixed; -1 for a level button
};
const Selector kSelectors[] = {
    { &Form1::Command1_Click, 1, -1 },
    { &Form1::Command2_Click, 2, -1 },
    { &Form1::Command3_Click, 3, -1 },
    { &Form1::lblCaps_Click, 0, 0 },
    { &Form1::lblSmall_Click, 0, 1 },
    { &Form1::lblMixed_Click, 0, 2 },
};

// Checks that the form shows exactly the level and case expected, and nothing else.
void expectChoice(const Form1& f, int level, int letterCase)
{
    const bool flags[] = { f.First, f.Second, f.Third };
    const Colour chosen[] = { colour::kLightCyan, colour::kLightMagenta, colour::kLightRed };
    const CommandButton* buttons[] = { &f.Command1, &f.Command2, &f.Command3 };
    const Label* labels[] = { &f.lblCaps, &f.lblSmall, &f.lblMixed };
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(flags[i], i + 1 == level);
        QCOMPARE(buttons[i]->BackColor, i + 1 == level ? chosen[i] : colour::kGrey);
        QCOMPARE(labels[i]->BorderStyle, i == letterCase ? Border::FixedSingle : Border::None);
    }
    QCOMPARE(f.targetLength(), level);
}

}

class SelectorsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every sequence of up to four clicks leaves one level and one case chosen: the last clicked.
    void lastClickWinsInAnyOrder()
    {
        const int sequences
            = forEachSequence(std::size(kSelectors), 0, 4, [](const std::vector<int>& steps) {
                  Game game;
                  int level = 1, letterCase = 2;
                  for (int step : steps) {
                      const Selector& s = kSelectors[step];
                      (game.form.*s.click)();
                      level = s.level ? s.level : level;
                      letterCase = s.letterCase >= 0 ? s.letterCase : letterCase;
                  }
                  expectChoice(game.form, level, letterCase);
              });
        QCOMPARE(sequences, 1 + 6 + 36 + 216 + 1296);
    }

    void selectorsChangeNothingElse()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        game.clock.advance(700);
        const float top = f.Label1.Top;
        const QString caption = f.Label1.Caption;
        for (const Selector& s : kSelectors)
            (f.*s.click)();
        QCOMPARE(f.Label1.Top, top);
        QCOMPARE(f.Label1.Caption, caption);
        QVERIFY(f.Timer1.running() && f.Timer3.running() && !f.paused);
        QVERIFY(game.sound.played.empty());
    }
};

QTEST_GUILESS_MAIN(SelectorsTest)
#include "test_selectors.moc"
