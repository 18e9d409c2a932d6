#include "game/game_timer.h"

namespace keyfall {

GameTimer::GameTimer(TimerScheduler& scheduler, int intervalMs, std::function<void()> onTick)
    : scheduler_(scheduler)
    , intervalMs_(intervalMs)
    , onTick_(std::move(onTick))
{
}

GameTimer::~GameTimer() { stop(); }

void GameTimer::start()
{
    running_ = true;
    scheduler_.timerChanged(*this);
}

void GameTimer::stop()
{
    if (!running_)
        return;
    running_ = false;
    scheduler_.timerChanged(*this);
}

void GameTimer::setInterval(int intervalMs)
{
    intervalMs_ = intervalMs;
    if (running_)
        scheduler_.timerChanged(*this);
}

}
