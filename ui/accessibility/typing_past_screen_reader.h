#pragma once

#include <QAccessible>
#include <QObject>
#include <QSet>
#include <deque>
#include <functional>

class QKeyEvent;

namespace keyfall {

// While a screen reader listens, Qt holds every key until the screen reader has said whether it
// takes it, a round trip that makes each typed letter late by the time the screen reader takes to
// answer, and it answers least quickly while it speaks the next target. This filter gives a letter
// typed in the input box, alone or with Shift, to the window at once and still lets Qt tell the
// screen reader of it, dropping the key that Qt gives back; a letter typed while another key is
// down (the screen reader's own commands) and every other key go the screen reader's way alone.
// A letter never overtakes a key that Qt still holds. It filters only while one listens.
class TypingPastScreenReader final : public QObject, public QAccessible::ActivationObserver {
public:
    // `nowMs` reads a clock in milliseconds that never goes back.
    explicit TypingPastScreenReader(std::function<qint64()> nowMs = monotonicMs);
    ~TypingPastScreenReader() override;
    TypingPastScreenReader(const TypingPastScreenReader&) = delete;
    TypingPastScreenReader& operator=(const TypingPastScreenReader&) = delete;

    void accessibilityActiveChanged(bool active) override;
    bool eventFilter(QObject* target, QEvent* event) override;

private:
    // A key handed on to Qt's filter, in order.
    struct HandedOn {
        QEvent::Type type;
        quint32 code;
        bool delivered;
        qint64 atMs;
    };

    static qint64 monotonicMs();

    bool deliversAtOnce(const QObject& target, const QKeyEvent& key) const;
    // Whether a key that the window has not had may still be held by Qt.
    bool undeliveredHeld() const;
    // A key that Qt held comes back: whether the window had it already.
    bool cameBack(const QKeyEvent& key);
    // The key handed on last reaches a widget, no filter of Qt having held it: whether the window
    // had it already, and so it goes no further.
    bool passedUnheld();
    void deliver(QObject& target, const QKeyEvent& key);
    void takeFirstPlace();

    std::function<qint64()> nowMs_;
    QSet<quint32> atOnce_; // keys down that the window had at once
    QSet<quint32> held_; // keys down, other than Shift, that went the screen reader's way alone
    // A key that the window had is forgotten only once it cannot come back: taken by the screen
    // reader when a later key comes back, Qt answering in order, or not held at all. However long
    // Qt holds it, it is known when it comes back.
    std::deque<HandedOn> handedOn_;
    const QEvent* handingOn_ = nullptr; // the key handed on last, until it reaches a widget
    const QEvent* delivering_ = nullptr;
};

}
