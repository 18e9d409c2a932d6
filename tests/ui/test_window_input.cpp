#include "ui/paint/label_look.h"
#include "ui/platform/look_and_feel.h"
#include "window_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>
#include <map>
#include <memory>

using namespace keyfall;
using namespace keyfall::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kPink = qRgb(255, 192, 255);

// Collects the regions repainted in the window, widget by widget.
class PaintRecorder final : public QObject {
public:
    explicit PaintRecorder(QWidget& window)
    {
        window.installEventFilter(this);
        for (QWidget* child : window.findChildren<QWidget*>())
            child->installEventFilter(this);
    }
    std::map<QObject*, QRegion> painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted[watched] += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

// The middle of a case label's right edge, where its border runs and its text never reaches.
QPoint rightEdgeOf(const Label& label)
{
    return inFrame(label.Left + label.Width - 15, label.Top + 120);
}

}

class WindowInputTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShownWindow> w;

    // A key as the window system delivers it: to the widget with the focus, or else the window.
    void press(QKeyCombination key)
    {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused ? focused : &w->window, key.key(), key.keyboardModifiers());
    }

    void runOutTheRound()
    {
        w->click(w->form.lblNew);
        w->advance(100'000);
        QVERIFY(!w->form.Text1.Enabled && !w->form.lblPause.Enabled);
    }

private Q_SLOTS:
    void initTestCase()
    {
        applyLookAndFeel();
        // A blinking caret would repaint the input box on its own.
        QApplication::setCursorFlashTime(0);
    }
    void init()
    {
        w = std::make_unique<ShownWindow>();
        QVERIFY(w->exposed());
    }
    void cleanup() { w.reset(); }

    void commandLabelsActWhereTheyAreDrawn()
    {
        w->click(w->form.lblNew);
        QVERIFY(w->form.Label1.Visible && w->form.Timer1.running() && w->form.Timer3.running());
        w->click(w->form.lblPause);
        QVERIFY(w->form.paused && !w->form.Timer1.running());
        QCOMPARE(w->form.lblPause.Caption, u"PAUSED"_s);
        w->click(w->form.lblSettings);
        QVERIFY(w->form.Frame1.Visible && w->child(u"Frame1"_s)->isVisible());
        w->click(w->form.Label10);
        QVERIFY(!w->form.Frame1.Visible && !w->child(u"Frame1"_s)->isVisible());
    }

    // A window no longer drawn (not exposed), as a Wayland desktop leaves a minimized one, pauses
    // the game at its next target, and not before.
    void aWindowNoLongerDrawnPausesTheGameAtTheNextTarget()
    {
        w->click(w->form.lblNew);
        w->window.windowHandle()->hide();
        QTRY_VERIFY(!w->window.windowHandle()->isExposed());
        w->advance(3600);
        QVERIFY(!w->form.paused);
        w->advance(500);
        QVERIFY(w->form.paused);
    }

    void caseLabelsMoveTheBorderToTheClickedOne()
    {
        w->click(w->form.lblSettings);
        QCOMPARE(w->grab().pixel(rightEdgeOf(w->form.lblMixed)), kBlack);
        w->click(w->form.lblCaps);
        QCOMPARE(w->form.lblCaps.BorderStyle, Border::FixedSingle);
        QImage image = w->grab();
        QCOMPARE(image.pixel(rightEdgeOf(w->form.lblCaps)), kBlack);
        QCOMPARE(image.pixel(rightEdgeOf(w->form.lblMixed)), kPink);
        w->click(w->form.lblSmall);
        QCOMPARE(w->form.lblSmall.BorderStyle, Border::FixedSingle);
        image = w->grab();
        QCOMPARE(image.pixel(rightEdgeOf(w->form.lblSmall)), kBlack);
        QCOMPARE(image.pixel(rightEdgeOf(w->form.lblCaps)), kPink);
    }

    void aDisabledLabelIsGreyedAndIgnoresClicks()
    {
        runOutTheRound();
        const Label& pause = w->form.lblPause;
        const QRect drawn = lookOf(pause).rect;
        const QImage image = w->grab().copy(drawn);
        int grey = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                grey += image.pixel(x, y) == qRgb(128, 128, 128);
                QVERIFY(image.pixel(x, y) != qRgb(192, 255, 192));
            }
        }
        QVERIFY(grey > 10);
        const QString caption = pause.Caption;
        w->click(pause);
        QVERIFY(!w->form.paused);
        QCOMPARE(pause.Caption, caption);
    }

    void aHiddenLabelIgnoresClicks()
    {
        w->form.lblNew.Visible = false;
        w->window.refreshFromModel();
        w->click(w->form.lblNew);
        // Where "Ok" lies when the panel is open.
        w->clickAt(inFrame(w->form.Label9.Left + 300, w->form.Label9.Top + 100));
        QVERIFY(!w->form.Label1.Visible && !w->form.Timer1.running() && !w->form.Timer3.running());
    }

    // A full repaint would cost more than a tick's worth of time on a slow machine.
    void aFallTickRepaintsOnlyWhereTheTargetWasAndIs()
    {
        {
            PaintRecorder newGame(w->window);
            w->click(w->form.lblNew);
            // Every surface the new game changed is painted in the one pass seen here.
            QTRY_VERIFY(!newGame.painted.empty());
        }
        PaintRecorder recorder(w->window);
        const QRect before = lookOf(w->form.Label1).rect;
        w->advance(w->form.Timer1.interval());
        const QRect after = lookOf(w->form.Label1).rect;
        QCOMPARE(after, before.translated(0, 13));
        QTRY_VERIFY(!recorder.painted.empty());
        QTest::qWait(50);
        // The target paints itself, over the surface beneath it.
        ControlSurface* surface = w->surfaceOf(Container::Form1);
        QWidget* target = surface->widgetOf(w->form.Label1);
        QCOMPARE(recorder.painted.size(), 2u);
        QCOMPARE(recorder.painted[surface], QRegion(before) + QRegion(after));
        QCOMPARE(recorder.painted[target], QRegion(target->rect()));
    }

    void typingRunsTheTypingCheckAndTheBoxShowsWhatTheGameLeavesInIt()
    {
        w->click(w->form.lblNew);
        auto* box = w->child<QLineEdit>(u"Text1"_s);
        QTest::keyClicks(box, w->form.Label1.Caption);
        QCOMPARE(w->form.Shooted, 1);
        QCOMPARE(w->sound.played, std::vector { Sound::Shooted });
        QVERIFY(box->text().isEmpty());
        QTest::keyClicks(box, u"1"_s);
        QCOMPARE(w->sound.played.back(), Sound::Wrong);
        QVERIFY(box->text().isEmpty() && w->form.Text1.Text.isEmpty());
    }

    void theInputBoxGetsTheFocusBackForTyping()
    {
        auto* box = w->child<QLineEdit>(u"Text1"_s);
        QCOMPARE(w->window.focusWidget(), box);
        w->click(w->form.lblSettings);
        QTest::mouseClick(w->child<QPushButton>(u"Command2"_s), Qt::LeftButton);
        QCOMPARE(w->window.focusWidget(), box);
        auto* combo = w->child<QComboBox>(u"Combo1"_s);
        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
        QCOMPARE(w->window.focusWidget(), combo);
        w->click(w->form.Label10);
        QCOMPARE(w->window.focusWidget(), box);

        runOutTheRound();
        QVERIFY(!box->isEnabled());
        w->click(w->form.lblNew);
        QVERIFY(box->isEnabled());
        QCOMPARE(w->window.focusWidget(), box);
    }

    void speedOptionsFormOneGroupAcrossTheWindowAndThePanel()
    {
        w->click(w->form.lblSettings);
        auto* slow = w->child<QRadioButton>(u"Option1"_s);
        auto* speed = w->child<QRadioButton>(u"Option3"_s);
        auto* normal = w->child<QRadioButton>(u"Option2"_s);
        QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(6, speed->height() / 2));
        QVERIFY(w->form.Option3.Value && !w->form.Option1.Value);
        QVERIFY(speed->isChecked() && !slow->isChecked() && !normal->isChecked());
        QTest::mouseClick(normal, Qt::LeftButton, {}, QPoint(6, normal->height() / 2));
        QVERIFY(w->form.Option2.Value && !w->form.Option3.Value);
        QVERIFY(normal->isChecked() && !speed->isChecked() && !slow->isChecked());
    }

    void theRoundLengthBoxListsTheChoicesAndPassesOnWhatIsTyped()
    {
        w->click(w->form.lblSettings);
        auto* combo = w->child<QComboBox>(u"Combo1"_s);
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(2), u"300"_s);
        QCOMPARE(combo->currentText(), u"100"_s);
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), u"150"_s);
        QCOMPARE(w->form.Combo1.Text, u"150"_s);
        combo->setCurrentIndex(1);
        QCOMPARE(w->form.Combo1.Text, u"200"_s);
    }

    void commandKeysDoWhatTheirClicksDoAndTypeNothing()
    {
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
        const Form1& f = w->form;
        press(Qt::Key_Return); // "Ok" of the closed panel
        QVERIFY(!f.roundRunning);
        press(Qt::Key_F2);
        QVERIFY(f.roundRunning && f.Label1.Visible);
        press(Qt::Key_Escape);
        QVERIFY(f.paused);
        press(Qt::Key_Pause);
        QVERIFY(!f.paused);
        press(Qt::Key_F3);
        QVERIFY(f.Frame1.Visible && f.paused);
        press(Qt::Key_Escape);
        QVERIFY(!f.Frame1.Visible && !f.paused);
        w->advance(3000);
        press(Qt::Key_F3);
        press(Qt::Key_Enter);
        QVERIFY(!f.Frame1.Visible && !f.paused);
        QCOMPARE(f.lbltime.Caption, u"100"_s);
        QVERIFY(w->child<QLineEdit>(u"Text1"_s)->text().isEmpty() && f.Text1.Text.isEmpty());
        QVERIFY(w->sound.played.empty());

        runOutTheRound();
        press(Qt::Key_Escape);
        press(Qt::Key_Pause);
        QVERIFY(!f.paused);
        press(QKeyCombination(Qt::ControlModifier, Qt::Key_Q));
        QVERIFY(!w->window.isVisible());
    }

    // The panel on the keys alone from start-up ("+100s" runs the round out), then the round that
    // follows: the fall's period, letters per target and their case ('A', 'a' or '*' for either),
    // the round's length; and typing the first target hits it.
    void keysAloneShapeTheNextRound_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("fallMs");
        QTest::addColumn<int>("letters");
        QTest::addColumn<char>("letterCase");
        QTest::addColumn<double>("seconds");
        QTest::newRow("arrows choose, Tab goes on, Enter is Ok")
            << u"F3 Right Right Tab Right Right Tab Left Left Tab Down Return"_s << 100 << 3 << 'A'
            << 200.0;
        QTest::newRow("Shift+Tab goes back to Ok, Space presses it")
            << u"F3 Right Right Shift+Tab Space"_s << 100 << 1 << '*' << 100.0;
        QTest::newRow("a typed length")
            << u"F3 Shift+Tab Shift+Tab Shift+Tab Ctrl+A 4 5 Return"_s << 400 << 1 << '*' << 45.0;
        QTest::newRow("Enter on Cancel keeps the fall, not the level and case")
            << u"F3 Right Right Tab Right Tab Left Tab Tab Return F2"_s << 200 << 2 << 'a' << 100.0;
        QTest::newRow("no key reaches the round length once the panel has closed")
            << u"F2 +100s F3 Shift+Tab Shift+Tab Shift+Tab Esc Down Down 5 F2"_s << 200 << 1 << '*'
            << 100.0;
    }
    void keysAloneShapeTheNextRound()
    {
        QFETCH(QString, keys);
        QVERIFY(QTest::qWaitForWindowActive(&w->window));
        for (const QString& key : keys.split(u' '))
            key == u"+100s" ? w->advance(100'000) : press(QKeySequence::fromString(key)[0]);
        const Form1& f = w->form;
        QVERIFY(f.roundRunning && !f.Frame1.Visible && !f.paused);
        QTEST(f.Timer1.interval(), "fallMs");
        const QString target = f.Label1.Caption;
        QTEST(int(target.size()), "letters");
        QFETCH(char, letterCase);
        QVERIFY(letterCase == '*'
            || target == (letterCase == 'A' ? target.toUpper() : target.toLower()));
        QTEST(f.Ttime, "seconds");
        QTest::keyClicks(QApplication::focusWidget(), target);
        QCOMPARE(f.Shooted, 1);
    }

    void quitClosesTheWindowAndStopsTheGame()
    {
        w->click(w->form.lblNew);
        w->click(w->form.lblQuit);
        QVERIFY(!w->window.isVisible());
        QVERIFY(!w->clock.fireNext());
    }
};

QTEST_MAIN(WindowInputTest)
#include "test_window_input.moc"
