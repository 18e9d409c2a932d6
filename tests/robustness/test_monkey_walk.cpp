#include "game_fixture.h"

#include <QTest>
#include <memory>
#include <random>

using namespace keyfall;
using namespace keyfall::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kEvents = 120'000;

// A seeded random walk over everything a player can do, checking after every event that the
// game's state is one the game can be in.
class MonkeyWalk {
public:
    explicit MonkeyWalk(std::uint32_t seed)
        : random_(seed)
    {
        restart();
    }

    void step()
    {
        Form1& f = game_->form;
        const std::uint32_t drawnBefore = f.random.state();
        switch (pick(12)) {
        case 0:
        case 1:
            clickAnyLabel();
            break;
        case 2:
            clickAnyWidget();
            break;
        case 3:
        case 4:
        case 5:
            typeOneCharacter();
            break;
        case 6:
            if (pick(200) == 0)
                paste();
            else
                typeTheTarget();
            break;
        case 7:
            if (f.Combo1.Visible)
                f.Combo1.Text = pickRoundLength();
            break;
        case 8:
            game_->window.outOfSight = !game_->window.outOfSight;
            break;
        default:
            game_->clock.advance(pick(500)); // shorter than a respawn, so no miss goes unseen
            break;
        }
        check(drawnBefore);
    }

    int events = 0;
    int rounds = 0;
    int quits = 0;
    std::int64_t hits = 0;
    std::int64_t misses = 0;

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    void restart()
    {
        game_ = std::make_unique<Game>();
        lastForeColor_ = game_->form.Label1.ForeColor;
        hitsSinceNewGame_ = missesSinceNewGame_ = 0;
        soundsSeen_ = 0;
        roundStarted_ = false;
    }

    void clickAnyLabel()
    {
        Form1& f = game_->form;
        const std::vector<PaintedControl> window = f.paintOrder(Container::Form1);
        const std::vector<PaintedControl> panel = f.paintOrder(Container::Frame1);
        std::vector<const Label*> labels;
        for (const auto& list : { window, panel })
            for (const PaintedControl& control : list)
                if (const auto* label = std::get_if<const Label*>(&control))
                    labels.push_back(*label);
        const Label* label = labels[pick(int(labels.size()))];
        if (label == &f.lblQuit && pick(50) != 0)
            return; // quit rarely, or the walk would mostly test start-up
        const bool startsRound
            = f.canTakeClicks(*label) && (label == &f.lblNew || label == &f.Label9);
        if (startsRound) {
            hitsSinceNewGame_ = missesSinceNewGame_ = 0;
            roundStarted_ = true;
            ++rounds;
        }
        f.clickLabel(*label);
        if (label == &f.lblQuit && f.canTakeClicks(*label)) {
            QCOMPARE(game_->window.closed, 1);
            QVERIFY(f.Letters.empty());
            ++quits;
            restart();
        }
    }

    void clickAnyWidget()
    {
        Form1& f = game_->form;
        if (!f.Frame1.Visible)
            return;
        switch (pick(6)) {
        case 0:
            return f.Command1_Click();
        case 1:
            return f.Command2_Click();
        case 2:
            return f.Command3_Click();
        default:
            return f.chooseOption(*std::array { &f.Option1, &f.Option2, &f.Option3 }[pick(3)]);
        }
    }

    void typeOneCharacter()
    {
        static const QString kCharacters
            = u"aAgGqQzZ019 !@#\t\n\r\u0001\u007f\u00e9\u00c9\u00df\u4e2d\U0001F600"_s;
        Form1& f = game_->form;
        if (!f.Text1.Enabled)
            return;
        if (pick(10) == 0 && !f.Text1.Text.isEmpty())
            f.setText1Text(f.Text1.Text.chopped(1)); // backspace
        else
            f.setText1Text(f.Text1.Text + kCharacters.mid(pick(int(kCharacters.size())), 1));
    }

    void typeTheTarget()
    {
        if (game_->form.Text1.Enabled)
            game_->type(game_->form.Label1.Caption);
    }

    void paste()
    {
        Form1& f = game_->form;
        if (!f.Text1.Enabled)
            return;
        const int size = 1 + pick(1 << 20);
        QString text(size, QChar(u'a' + pick(26)));
        if (pick(2) == 0)
            text.prepend(f.Label1.Caption);
        f.setText1Text(f.Text1.Text + text);
    }

    QString pickRoundLength()
    {
        static const QStringList kLengths = { u""_s, u"-5"_s, u"0"_s, u"0.5"_s, u"1e308"_s,
            u"nan"_s, u"inf"_s, u"9999999999999999999999"_s, u"12abc"_s, u"  7"_s, u"0x10"_s,
            u"1e-400"_s, u"-1e999"_s, u"3"_s, u"2"_s, u"\u0661\u0662"_s, u"+1.5e1"_s };
        return kLengths[pick(int(kLengths.size()))];
    }

    void check(std::uint32_t drawnBefore)
    {
        const Form1& f = game_->form;
        const auto& played = game_->sound.played;
        for (; soundsSeen_ < played.size(); ++soundsSeen_) {
            if (played[soundsSeen_] == Sound::Shooted) {
                ++hitsSinceNewGame_;
                ++hits;
            }
        }
        // A target turns red only when it is missed, whether or not the round ends in that tick.
        if (f.Label1.ForeColor == colour::kRed && lastForeColor_ != colour::kRed) {
            ++missesSinceNewGame_;
            ++misses;
        }
        lastForeColor_ = f.Label1.ForeColor;

        QCOMPARE(int(f.First) + int(f.Second) + int(f.Third), 1);
        int bordered = 0;
        for (const Label* label : { &f.lblCaps, &f.lblSmall, &f.lblMixed })
            bordered += label->BorderStyle == Border::FixedSingle;
        QCOMPARE(bordered, 1);

        QCOMPARE(f.lblPause.Caption == u"PAUSED"_s, f.paused);
        const bool inRound = roundStarted_ && !f.lblOver.Visible;
        const bool anyRuns = f.Timer1.running() || f.Timer2.running() || f.Timer3.running();
        if (!inRound || f.paused)
            QVERIFY(!anyRuns);
        else
            QVERIFY(f.Timer3.running() && f.Timer1.running() != f.Timer2.running());

        if (roundStarted_) {
            QCOMPARE(f.Shooted, hitsSinceNewGame_);
            QCOMPARE(f.Missed, missesSinceNewGame_);
            QCOMPARE(f.lblShooted.Caption, QString::number(f.Shooted));
            QCOMPARE(f.lblMissed.Caption, QString::number(f.Missed));
        }

        if (f.random.state() != drawnBefore) {
            const QString& target = f.Label1.Caption;
            QCOMPARE(target.size(), f.targetLength());
            for (QChar c : target) {
                QVERIFY(c.isLetter() && c.unicode() < 128);
                if (f.lblCaps.BorderStyle == Border::FixedSingle)
                    QVERIFY(c.isUpper());
                if (f.lblSmall.BorderStyle == Border::FixedSingle)
                    QVERIFY(c.isLower());
            }
        }
        ++events;
    }

    std::mt19937 random_;
    std::unique_ptr<Game> game_;
    Colour lastForeColor_ = colour::kWhite;
    std::int64_t hitsSinceNewGame_ = 0;
    std::int64_t missesSinceNewGame_ = 0;
    std::size_t soundsSeen_ = 0;
    bool roundStarted_ = false;
};

}

class MonkeyWalkTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void randomWalkKeepsTheGameConsistent()
    {
        MonkeyWalk walk(20261207);
        for (int i = 0; i < kEvents; ++i) {
            walk.step();
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("after event %1").arg(i)));
        }
        qInfo("events %d, rounds %d, quits %d, hits %lld, misses %lld", walk.events, walk.rounds,
            walk.quits, static_cast<long long>(walk.hits), static_cast<long long>(walk.misses));
        QCOMPARE(walk.events, kEvents);
        QVERIFY(walk.rounds > 100 && walk.hits > 1000 && walk.misses > 100 && walk.quits > 0);
    }
};

QTEST_GUILESS_MAIN(MonkeyWalkTest)
#include "test_monkey_walk.moc"
