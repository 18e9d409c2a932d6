#include "ui/platform/qt_timer_scheduler.h"

#include <QTimer>

namespace keyfall {

QtTimerScheduler::QtTimerScheduler(QObject* parent)
    : QObject(parent)
{
}

void QtTimerScheduler::timerChanged(GameTimer& timer)
{
    QTimer& qtTimer = qtTimerFor(timer);
    if (timer.running())
        qtTimer.start(timer.interval());
    else
        qtTimer.stop();
}

QTimer& QtTimerScheduler::qtTimerFor(GameTimer& timer)
{
    QTimer*& qtTimer = timers_[&timer];
    if (!qtTimer) {
        qtTimer = new QTimer(this);
        qtTimer->setTimerType(Qt::PreciseTimer);
        connect(qtTimer, &QTimer::timeout, this, [this, &timer] {
            timer.tick();
            Q_EMIT ticked();
        });
    }
    return *qtTimer;
}

}
