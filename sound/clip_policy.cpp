#include "clip_policy.h"

namespace keyfall {

namespace {

    bool staleAt(ClipRequest request, SoundTime now)
    {
        return now - request.madeAt > ClipPolicy::kStaleAfter;
    }

}

ClipOrders ClipPolicy::requested(ClipRequest request, SoundTime now)
{
    switch (phase_) {
    case Phase::Offline:
        return {};
    case Phase::Idle:
    case Phase::Playing:
        return start(request, now);
    default:
        waiting_ = request;
        return {};
    }
}

void ClipPolicy::opening()
{
    phase_ = Phase::Opening;
    sounding_ = false;
}

void ClipPolicy::lost()
{
    phase_ = Phase::Offline;
    sounding_ = false;
    waiting_ = {};
}

ClipOrders ClipPolicy::streamReady(SoundTime now)
{
    // A new stream starts corked, at the silent latency.
    phase_ = Phase::Idle;
    sounding_ = false;
    return startWaiting({}, now);
}

ClipOrders ClipPolicy::serverAnswered(SoundTime now)
{
    if (phase_ != Phase::Asking)
        return {};
    if (staleAt(current_, now)) {
        // The clip before, whose end went unheeded while the question was under way, is
        // silenced too.
        return startWaiting(silence(), now);
    }
    ClipOrders orders { ClipOrders::Write | ClipOrders::Uncork | ClipOrders::AskPosition,
        current_.clip };
    // A stream that is already sounding drops what is left of the clip before; a corked one holds
    // nothing, so the first clip after silence costs the server one request less.
    orders.steps |= sounding_ ? ClipOrders::Flush : ClipOrders::ShortLatency;
    sounding_ = true;
    phase_ = Phase::Sending;
    return orders;
}

ClipOrders ClipPolicy::clipStarted(std::optional<std::int64_t> position, SoundTime now)
{
    if (phase_ != Phase::Sending)
        return {};
    if (staleAt(current_, now))
        return startWaiting(silence(), now);
    phase_ = Phase::Playing;
    clipStart_ = position;
    return startWaiting({}, now);
}

ClipOrders ClipPolicy::underflow(std::optional<std::int64_t> position)
{
    // An underflow before the clip's start is the gap of a flush, or the end of the clip before.
    if (phase_ != Phase::Playing || (position && clipStart_ && *position <= *clipStart_))
        return {};
    return silence();
}

ClipOrders ClipPolicy::start(ClipRequest request, SoundTime now)
{
    waiting_ = {};
    if (staleAt(request, now))
        return {};
    current_ = request;
    phase_ = Phase::Asking;
    return { ClipOrders::AskServer };
}

ClipOrders ClipPolicy::startWaiting(ClipOrders orders, SoundTime now)
{
    if (waiting_.none())
        return orders;
    const ClipOrders next = start(waiting_, now);
    return { orders.steps | next.steps, next.clip };
}

ClipOrders ClipPolicy::silence()
{
    phase_ = Phase::Idle;
    if (!sounding_)
        return {};
    sounding_ = false;
    return { ClipOrders::Flush | ClipOrders::Cork | ClipOrders::SilentLatency };
}

}
