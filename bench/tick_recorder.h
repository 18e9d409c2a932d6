#pragma once

#include "game/game_timer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace keyfall::bench {

// One tick of a game timer: when it was due and when it came, in nanoseconds on the recorder's
// clock.
struct TickRecord {
    const GameTimer* timer;
    std::int64_t dueNs;
    std::int64_t firedNs;
};

// Stands between the game's timers and the scheduler that really runs them, and writes down when
// each tick was due and when it came. Each game timer gets a stand-in timer with the same period
// on the real scheduler, started and stopped with it, so the real scheduler runs exactly what it
// would run for the game. A period begun at t has its k-th tick due at t + k x interval.
class TickRecorder final : public TimerScheduler {
public:
    using Clock = std::function<std::int64_t()>;

    TickRecorder(TimerScheduler& runner, Clock nowNs);
    ~TickRecorder() override;

    void timerChanged(GameTimer& timer) override;

    const std::vector<TickRecord>& ticks() const { return ticks_; }

private:
    struct StandIn {
        std::unique_ptr<GameTimer> timer;
        std::int64_t periodStartNs = 0;
        std::int64_t ticksInPeriod = 0;
    };

    StandIn& standInFor(GameTimer& timer);
    void tick(GameTimer& timer, StandIn& standIn);

    TimerScheduler& runner_;
    Clock nowNs_;
    std::map<const GameTimer*, StandIn> standIns_;
    std::vector<TickRecord> ticks_;
};

}
