#include "game_fixture.h"

#include <QTest>
#include <set>

using namespace keyfall;
using namespace keyfall::testing;
using namespace Qt::Literals::StringLiterals;

class TargetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void randomSourceStartsWithTheSameSequenceEveryRun()
    {
        RandomSource random;
        QCOMPARE(random.next(), 0.7055475115776062f);
        QCOMPARE(random.next(), 0.5334240198135376f);
        QCOMPARE(random.next(), 0.5795186161994934f);
    }

    // Single-precision products must never round up to the end of a range, for any state.
    void everyStateGivesAValueBelowOneAndALetterInRange()
    {
        RandomSource random;
        float highest = 0;
        for (std::uint32_t state = 0; state < (1u << 24); ++state) {
            random.setState(state);
            highest = std::max(highest, random.next());
        }
        QVERIFY(highest < 1.0f);
        QVERIFY(std::trunc(highest * 52) + 1 <= 52);
        QVERIFY(std::trunc(highest * 26) + 27 <= 52);
        QVERIFY(std::trunc(highest * 8500) <= 8500);
    }

    void columnRules_data()
    {
        QTest::addColumn<double>("draw");
        QTest::addColumn<float>("column");
        QTest::newRow("right of 8000 falls back to 5000") << 0.95 << 5000.0f;
        QTest::newRow("between 55 and 500 moves left by 50") << 0.05 << 375.0f;
        QTest::newRow("below 55 stays") << 0.005 << 42.5f;
        QTest::newRow("middle stays") << 0.5 << 4250.0f;
    }
    void columnRules()
    {
        QFETCH(double, draw);
        QFETCH(float, column);
        Game game;
        game.nextDrawIs(draw);
        game.form.RandomColumn();
        QVERIFY2(std::abs(game.form.X - column) < 0.01f, qPrintable(QString::number(game.form.X)));
    }

    void targetSpawnsWhiteAtTheTopOfItsColumn()
    {
        Game game;
        game.form.Label1.ForeColor = colour::kRed;
        game.form.NextTarget();
        QVERIFY(game.form.Label1.Visible);
        QCOMPARE(game.form.Label1.Top, 360.0f);
        QCOMPARE(game.form.Label1.Left, game.form.X);
        QCOMPARE(game.form.Label1.ForeColor, colour::kWhite);
        // Four draws: 0.7055 gives column 5997.15, then three letters from all 52.
        QCOMPARE(game.form.X, 0.7055475115776062f * 8500);
        QCOMPARE(game.form.Label1.Caption, u"b"_s); // trunc(0.5334 * 52) + 1 = 28
        QCOMPARE(game.form.random.state(), [] {
            RandomSource r;
            for (int i = 0; i < 4; ++i)
                r.next();
            return r.state();
        }());
    }

    void lettersFollowTheCaseAndTheLevel_data()
    {
        QTest::addColumn<int>("caseChoice");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("alphabet");
        const QString capitals = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s;
        const QString small = capitals.toLower();
        for (int level = 1; level <= 3; ++level) {
            QTest::addRow("capitals, level %d", level) << 0 << level << capitals;
            QTest::addRow("small letters, level %d", level) << 1 << level << small;
            QTest::addRow("mixed, level %d", level) << 2 << level << capitals + small;
        }
    }
    void lettersFollowTheCaseAndTheLevel()
    {
        QFETCH(int, caseChoice);
        QFETCH(int, level);
        QFETCH(QString, alphabet);
        Game game;
        Form1& f = game.form;
        const std::array chooseCase { &Form1::lblCaps_Click, &Form1::lblSmall_Click,
            &Form1::lblMixed_Click };
        const std::array chooseLevel { &Form1::Command1_Click, &Form1::Command2_Click,
            &Form1::Command3_Click };
        (f.*chooseCase[caseChoice])();
        (f.*chooseLevel[level - 1])();

        std::map<QChar, int> seen;
        constexpr int kTargets = 20000;
        for (int i = 0; i < kTargets; ++i) {
            f.NextTarget();
            QCOMPARE(f.Label1.Caption.size(), level);
            for (QChar c : f.Label1.Caption) {
                QVERIFY2(alphabet.contains(c), qPrintable(f.Label1.Caption));
                ++seen[c];
            }
        }
        // Every letter of the alphabet turns up, each close to its fair share.
        QCOMPARE(seen.size(), std::size_t(alphabet.size()));
        const double fair = double(kTargets) * level / alphabet.size();
        for (const auto& [letter, count] : seen)
            QVERIFY2(std::abs(count - fair) < 0.25 * fair, qPrintable(QString(letter)));
    }

    void sameLetterMayAppearTwiceInATarget()
    {
        Game game;
        game.form.Command2_Click();
        bool doubled = false;
        for (int i = 0; i < 5000 && !doubled; ++i) {
            game.form.NextTarget();
            doubled = game.form.Label1.Caption[0] == game.form.Label1.Caption[1];
        }
        QVERIFY(doubled);
    }

    void caseOrLevelChangeLeavesTheFallingTargetAlone()
    {
        Game game;
        game.form.lblNew_Click();
        const QString target = game.form.Label1.Caption;
        game.form.lblCaps_Click();
        game.form.Command3_Click();
        QCOMPARE(game.form.Label1.Caption, target);
        game.form.NextTarget();
        QCOMPARE(game.form.Label1.Caption.size(), 3);
        QVERIFY(game.form.Label1.Caption == game.form.Label1.Caption.toUpper());
    }

    // Two runs fed the same actions at the same moments show the same targets in the same columns.
    void sameTimedActionsGiveSameTargets()
    {
        const auto play = [] {
            Game game;
            QStringList seen;
            game.form.lblNew_Click();
            for (int second = 0; second < 60; ++second) {
                game.clock.advance(second % 3 == 0 ? 700 : 1300);
                if (second % 4 == 0)
                    game.hit();
                if (second % 7 == 0)
                    game.type(u"#"_s);
                seen << game.form.Label1.Caption + u'@' + QString::number(game.form.Label1.Left)
                        + u'/' + QString::number(game.form.Label1.Top);
            }
            return seen;
        };
        const QStringList first = play();
        QCOMPARE(play(), first);
        QVERIFY(QSet<QString>(first.begin(), first.end()).size() > 20);
    }
};

QTEST_GUILESS_MAIN(TargetTest)
#include "test_targets.moc"
