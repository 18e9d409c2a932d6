#include "game_fixture.h"

#include <QTest>

using namespace keyfall;
using namespace keyfall::testing;
using namespace Qt::Literals::StringLiterals;

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void leavesLevelOneMixedCaseAndNothingRunning()
    {
        Game game;
        const Form1& f = game.form;
        QVERIFY(f.First && !f.Second && !f.Third);
        QCOMPARE(f.Command1.BackColor, colour::kLightCyan);
        QCOMPARE(f.Command2.BackColor, colour::kGrey);
        QCOMPARE(f.Command3.BackColor, colour::kGrey);
        QCOMPARE(f.lblMixed.BorderStyle, Border::FixedSingle);
        QCOMPARE(f.lblCaps.BorderStyle, Border::None);
        QCOMPARE(f.lblSmall.BorderStyle, Border::None);
        QVERIFY(!f.Timer1.running() && !f.Timer2.running() && !f.Timer3.running());
        QVERIFY(!f.Label1.Visible && !f.lblOver.Visible && !f.Frame1.Visible);
        QCOMPARE(f.lblShooted.Caption, u"0"_s);
        QCOMPARE(f.lblMissed.Caption, u"0"_s);
        QCOMPARE(f.lbltime.Caption, u"100"_s);
        QCOMPARE(f.lblPause.Caption, u"PAUSE "_s);
        QCOMPARE(f.Ttime, 100.0);
        QVERIFY(f.Text1.Text.isEmpty() && f.Text1.Enabled);
        QVERIFY(game.sound.played.empty());
    }

    void choosesSlowButKeepsTheStoredFallPeriod()
    {
        Game game;
        QVERIFY(game.form.Option1.Value && !game.form.Option2.Value && !game.form.Option3.Value);
        QCOMPARE(game.form.Timer1.interval(), 200);
        QCOMPARE(game.form.Combo1.List, QStringList({ u"100"_s, u"200"_s, u"300"_s }));
        QCOMPARE(game.form.Combo1.Text, u"100"_s);
    }

    void fillsTheLetterTable()
    {
        Game game;
        const auto& letters = game.form.Letters;
        QCOMPARE(letters.size(), 54u);
        QCOMPARE(letters[1], u"A"_s);
        QCOMPARE(letters[26], u"Z"_s);
        QCOMPARE(letters[27], u"a"_s);
        QCOMPARE(letters[52], u"z"_s);
        QVERIFY(letters[0].isEmpty() && letters[53].isEmpty());
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "test_startup.moc"
