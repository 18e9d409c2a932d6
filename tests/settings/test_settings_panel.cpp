#include "game_fixture.h"

#include <QTest>

using namespace keyfall;
using namespace keyfall::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

struct Snapshot {
    float top;
    QString caption, time;
    std::int64_t shooted, missed;
    bool operator==(const Snapshot&) const = default;
};
Snapshot snapshot(const Form1& f)
{
    return { f.Label1.Top, f.Label1.Caption, f.lbltime.Caption, f.Shooted, f.Missed };
}

void open(Game& game) { game.form.clickLabel(game.form.lblSettings); }
void ok(Game& game) { game.form.clickLabel(game.form.Label9); }
void cancel(Game& game) { game.form.clickLabel(game.form.Label10); }

}

class SettingsPanelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void openingPausesARunningRoundAndShowsThePanel()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        open(game);
        QVERIFY(f.paused);
        QCOMPARE(f.lblPause.Caption, u"PAUSED"_s);
        QVERIFY(!anyTimerRuns(f));
        QVERIFY(f.Frame1.Visible && f.Option1.Visible && f.Option2.Visible && f.Option3.Visible
            && f.Combo1.Visible);
    }

    void okSetsTheFallPeriodOfTheChosenSpeed_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("periodMs");
        QTest::newRow("Slow") << 0 << 400;
        QTest::newRow("Normal") << 1 << 200;
        QTest::newRow("Speed") << 2 << 100;
    }
    void okSetsTheFallPeriodOfTheChosenSpeed()
    {
        QFETCH(int, option);
        QFETCH(int, periodMs);
        Game game;
        Form1& f = game.form;
        OptionButton* options[] = { &f.Option1, &f.Option2, &f.Option3 };
        open(game);
        f.chooseOption(*options[option]);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(options[i]->Value, i == option);
        ok(game);
        QCOMPARE(f.Timer1.interval(), periodMs);
        QVERIFY(!f.Frame1.Visible && !f.Option1.Visible && !f.Option2.Visible && !f.Option3.Visible
            && !f.Combo1.Visible);
        game.clock.advance(periodMs);
        QCOMPARE(f.Label1.Top, 560.0f);
    }

    void cancelKeepsTheOldPeriodButTheChosenOption()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        open(game);
        f.chooseOption(f.Option3);
        cancel(game);
        QCOMPARE(f.Timer1.interval(), 200);
        open(game);
        QVERIFY(f.Option3.Value && !f.Option1.Value && !f.Option2.Value);
        ok(game);
        QCOMPARE(f.Timer1.interval(), 100);
    }

    void okStartsANewRoundOfTheChosenLength_data()
    {
        QTest::addColumn<QString>("length");
        QTest::newRow("picked from the list") << u"300"_s;
        QTest::newRow("typed") << u"150"_s;
    }
    void okStartsANewRoundOfTheChosenLength()
    {
        QFETCH(QString, length);
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        game.clock.advance(5000);
        open(game);
        f.Combo1.Text = length;
        ok(game);
        QCOMPARE(f.lbltime.Caption, length);
        QCOMPARE(f.lblShooted.Caption, u"0"_s);
        QCOMPARE(f.lblMissed.Caption, u"0"_s);
        QVERIFY(!f.paused && f.Timer1.running() && f.Timer3.running());
        QCOMPARE(f.lblPause.Caption, u"PAUSE"_s);
        game.clock.advance(1000 * length.toInt() - 1);
        QVERIFY(!f.lblOver.Visible);
        game.clock.advance(1);
        QVERIFY(f.lblOver.Visible);
    }

    void lengthChosenBeforeCancelAppliesToTheNextNewGame()
    {
        Game game;
        open(game);
        game.form.Combo1.Text = u"200"_s;
        cancel(game);
        game.form.lblNew_Click();
        QCOMPARE(game.form.lbltime.Caption, u"200"_s);
    }

    void levelThreeThenOkGivesAThreeLetterFirstTarget()
    {
        Game game;
        open(game);
        game.form.Command3_Click();
        game.form.lblSmall_Click();
        ok(game);
        QCOMPARE(game.form.Label1.Caption.size(), 3);
        QCOMPARE(game.form.Label1.Caption, game.form.Label1.Caption.toLower());
    }

    void openAndCancelMidRoundChangesNothing()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        game.clock.advance(2300);
        game.hit();
        const Snapshot before = snapshot(f);
        open(game);
        game.clock.advance(30'000);
        cancel(game);
        QVERIFY(snapshot(f) == before);
        QVERIFY(!f.paused);
        QCOMPARE(f.lblPause.Caption, u"PAUSE"_s);
        QVERIFY(f.Timer1.running() && f.Timer3.running());
    }

    void openDuringTheRespawnDelayHoldsIt()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        game.clock.advance(3600 + 200);
        open(game);
        game.clock.advance(10'000);
        QCOMPARE(f.Label1.ForeColor, colour::kRed);
        QVERIFY(game.sound.played.empty());
        cancel(game);
        game.clock.advance(500);
        QCOMPARE(game.sound.played, std::vector { Sound::Boing });
        QCOMPARE(f.Missed, 1);
        QCOMPARE(f.Label1.Top, 360.0f);
    }

    void openedWhilePausedStaysPausedThroughCancel()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        f.lblPause_Click();
        open(game);
        QVERIFY(f.paused && !anyTimerRuns(f));
        cancel(game);
        QVERIFY(f.paused && !anyTimerRuns(f));
        QCOMPARE(f.lblPause.Caption, u"PAUSED"_s);
    }

    void settingsWhileOpenDoesNothing()
    {
        Game game;
        Form1& f = game.form;
        f.lblNew_Click();
        open(game);
        open(game);
        QVERIFY(f.paused && !anyTimerRuns(f) && f.Frame1.Visible);
        cancel(game);
        QVERIFY(!f.paused && f.Timer1.running());
    }

    void beforeTheFirstGameOpeningShowsPausedAndStartsNothing()
    {
        Game game;
        open(game);
        QCOMPARE(game.form.lblPause.Caption, u"PAUSED"_s);
        cancel(game);
        QVERIFY(!game.form.paused && !anyTimerRuns(game.form));
        QCOMPARE(game.form.lblPause.Caption, u"PAUSE"_s);
    }

    // Every sequence of up to five panel and game events leaves the pause flag, the pause label
    // and the timers in agreement, and no timer running outside a round.
    void everyRoadThroughThePanelStaysConsistent()
    {
        enum Step { Open, Ok, Cancel, Pause, NewGame, Tick1, Tick2, Tick3, TimeOver, kSteps };
        const auto apply = [](Game& game, int step, bool& started) {
            Form1& f = game.form;
            switch (step) {
            case Open:
                return open(game);
            case Ok:
                started = started || f.Frame1.Visible;
                return ok(game);
            case Cancel:
                return cancel(game);
            case Pause:
                return f.clickLabel(f.lblPause);
            case NewGame:
                started = true;
                return f.clickLabel(f.lblNew);
            case TimeOver:
                while (f.Timer3.running())
                    game.untilTick(f.Timer3);
                return;
            default: {
                const GameTimer* timers[] = { &f.Timer1, &f.Timer2, &f.Timer3 };
                if (timers[step - Tick1]->running())
                    game.untilTick(*timers[step - Tick1]);
            }
            }
        };
        const auto check = [](const Form1& f, bool started) {
            const bool inRound = started && !f.lblOver.Visible;
            if (f.paused) {
                QCOMPARE(f.lblPause.Caption, u"PAUSED"_s);
                QCOMPARE(f.lblPause.ForeColor, colour::kRed);
            } else {
                QVERIFY(f.lblPause.Caption == u"PAUSE"_s || f.lblPause.Caption == u"PAUSE "_s);
                QCOMPARE(f.lblPause.ForeColor, colour::kLightGreen);
            }
            if (!inRound || f.paused) {
                QVERIFY(!anyTimerRuns(f));
            } else {
                QVERIFY(f.Timer3.running());
                QVERIFY(f.Timer1.running() != f.Timer2.running());
                QCOMPARE(
                    f.Timer2.running(), f.Label1.ForeColor == colour::kRed || f.respawnPending);
            }
            QCOMPARE(f.Option1.Visible, f.Frame1.Visible);
            QCOMPARE(f.Option2.Visible, f.Frame1.Visible);
            QCOMPARE(f.Combo1.Visible, f.Frame1.Visible);
        };

        const int walked = forEachSequence(kSteps, 1, 5, [&](const std::vector<int>& steps) {
            Game game;
            game.form.Combo1.Text = u"2"_s;
            bool started = false;
            for (int step : steps) {
                apply(game, step, started);
                check(game.form, started);
            }
        });
        QCOMPARE(walked, 9 + 81 + 729 + 6561 + 59049);
    }
};

QTEST_GUILESS_MAIN(SettingsPanelTest)
#include "test_settings_panel.moc"
