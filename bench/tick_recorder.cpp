#include "bench/tick_recorder.h"

namespace keyfall::bench {

TickRecorder::TickRecorder(TimerScheduler& runner, Clock nowNs)
    : runner_(runner)
    , nowNs_(std::move(nowNs))
{
}

// The stand-ins stop on the real scheduler before the recorder goes.
TickRecorder::~TickRecorder() = default;

void TickRecorder::timerChanged(GameTimer& timer)
{
    StandIn& standIn = standInFor(timer);
    standIn.timer->stop();
    standIn.timer->setInterval(timer.interval());
    if (!timer.running())
        return;
    standIn.periodStartNs = nowNs_();
    standIn.ticksInPeriod = 0;
    standIn.timer->start();
}

TickRecorder::StandIn& TickRecorder::standInFor(GameTimer& timer)
{
    StandIn& standIn = standIns_[&timer];
    if (!standIn.timer) {
        standIn.timer = std::make_unique<GameTimer>(
            runner_, timer.interval(), [this, &timer, &standIn] { tick(timer, standIn); });
    }
    return standIn;
}

void TickRecorder::tick(GameTimer& timer, StandIn& standIn)
{
    const std::int64_t firedNs = nowNs_();
    ++standIn.ticksInPeriod;
    const std::int64_t intervalNs = std::int64_t { timer.interval() } * 1'000'000;
    ticks_.push_back(
        { &timer, standIn.periodStartNs + standIn.ticksInPeriod * intervalNs, firedNs });
    timer.tick();
}

}
