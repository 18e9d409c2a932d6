#pragma once

#include <functional>

namespace keyfall {

class GameTimer;

// Runs timers: the program on Qt's precise timers, the tests on a simulated clock.
class TimerScheduler {
public:
    virtual ~TimerScheduler() = default;
    // The timer was started, stopped or re-timed. A running timer's next tick falls one whole
    // interval after this moment.
    virtual void timerChanged(GameTimer& timer) = 0;
};

// A periodic timer of the form. Starting it begins a whole period from that moment, whether it
// ran or not, and changing the interval of a running timer restarts its period.
class GameTimer {
public:
    GameTimer(TimerScheduler& scheduler, int intervalMs, std::function<void()> onTick);
    ~GameTimer();
    GameTimer(const GameTimer&) = delete;
    GameTimer& operator=(const GameTimer&) = delete;

    void start();
    void stop();
    void setInterval(int intervalMs);

    bool running() const { return running_; }
    int interval() const { return intervalMs_; }

    // Called by the scheduler when a period has elapsed.
    void tick() const { onTick_(); }

private:
    TimerScheduler& scheduler_;
    int intervalMs_;
    bool running_ = false;
    std::function<void()> onTick_;
};

}
