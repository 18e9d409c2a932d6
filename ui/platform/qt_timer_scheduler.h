#pragma once

#include "game/game_timer.h"

#include <QObject>
#include <map>

class QTimer;

namespace keyfall {

// Runs the game's timers on precise Qt timers: Qt's default coarse timers may be tens of
// milliseconds late, which the player would see as an uneven fall.
class QtTimerScheduler final : public QObject, public TimerScheduler {
    Q_OBJECT

public:
    explicit QtTimerScheduler(QObject* parent = nullptr);

    // (Re)starts the timer's period from now, or stops it.
    void timerChanged(GameTimer& timer) override;

Q_SIGNALS:
    // A timer has ticked and the game has handled it.
    void ticked();

private:
    QTimer& qtTimerFor(GameTimer& timer);

    std::map<const GameTimer*, QTimer*> timers_;
};

}
