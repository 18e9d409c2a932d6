#include "virtual_clock.h"

namespace keyfall::testing {

void VirtualClock::timerChanged(GameTimer& timer)
{
    if (timer.running())
        due_[&timer] = { now_ + timer.interval(), nextOrder_++ };
    else
        due_.erase(&timer);
}

const GameTimer* VirtualClock::earliest() const
{
    const GameTimer* first = nullptr;
    Due best {};
    for (const auto& [timer, due] : due_) {
        if (!first || due.at < best.at || (due.at == best.at && due.order < best.order)) {
            first = timer;
            best = due;
        }
    }
    return first;
}

void VirtualClock::fire(const GameTimer* timer)
{
    Due& due = due_.at(timer);
    now_ = due.at;
    // The next period is booked before the tick runs, so a handler that restarts or stops its
    // own timer overrides it.
    due = { due.at + timer->interval(), nextOrder_++ };
    timer->tick();
}

void VirtualClock::advance(std::int64_t ms)
{
    const std::int64_t target = now_ + ms;
    for (const GameTimer* next = earliest(); next && due_.at(next).at <= target; next = earliest())
        fire(next);
    now_ = target;
}

bool VirtualClock::fireNext()
{
    const GameTimer* next = earliest();
    if (!next)
        return false;
    fire(next);
    return true;
}

std::int64_t VirtualClock::nextTick(const GameTimer& timer) const
{
    const auto it = due_.find(&timer);
    return it == due_.end() ? -1 : it->second.at;
}

}
