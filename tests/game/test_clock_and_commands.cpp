#include "game_fixture.h"

#include <QTest>

using namespace keyfall;
using namespace keyfall::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

void expectRoundOver(const Game& game)
{
    const Form1& f = game.form;
    QCOMPARE(f.lbltime.Caption, u"0"_s);
    QVERIFY(f.lblOver.Visible);
    QCOMPARE(f.lblOver.font.Size, 71.0);
    QVERIFY(!f.Label1.Visible);
    QVERIFY(!f.Text1.Enabled);
    QVERIFY(!f.lblPause.Enabled);
    QVERIFY(!anyTimerRuns(f));
    QCOMPARE(game.sound.played.back(), Sound::TheEnd);
}

}

class ClockAndCommandsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundOfOneHundredSecondsEndsOnTheHundredthTick()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        game.clock.advance(1000);
        QCOMPARE(f.lbltime.Caption, u"99"_s);
        f.Shooted = 7;
        f.lblShooted.Caption = u"7"_s;
        game.clock.advance(98'999);
        QCOMPARE(f.lbltime.Caption, u"1"_s);
        QVERIFY(f.Timer3.running());
        game.clock.advance(1);
        expectRoundOver(game);
        QCOMPARE(std::count(game.sound.played.begin(), game.sound.played.end(), Sound::TheEnd), 1);
        QCOMPARE(f.lblShooted.Caption, u"7"_s); // the result stays on screen
        QCOMPARE(f.lblMissed.Caption, QString::number(f.Missed));
        QVERIFY(f.Missed > 0);
    }

    // A round length that never meets 0 exactly still ends at the first tick that leaves no time.
    void oddRoundLengthsEndAtTheFirstTickWithNoTimeLeft_data()
    {
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("shownAtStart");
        QTest::addColumn<int>("ticks");
        QTest::newRow("zero") << u"0"_s << u"0"_s << 1;
        QTest::newRow("negative") << u"-5"_s << u"-5"_s << 1;
        QTest::newRow("fraction") << u"2.5"_s << u"2.5"_s << 3;
        QTest::newRow("not a number") << u"abc"_s << u"0"_s << 1;
        QTest::newRow("empty") << QString() << u"0"_s << 1;
        QTest::newRow("number then letters") << u"3 seconds"_s << u"3"_s << 3;
    }
    void oddRoundLengthsEndAtTheFirstTickWithNoTimeLeft()
    {
        QFETCH(QString, length);
        QFETCH(QString, shownAtStart);
        QFETCH(int, ticks);
        Game game;
        game.form.Combo1.Text = length;
        game.form.lblNew_Click();
        QCOMPARE(game.form.lbltime.Caption, shownAtStart);
        game.clock.advance(1000 * (ticks - 1));
        QVERIFY(game.form.Timer3.running());
        game.clock.advance(1000);
        expectRoundOver(game);
    }

    void missInTheLastHalfSecondBringsNoTargetAfterTimeOver()
    {
        Game game;
        game.form.Combo1.Text = u"4"_s;
        game.form.lblNew_Click();
        game.clock.advance(3600); // missed at 3.6 s, respawn due at 4.1 s
        QVERIFY(game.form.Timer2.running());
        game.clock.advance(10'000);
        expectRoundOver(game);
        QCOMPARE(std::count(game.sound.played.begin(), game.sound.played.end(), Sound::Boing), 0);
    }

    void pauseAndResumeContinueFromTheSameHeightAndSecond()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        game.clock.advance(1100);
        const float top = f.Label1.Top;
        f.lblPause_Click();
        QVERIFY(f.paused);
        QCOMPARE(f.lblPause.Caption, u"PAUSED"_s);
        QCOMPARE(f.lblPause.ForeColor, colour::kRed);
        game.clock.advance(60'000);
        QCOMPARE(f.Label1.Top, top);
        QCOMPARE(f.lbltime.Caption, u"99"_s);
        f.lblPause_Click();
        QVERIFY(!f.paused);
        QCOMPARE(f.lblPause.Caption, u"PAUSE"_s);
        QCOMPARE(f.lblPause.ForeColor, colour::kLightGreen);
        game.clock.advance(200);
        QCOMPARE(f.Label1.Top, top + 200);
        game.clock.advance(800);
        QCOMPARE(f.lbltime.Caption, u"98"_s);
        QCOMPARE(f.Shooted + f.Missed, 0);
    }

    void newGameInTheMiddleOfARoundStartsAfresh()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        game.clock.advance(4000);
        game.hit();
        QVERIFY(f.Shooted == 1 && f.Missed == 1);
        f.Combo1.Text = u"200"_s;
        f.lblNew_Click();
        QCOMPARE(f.lblShooted.Caption, u"0"_s);
        QCOMPARE(f.lblMissed.Caption, u"0"_s);
        QCOMPARE(f.lbltime.Caption, u"200"_s);
        QCOMPARE(f.Ttime, 200.0);
        QCOMPARE(f.Label1.Top, 360.0f);
        QVERIFY(f.Text1.Enabled && f.lblPause.Enabled && !f.lblOver.Visible);
    }

    // At level 2 a target left half-typed at time-over would complete with the next round's first
    // key, as a mismatch.
    void newGameEmptiesAHalfTypedEntryWithoutASound()
    {
        Game game;
        Form1& f = game.form;
        f.Command2_Click();
        f.Combo1.Text = u"1"_s;
        f.lblNew_Click();
        game.type(f.Label1.Caption.first(1));
        game.clock.advance(1000);
        expectRoundOver(game);
        f.lblNew_Click();
        QVERIFY(f.Text1.Text.isEmpty());
        game.type(f.Label1.Caption.first(1));
        QCOMPARE(game.sound.played, std::vector { Sound::TheEnd });
        game.type(f.Label1.Caption.sliced(1));
        QCOMPARE(f.Shooted, 1);
    }

    // Outside a round the pause toggle flips the flag and the label but moves nothing.
    void pauseOutsideARoundStartsNoTimer()
    {
        Game game;
        Form1& f = game.form;
        f.lblPause_Click();
        QVERIFY(f.paused);
        QCOMPARE(f.lblPause.Caption, u"PAUSED"_s);
        f.lblPause_Click();
        QVERIFY(!f.paused);
        QCOMPARE(f.lblPause.Caption, u"PAUSE"_s);
        QVERIFY(!anyTimerRuns(f));

        f.Combo1.Text = u"1"_s;
        f.lblNew_Click();
        game.clock.advance(1000);
        expectRoundOver(game);
        f.lblPause_Click();
        f.lblPause_Click();
        QVERIFY(!anyTimerRuns(f));
    }

    // Pausing holds a pending respawn; resuming restarts its half second, not the fall.
    void pauseHoldsAPendingRespawn()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        game.clock.advance(3600 + 300);
        f.lblPause_Click();
        QVERIFY(!anyTimerRuns(f));
        game.clock.advance(5000);
        QVERIFY(game.sound.played.empty());
        QCOMPARE(f.Label1.ForeColor, colour::kRed);
        f.lblPause_Click();
        QVERIFY(f.Timer2.running() && !f.Timer1.running());
        game.clock.advance(499);
        QCOMPARE(f.Label1.ForeColor, colour::kRed);
        game.clock.advance(1);
        QCOMPARE(game.sound.played, std::vector { Sound::Boing });
        QCOMPARE(f.Missed, 1);
        QCOMPARE(f.Label1.ForeColor, colour::kWhite);
        QVERIFY(f.Timer1.running());
    }

    void newGameRunsUnpausedAndDropsAStaleRespawn()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        game.clock.advance(3700);
        QVERIFY(f.Timer2.running());
        f.lblPause_Click();
        f.lblNew_Click();
        QVERIFY(!f.paused);
        QCOMPARE(f.lblPause.Caption, u"PAUSE"_s);
        QCOMPARE(f.lblPause.ForeColor, colour::kLightGreen);
        QVERIFY(!f.Timer2.running());
        const QString first = f.Label1.Caption;
        game.clock.advance(3000);
        QVERIFY(game.sound.played.empty());
        QCOMPARE(f.Label1.Caption, first);
        QCOMPARE(f.Label1.Top, 360.0f + 15 * 200);
    }

    void quitReleasesTheLettersAndClosesTheWindow()
    {
        Game game;
        game.form.lblNew_Click();
        game.form.lblQuit_Click();
        QCOMPARE(game.window.closed, 1);
        QVERIFY(game.form.Letters.empty());
        QVERIFY(!anyTimerRuns(game.form));
    }

    void clicksReachOnlyShownEnabledLabels()
    {
        Game game;
        Form1& f = game.form;
        f.clickLabel(f.lblCaps); // inside the hidden panel
        QCOMPARE(f.lblCaps.BorderStyle, Border::None);
        f.clickLabel(f.Label2); // no handler
        f.clickLabel(f.lblSettings);
        f.clickLabel(f.lblCaps);
        QCOMPARE(f.lblCaps.BorderStyle, Border::FixedSingle);
        f.clickLabel(f.Label9);
        QVERIFY(f.roundRunning);
        f.Combo1.Text = u"1"_s;
        f.clickLabel(f.lblNew);
        game.clock.advance(1000);
        f.clickLabel(f.lblPause); // disabled after time-over
        QVERIFY(!f.paused);
    }
};

QTEST_GUILESS_MAIN(ClockAndCommandsTest)
#include "test_clock_and_commands.moc"
