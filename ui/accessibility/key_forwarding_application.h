#pragma once

#include <QAccessible>
#include <QApplication>
#include <QDBusConnection>
#include <QKeyEvent>
#include <QPointer>
#include <deque>
#include <memory>
#include <optional>

namespace keyfall {

// While assistive technology listens, a screen reader sees each key before the program, and may
// take it as a command of its own. Qt's bridge asks it, but gives up after 100 ms and then lets
// every key it holds through at once, whatever the answers that come later: on a busy machine
// typed letters are lost, doubled or come out of order, and a screen reader's command types into
// the box. This application asks the screen reader itself, before any event filter sees the key:
// each key from the window system is held until the screen reader has answered for it and for
// every key before it, then given to its window, not spontaneous, so that nothing asks again,
// unless the screen reader took it. Nothing is done while no assistive technology listens.
class KeyForwardingApplication final : public QApplication, public QAccessible::ActivationObserver {
public:
    KeyForwardingApplication(int& argc, char** argv);
    ~KeyForwardingApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;
    void accessibilityActiveChanged(bool active) override;

private:
    struct HeldKey {
        QPointer<QObject> window;
        std::unique_ptr<QKeyEvent> key;
        std::optional<bool> taken;
    };

    void connectToBus(const QString& address);
    void ask(const QKeyEvent& key, quint64 serial);
    void answered(quint64 serial, bool taken);

    std::optional<QDBusConnection> bus_;
    std::deque<HeldKey> held_;
    quint64 firstHeld_ = 0; // the serial number of the oldest key held
};

}
