#include "ui/accessibility/key_forwarding_application.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDateTime>
#include <QWindow>
#include <xkbcommon/xkbcommon.h>

namespace keyfall {

using namespace Qt::Literals::StringLiterals;

namespace {

    // A key as the accessibility registry's device event controller takes it, "(uiiiisb)".
    struct DeviceEvent {
        quint32 type = 0; // 0 pressed, 1 released
        qint32 keysym = 0;
        qint32 keycode = 0;
        qint32 modifiers = 0;
        qint32 timestamp = 0;
        QString text; // the character typed, or the key's name
        bool isText = false;
    };

    QDBusArgument& operator<<(QDBusArgument& argument, const DeviceEvent& event)
    {
        argument.beginStructure();
        argument << event.type << event.keysym << event.keycode << event.modifiers
                 << event.timestamp << event.text << event.isText;
        argument.endStructure();
        return argument;
    }

    const QDBusArgument& operator>>(const QDBusArgument& argument, DeviceEvent& event)
    {
        argument.beginStructure();
        argument >> event.type >> event.keysym >> event.keycode >> event.modifiers
            >> event.timestamp >> event.text >> event.isText;
        argument.endStructure();
        return argument;
    }

    // The modifiers as the registry numbers them: shift, shift lock, control, alt, meta; a
    // modifier key does not count itself.
    qint32 modifierBits(const QKeyEvent& key)
    {
        const std::tuple<Qt::KeyboardModifier, int, int> bits[]
            = { { Qt::ShiftModifier, Qt::Key_Shift, 0 },
                  { Qt::ControlModifier, Qt::Key_Control, 2 }, { Qt::AltModifier, Qt::Key_Alt, 3 },
                  { Qt::MetaModifier, Qt::Key_Meta, 4 } };
        qint32 mask = 0;
        for (auto [modifier, itself, bit] : bits)
            if ((key.modifiers() & modifier) && key.key() != itself)
                mask |= 1 << bit;
        constexpr quint32 kLockMask = 1U << 1; // X11's own bit for Caps Lock
        if (key.nativeModifiers() & kLockMask)
            mask |= 1 << 1;
        return mask;
    }

    DeviceEvent deviceEvent(const QKeyEvent& key)
    {
        DeviceEvent event;
        event.type = key.type() == QEvent::KeyPress ? 0 : 1;
        event.keysym = static_cast<qint32>(key.nativeVirtualKey());
        event.keycode = static_cast<qint32>(key.nativeScanCode());
        event.modifiers = modifierBits(key);
        event.timestamp = static_cast<qint32>(QDateTime::currentMSecsSinceEpoch());
        event.isText = !key.text().isEmpty() && key.text().front().isPrint();
        if (event.isText) {
            event.text = key.text();
        } else {
            // A screen reader knows its own keys, such as Insert, by their names.
            char name[64] = {};
            xkb_keysym_get_name(key.nativeVirtualKey(), name, sizeof name);
            event.text = QString::fromLatin1(name);
        }
        return event;
    }

    const QString kRegistry = u"org.a11y.atspi.Registry"_s;

}

KeyForwardingApplication::KeyForwardingApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    qDBusRegisterMetaType<DeviceEvent>();
    QAccessible::installActivationObserver(this);
    accessibilityActiveChanged(QAccessible::isActive());
}

KeyForwardingApplication::~KeyForwardingApplication()
{
    QAccessible::removeActivationObserver(this);
}

// The accessibility bus is the one the desktop's accessibility service names, unless the
// environment names one, as it does for Qt's own bridge.
void KeyForwardingApplication::accessibilityActiveChanged(bool active)
{
    if (!active || bus_)
        return;
    if (const QString address = qEnvironmentVariable("AT_SPI_BUS_ADDRESS"); !address.isEmpty()) {
        connectToBus(address);
        return;
    }
    const QDBusMessage ask = QDBusMessage::createMethodCall(
        u"org.a11y.Bus"_s, u"/org/a11y/bus"_s, u"org.a11y.Bus"_s, u"GetAddress"_s);
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(ask), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](auto* call) {
        const QDBusPendingReply<QString> reply = *call;
        if (reply.isValid() && !bus_)
            connectToBus(reply.value());
        call->deleteLater();
    });
}

void KeyForwardingApplication::connectToBus(const QString& address)
{
    const QDBusConnection bus = QDBusConnection::connectToBus(address, u"keyfall-keys"_s);
    if (bus.isConnected())
        bus_ = bus;
}

bool KeyForwardingApplication::notify(QObject* receiver, QEvent* event)
{
    if (!bus_ || !QAccessible::isActive() || !event->spontaneous() || !receiver->isWindowType())
        return QApplication::notify(receiver, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Taken as a plain key: its shortcut is looked up when the key is given back, so that a
        // command key keeps its place among the letters typed before it.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        held_.push_back({ receiver, std::unique_ptr<QKeyEvent>(key->clone()), std::nullopt });
        ask(*key, firstHeld_ + held_.size() - 1);
        return true;
    }
    default:
        return QApplication::notify(receiver, event);
    }
}

// An answer that does not come within D-Bus's own time-out counts as the key let through.
void KeyForwardingApplication::ask(const QKeyEvent& key, quint64 serial)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kRegistry,
        u"/org/a11y/atspi/registry/deviceeventcontroller"_s,
        u"org.a11y.atspi.DeviceEventController"_s, u"NotifyListenersSync"_s);
    message << QVariant::fromValue(deviceEvent(key));
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, serial](auto* call) {
        const QDBusPendingReply<bool> reply = *call;
        answered(serial, reply.isValid() && reply.value());
        call->deleteLater();
    });
}

void KeyForwardingApplication::answered(quint64 serial, bool taken)
{
    held_[serial - firstHeld_].taken = taken;
    // Given out in the order they came, as far as every one before has been answered for.
    while (!held_.empty() && held_.front().taken.has_value()) {
        HeldKey front = std::move(held_.front());
        held_.pop_front();
        ++firstHeld_;
        if (!*front.taken && front.window)
            postEvent(front.window, front.key.release());
    }
}

}
