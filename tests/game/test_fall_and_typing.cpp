#include "game_fixture.h"

#include <QTest>

using namespace keyfall;
using namespace keyfall::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

// Puts a known target on screen.
void showTarget(Game& game, const QString& caption)
{
    game.form.Label1.Caption = caption;
    game.form.Label1.Visible = true;
}

}

class FallAndTypingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void targetIsMissedOnItsEighteenthTick_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("missAtMs");
        QTest::newRow("stored period") << -1 << 3600;
        QTest::newRow("Slow") << 0 << 7200;
        QTest::newRow("Normal") << 1 << 3600;
        QTest::newRow("Speed") << 2 << 1800;
    }
    void targetIsMissedOnItsEighteenthTick()
    {
        QFETCH(int, option);
        QFETCH(int, missAtMs);
        Game game;
        Form1& f = game.form;
        if (option >= 0) {
            f.lblSettings_Click();
            f.chooseOption(*std::array { &f.Option1, &f.Option2, &f.Option3 }[option]);
            f.Label9_Click();
        } else {
            f.lblNew_Click();
        }
        game.clock.advance(missAtMs - 1);
        QCOMPARE(f.Label1.Top, 3760.0f);
        QCOMPARE(f.Missed, 0);
        game.clock.advance(1);
        QCOMPARE(f.Label1.Top, 3960.0f);
        QCOMPARE(f.Missed, 1);
        QCOMPARE(f.lblMissed.Caption, u"1"_s);
        QCOMPARE(f.Label1.ForeColor, colour::kRed);
        QVERIFY(!f.Timer1.running() && f.Timer2.running());

        // The red target stays put and is counted once; half a second later the next one falls.
        game.clock.advance(499);
        QCOMPARE(f.Label1.Top, 3960.0f);
        QCOMPARE(f.Missed, 1);
        QVERIFY(game.sound.played.empty());
        game.clock.advance(1);
        QCOMPARE(game.sound.played, std::vector { Sound::Boing });
        QCOMPARE(f.Label1.Top, 360.0f);
        QCOMPARE(f.Label1.ForeColor, colour::kWhite);
        QVERIFY(f.Timer1.running() && !f.Timer2.running());
        QVERIFY(!f.paused);

        game.clock.advance(missAtMs);
        QCOMPARE(f.lblMissed.Caption, u"2"_s);
    }

    void windowOutOfSightPausesAtTheNextRespawn()
    {
        Game game;
        game.form.lblNew_Click();
        game.window.outOfSight = true;
        game.clock.advance(3600 + 500);
        QVERIFY(game.form.paused);
        QCOMPARE(game.form.lblPause.Caption, u"PAUSED"_s);
        QVERIFY(!game.form.Timer1.running() && !game.form.Timer3.running());
        QCOMPARE(game.form.Label1.Top, 360.0f);
    }

    void levelOneHitAndCaseSensitiveError()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        showTarget(game, u"G"_s);
        game.type(u"g"_s);
        QCOMPARE(game.sound.played, std::vector { Sound::Wrong });
        QVERIFY(f.Text1.Text.isEmpty());
        QCOMPARE(f.Shooted, 0);
        QCOMPARE(f.Label1.Caption, u"G"_s);

        game.type(u"G"_s);
        QCOMPARE(game.sound.played, (std::vector { Sound::Wrong, Sound::Shooted }));
        QVERIFY(f.Text1.Text.isEmpty());
        QCOMPARE(f.Shooted, 1);
        QCOMPARE(f.lblShooted.Caption, u"1"_s);
        QVERIFY(f.Label1.Visible);
        QCOMPARE(f.Label1.Top, 360.0f);
        QCOMPARE(f.Missed, 0);
    }

    void levelTwoComparesOnlyOnceTwoCharactersAreTyped()
    {
        Game game;
        Form1& f = game.form;
        f.Command2_Click();
        showTarget(game, u"Qx"_s);
        game.type(u"Q"_s);
        QVERIFY(game.sound.played.empty());
        QCOMPARE(f.Text1.Text, u"Q"_s);
        game.type(u"z"_s);
        QCOMPARE(game.sound.played, std::vector { Sound::Wrong });
        QVERIFY(f.Text1.Text.isEmpty());

        game.type(u"Qx"_s);
        QCOMPARE(f.Shooted, 1);
    }

    void levelThreeDecidesOnTheThirdCharacter()
    {
        Game game;
        game.form.Command3_Click();
        showTarget(game, u"abc"_s);
        game.type(u"zz"_s);
        QVERIFY(game.sound.played.empty());
        game.type(u"c"_s);
        QCOMPARE(game.sound.played, std::vector { Sound::Wrong });
    }

    void pasteIsJudgedByItsFirstCharactersOnly()
    {
        Game game;
        showTarget(game, u"G"_s);
        game.form.setText1Text(u"Gxyz"_s);
        QCOMPARE(game.form.Shooted, 1);
        QVERIFY(game.form.Text1.Text.isEmpty());
    }

    // A character outside the basic plane is one character, two UTF-16 units: it must neither
    // complete a two-letter target nor be compared half by half.
    void charactersAreCountedAsCodePoints()
    {
        Game game;
        game.form.Command2_Click();
        showTarget(game, u"Qx"_s);
        game.form.setText1Text(u"\U0001F600"_s);
        QVERIFY(game.sound.played.empty());
        QCOMPARE(game.form.Text1.Text, u"\U0001F600"_s);
        game.form.setText1Text(u"\U0001F600x"_s);
        QCOMPARE(game.sound.played, std::vector { Sound::Wrong });

        game.form.Command1_Click();
        showTarget(game, u"G"_s);
        game.form.setText1Text(u"\U0001F600"_s);
        QCOMPARE(game.sound.played.back(), Sound::Wrong);
        game.form.setText1Text(QString(QChar(0xD83D))); // a lone surrogate is a character too
        QCOMPARE(game.sound.played.size(), 3u);
    }

    void typingBeforeTheFirstGameScoresAndTheTargetStandsStill()
    {
        Game game;
        game.type(u"G"_s);
        QCOMPARE(game.form.Shooted, 1);
        QVERIFY(game.form.Label1.Visible);
        const float top = game.form.Label1.Top;
        game.clock.advance(10'000);
        QCOMPARE(game.form.Label1.Top, top);
    }

    void levelChangeMakesTheTargetOnScreenUnhittable()
    {
        Game game;
        game.form.lblNew_Click();
        const QString target = game.form.Label1.Caption;
        game.form.Command3_Click();
        game.type(target + target + target);
        QCOMPARE(game.form.Shooted, 0);
        QCOMPARE(game.sound.played, std::vector { Sound::Wrong });
    }

    // A hit on a red target counts as well as its miss; the next target waits for the respawn.
    void hitOnARedTargetCountsBothAndWaitsForTheRespawn()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        game.clock.advance(3600);
        QCOMPARE(f.Label1.ForeColor, colour::kRed);
        game.hit();
        QCOMPARE(f.Shooted, 1);
        QCOMPARE(f.Missed, 1);
        QCOMPARE(f.Label1.ForeColor, colour::kWhite);
        game.clock.advance(499);
        QCOMPARE(f.Label1.Top, 360.0f);
        const std::uint32_t waitingDrawn = f.random.state();
        game.clock.advance(1);
        QCOMPARE(game.sound.played, (std::vector { Sound::Shooted, Sound::Boing }));
        QCOMPARE(f.Missed, 1);
        QVERIFY(f.random.state() != waitingDrawn); // the respawn drew a new target
        game.clock.advance(200);
        QCOMPARE(f.Label1.Top, 560.0f);
    }

    void hitCounterHasNoLeadingZerosAndKeepsCountingPast32767()
    {
        Game game;
        game.form.lblNew_Click();
        game.form.Shooted = 32766;
        game.hit();
        QCOMPARE(game.form.lblShooted.Caption, u"32767"_s);
        game.hit();
        QCOMPARE(game.form.lblShooted.Caption, u"32768"_s);
        QCOMPARE(game.form.Shooted, 32768);
    }
};

QTEST_GUILESS_MAIN(FallAndTypingTest)
#include "test_fall_and_typing.moc"
