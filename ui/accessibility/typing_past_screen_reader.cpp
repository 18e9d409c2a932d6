#include "ui/accessibility/typing_past_screen_reader.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace keyfall {

namespace {

    // Beyond Qt's 100 ms wait for the screen reader's answer, and the event loop's turn to act on
    // it: a key handed on that long ago was given back or taken by the screen reader. Time tells,
    // as a key taken is never seen. One that the window has not had is then forgotten, so that a
    // later press of the same key is not taken for it; should it come back yet, it goes through.
    constexpr qint64 kAnswerMs = 250;

    bool isShift(const QKeyEvent& key) { return key.key() == Qt::Key_Shift; }

    bool withShiftAtMost(const QKeyEvent& key)
    {
        return (key.modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier;
    }

    bool isLetter(const QKeyEvent& key)
    {
        const QString text = key.text();
        return text.size() == 1 && text[0].isLetter() && text[0].unicode() < 0x80;
    }

    QWidget* inputBox()
    {
        QWidget* focus = QApplication::focusWidget();
        return focus && focus->objectName() == u"Text1" && focus->isEnabled() && focus->isVisible()
            ? focus
            : nullptr;
    }

}

TypingPastScreenReader::TypingPastScreenReader(std::function<qint64()> nowMs)
    : nowMs_(std::move(nowMs))
{
    QAccessible::installActivationObserver(this);
    accessibilityActiveChanged(QAccessible::isActive());
}

TypingPastScreenReader::~TypingPastScreenReader() { QAccessible::removeActivationObserver(this); }

qint64 TypingPastScreenReader::monotonicMs() { return QDeadlineTimer::current().deadline(); }

// Qt installs its own filter as it starts to listen, after telling of it; the filter installed
// last is asked first.
void TypingPastScreenReader::accessibilityActiveChanged(bool active)
{
    if (active)
        takeFirstPlace();
    else
        qApp->removeEventFilter(this);
}

void TypingPastScreenReader::takeFirstPlace()
{
    QTimer::singleShot(0, this, [this] {
        if (QAccessible::isActive())
            qApp->installEventFilter(this);
    });
}

bool TypingPastScreenReader::eventFilter(QObject* target, QEvent* event)
{
    // A key let go in another window is never seen let go here.
    if (event->type() == QEvent::WindowDeactivate) {
        held_.clear();
        atOnce_.clear();
    }
    const bool isKey = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (!isKey || event == delivering_)
        return false;
    // Keys come to the window first, then, the same event, to its widgets.
    if (!target->isWindowType())
        return event->spontaneous() && event == handingOn_ && passedUnheld();
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (!event->spontaneous())
        return cameBack(key);
    const quint32 code = key.nativeScanCode();
    const qint64 nowMs = nowMs_();
    std::erase_if(handedOn_,
        [nowMs](const HandedOn& sent) { return !sent.delivered && nowMs - sent.atMs > kAnswerMs; });
    const bool press = event->type() == QEvent::KeyPress;
    const bool atOnce = press ? deliversAtOnce(*target, key) : atOnce_.contains(code);
    if (press && atOnce)
        atOnce_.insert(code);
    else if (press && !isShift(key))
        held_.insert(code);
    else if (!press && !key.isAutoRepeat()) {
        atOnce_.remove(code);
        held_.remove(code);
    }
    handedOn_.push_back({ event->type(), code, atOnce, nowMs });
    handingOn_ = event;
    if (atOnce)
        deliver(*target, key);
    return false;
}

bool TypingPastScreenReader::deliversAtOnce(const QObject& target, const QKeyEvent& key) const
{
    const QWidget* box = inputBox();
    if (!held_.isEmpty() || !withShiftAtMost(key) || !box
        || box->window()->windowHandle() != &target)
        return false;
    // Shift changes no text, so it may pass held keys; a letter may not.
    return isShift(key) || (isLetter(key) && !undeliveredHeld());
}

bool TypingPastScreenReader::undeliveredHeld() const
{
    return std::any_of(
        handedOn_.begin(), handedOn_.end(), [](const HandedOn& key) { return !key.delivered; });
}

bool TypingPastScreenReader::cameBack(const QKeyEvent& key)
{
    // Keys come back in the order they went; those before it were taken by the screen reader.
    const auto same = [&key](const HandedOn& sent) {
        return sent.type == key.type() && sent.code == key.nativeScanCode();
    };
    const auto found = std::find_if(handedOn_.begin(), handedOn_.end(), same);
    if (found == handedOn_.end()) {
        // Qt puts its filter first again each time a screen reader starts listening to more.
        takeFirstPlace();
        return false;
    }
    const bool delivered = found->delivered;
    handedOn_.erase(handedOn_.begin(), found + 1);
    return delivered;
}

bool TypingPastScreenReader::passedUnheld()
{
    handingOn_ = nullptr;
    if (handedOn_.empty())
        return false;
    const bool delivered = handedOn_.back().delivered;
    handedOn_.pop_back();
    return delivered;
}

void TypingPastScreenReader::deliver(QObject& target, const QKeyEvent& key)
{
    // Not spontaneous, so that Qt's filter lets it by.
    QKeyEvent copy(key.type(), key.key(), key.modifiers(), key.nativeScanCode(),
        key.nativeVirtualKey(), key.nativeModifiers(), key.text(), key.isAutoRepeat(), key.count());
    delivering_ = &copy;
    QCoreApplication::sendEvent(&target, &copy);
    delivering_ = nullptr;
    // The frame that shows the key goes out now: a repaint waits behind every other posted event,
    // and while a screen reader listens those are its questions about each key.
    if (QWidget* box = inputBox())
        QCoreApplication::sendPostedEvents(box->window(), QEvent::UpdateRequest);
}

}
