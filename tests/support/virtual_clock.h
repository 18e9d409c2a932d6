#pragma once

#include "game/game_timer.h"

#include <cstdint>
#include <map>

namespace keyfall::testing {

// Simulated time: advancing it fires every tick that falls due, in order of due time, exactly and
// at once. Ticks due at the same moment fire in the order their periods began.
class VirtualClock final : public TimerScheduler {
public:
    void timerChanged(GameTimer& timer) override;

    // Moves time forward by `ms`, firing due ticks on the way.
    void advance(std::int64_t ms);
    // Moves time to the next due tick and fires it; false if no timer runs.
    bool fireNext();

    std::int64_t now() const { return now_; }
    // When the timer ticks next, or -1 if it is stopped.
    std::int64_t nextTick(const GameTimer& timer) const;

private:
    struct Due {
        std::int64_t at;
        std::uint64_t order;
    };
    const GameTimer* earliest() const;
    void fire(const GameTimer* timer);

    std::int64_t now_ = 0;
    std::uint64_t nextOrder_ = 0;
    std::map<const GameTimer*, Due> due_;
};

}
