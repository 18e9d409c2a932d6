#include "ui/platform/look_and_feel.h"
#include "window_fixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace keyfall;
using namespace keyfall::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

void clickMiddleOf(QWidget* widget)
{
    QVERIFY(widget && widget->isVisible());
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// The pixels of a label's stored rectangle in a grab of the window.
QImage cellOf(const QImage& window, const Label& label)
{
    return window.copy(
        QRect(twips(label.Left, label.Top), QSize(int(label.Width / 15), int(label.Height / 15))));
}

// How wide the white ink is in a band of the window.
int inkWidth(const QImage& image, const QRect& band)
{
    int left = band.right(), right = band.left() - 1;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x)
            if (image.pixel(x, y) == qRgb(255, 255, 255)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right - left + 1;
}

}

class SettingsByMouseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        applyLookAndFeel();
        QApplication::setCursorFlashTime(0);
    }

    // The panel clicked through as a player would: a speed, a level, a case, a length from the
    // list and then a typed one, and Ok.
    void panelChoicesShapeTheNextRound()
    {
        ShownWindow w;
        QVERIFY(w.exposed());
        Form1& f = w.form;
        w.click(f.lblSettings);
        QVERIFY(f.Frame1.Visible && f.paused);

        clickMiddleOf(w.child<QRadioButton>(u"Option3"_s));
        QVERIFY(f.Option3.Value && !f.Option1.Value);
        clickMiddleOf(w.child<QPushButton>(u"Command3"_s));
        QVERIFY(f.Third);
        w.click(f.lblCaps);
        QCOMPARE(f.lblCaps.BorderStyle, Border::FixedSingle);

        auto* combo = w.child<QComboBox>(u"Combo1"_s);
        combo->showPopup();
        QAbstractItemView* list = combo->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        const QModelIndex longest = list->model()->index(2, 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(longest).center());
        QTRY_COMPARE(f.Combo1.Text, u"300"_s);

        QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), u"150"_s);
        QCOMPARE(f.Combo1.Text, u"150"_s);
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), u"20"_s); // a prefix of a listed length stays as typed
        QCOMPARE(f.Combo1.Text, u"20"_s);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(combo->lineEdit(), u"50"_s);
        QCOMPARE(f.Combo1.Text, u"250"_s);
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), u"150"_s);

        w.click(f.Label9);
        QVERIFY(!f.Frame1.Visible && !f.paused);
        QCOMPARE(f.Timer1.interval(), 100);
        QCOMPARE(f.lbltime.Caption, u"150"_s);
        QCOMPARE(f.Label1.Caption.size(), 3);
        QCOMPARE(f.Label1.Caption, f.Label1.Caption.toUpper());
        QCOMPARE(w.window.focusWidget(), w.child<QLineEdit>(u"Text1"_s));

        // The screen shows it: the time cell as the model's "150" draws it, and a target three
        // capitals wide (one 48-point capital is under 50 pixels wide) below the status bar.
        const QImage shown = w.grab();
        const QPoint spawn = twips(f.Label1.Left, f.Label1.Top);
        QVERIFY(inkWidth(shown, QRect(spawn.x(), 34, 220, 50)) > 90);

        ShownWindow idle;
        QVERIFY(idle.exposed());
        QVERIFY(cellOf(shown, f.lbltime) != cellOf(idle.grab(), f.lbltime));
        idle.form.lbltime.Caption = u"150"_s;
        idle.window.refreshFromModel();
        QCOMPARE(cellOf(shown, f.lbltime), cellOf(idle.grab(), f.lbltime));
    }
};

QTEST_MAIN(SettingsByMouseTest)
#include "test_settings_by_mouse.moc"
