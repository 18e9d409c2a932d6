#include "ui/accessibility/typing_past_screen_reader.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWindow>
#include <deque>
#include <memory>

using namespace keyfall;
using namespace Qt::Literals::StringLiterals;

namespace {

// Stands in for Qt's bridge to the screen reader, asked after the filter under test: it holds each
// key from the window system until told to give it back (a copy, not spontaneous) or to drop it
// (taken by the screen reader), oldest first.
class Bridge final : public QObject {
public:
    bool holds = true;
    std::deque<std::unique_ptr<QEvent>> held;

    void answer(qsizetype count, bool taken, QWindow& window)
    {
        for (; count > 0 && !held.empty(); --count, held.pop_front())
            if (!taken)
                QCoreApplication::sendEvent(&window, held.front().get());
    }

protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
        if (!holds || !key || !event->spontaneous() || !target->isWindowType())
            return false;
        held.emplace_back(event->clone());
        return true;
    }
};

// A key as the window system gives it. QTest::keyPress leaves the scan code, by which the filter
// tells keys apart, at 0.
void sendKey(QWindow& window, QEvent::Type type, const QString& name, Qt::KeyboardModifiers shift)
{
    int key = name[0].toUpper().unicode();
    if (name.size() > 1)
        key = name == u"Shift" ? Qt::Key_Shift : Qt::Key_Insert;
    const QString text = name.size() > 1 ? QString() : shift ? name.toUpper() : name;
    QKeyEvent event(type, key, shift, static_cast<quint32>(key), 0, 0, text);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(&window, &event);
}

}

class TypingPastScreenReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lettersAreTypedOnceInOrder_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("typed");
        // A key clicked (a), pressed (+Insert) or let go (-Insert); the bridge giving back (back,
        // back2: the oldest two) or dropping (taken) the keys it holds, or letting keys by (pass)
        // until it holds them again (hold); the clock moving on (wait300); the box's text (=ab).
        QTest::newRow("faster than the screen reader answers")
            << u"a b =ab back2 c =abc back"_s << u"abc"_s;
        QTest::newRow("a capital at once") << u"a +Shift b -Shift =aB back"_s << u"aB"_s;
        QTest::newRow("with a key down, only once answered")
            << u"+Insert wait300 t = back -Insert back"_s << u"t"_s;
        QTest::newRow("a screen reader's command")
            << u"+Insert wait300 t -Insert taken"_s << QString();
        QTest::newRow("after a held key") << u"1 a = back"_s << u"1a"_s;
        QTest::newRow("just after a command")
            << u"+Insert t -Insert taken a = back b =ab back"_s << u"ab"_s;
        QTest::newRow("its letter long after a command")
            << u"+Insert t -Insert taken wait300 t =t back"_s << u"t"_s;
        QTest::newRow("after keys not held") << u"pass 1 a =1a hold b =1ab back"_s << u"1ab"_s;
        QTest::newRow("answered after a stall") << u"a wait6000 b =ab back"_s << u"ab"_s;
    }
    void lettersAreTypedOnceInOrder()
    {
        QFETCH(QString, steps);
        QFETCH(QString, typed);
        QWidget window;
        auto* box = new QLineEdit(&window);
        box->setObjectName(u"Text1"_s);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->setFocus();
        QWindow& handle = *window.windowHandle();
        Bridge bridge;
        qApp->installEventFilter(&bridge);
        qint64 nowMs = 0;
        TypingPastScreenReader filter([&nowMs] { return nowMs; });
        // No screen reader listens offscreen; put first as it puts itself when one does.
        qApp->installEventFilter(&filter);
        Qt::KeyboardModifiers shift;
        for (const QString& step : steps.split(u' ')) {
            const bool back = step.startsWith(u"back");
            if (step.startsWith(u'='))
                QCOMPARE(box->text(), step.mid(1));
            else if (back || step.startsWith(u"taken")) {
                bool counted = false;
                const int count = step.mid(back ? 4 : 5).toInt(&counted);
                bridge.answer(counted ? count : std::ssize(bridge.held), !back, handle);
            } else if (step.startsWith(u"wait"))
                nowMs += step.mid(4).toInt();
            else if (step == u"pass" || step == u"hold")
                bridge.holds = step == u"hold";
            else if (step.startsWith(u'+') || step.startsWith(u'-')) {
                const bool press = step.startsWith(u'+');
                sendKey(handle, press ? QEvent::KeyPress : QEvent::KeyRelease, step.mid(1), shift);
                if (step.mid(1) == u"Shift")
                    shift = press ? Qt::ShiftModifier : Qt::NoModifier;
            } else {
                sendKey(handle, QEvent::KeyPress, step, shift);
                sendKey(handle, QEvent::KeyRelease, step, shift);
            }
        }
        QCOMPARE(box->text(), typed);
    }
};

QTEST_MAIN(TypingPastScreenReaderTest)
#include "test_typing_past_screen_reader.moc"
