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
    // it: a key handed on that long ago was given back or taken by the screen reader.
    constexpr qint64 kAnswerMs = 250;
    // Longer than any key has been seen to wait in Qt, its place in the event loop included; keys
    // handed on longer ago are forgotten, as those that no filter of Qt holds are never given back.
    constexpr qint64 kForgottenMs = 5000;

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
    // Keys come to the window first, then, the same event, to its widgets: where no filter of Qt
    // held it, the one delivered at once goes no further.
    if (!target->isWindowType())
        return event->spontaneous() && event == delivered_;
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (!event->spontaneous())
        return cameBack(key);
    const quint32 code = key.nativeScanCode();
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
    const qint64 nowMs = nowMs_();
    while (!handedOn_.empty() && nowMs - handedOn_.front().atMs > kForgottenMs)
        handedOn_.pop_front();
    handedOn_.push_back({ event->type(), code, atOnce, nowMs });
    delivered_ = nullptr;
    if (atOnce) {
        deliver(*target, key);
        delivered_ = event;
    }
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
    const qint64 nowMs = nowMs_();
    return std::any_of(handedOn_.begin(), handedOn_.end(),
        [nowMs](const HandedOn& key) { return !key.delivered && nowMs - key.atMs <= kAnswerMs; });
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
