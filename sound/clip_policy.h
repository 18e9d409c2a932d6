#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace keyfall {

// A moment on one steady clock, counted from its epoch: the sound thread's real clock, or a
// test's virtual one.
using SoundTime = std::chrono::microseconds;

// A clip asked for by a key: which one, and when.
struct ClipRequest {
    int clip = -1;
    SoundTime madeAt {};

    bool none() const { return clip < 0; }
};

// What the stream is told next, steps in the order they are listed here.
struct ClipOrders {
    enum Step : unsigned {
        ShortLatency = 1 << 0, // hold little ahead of the speaker, so the clip is heard at once
        Flush = 1 << 1, // drop what is queued and not yet played
        Write = 1 << 2, // queue `clip` whole
        Uncork = 1 << 3,
        Cork = 1 << 4,
        SilentLatency = 1 << 5, // the long latency that lets the server rest
        AskServer = 1 << 6, // a timing query, to learn whether the server answers
        AskPosition = 1 << 7, // a timing query, to learn where in the stream `clip` landed
    };
    unsigned steps = 0;
    int clip = -1;

    bool has(Step step) const { return steps & step; }
};

// Decides which clip plays when, from what the sound server tells; the caller carries out the
// orders each call returns. It holds no clock: each call is given the time it happens.
//
// Its phases:
// - Offline: no server; clips asked for are dropped.
// - Opening: the connection or the stream is under way; the newest clip asked for waits.
// - Idle: the stream is ready, corked, at the silent latency.
// - Asking: the server has been asked whether it answers, for `current_`. Only a clip whose key
//   came less than kStaleAfter before the answer is sent, so a server that stalled is never left
//   a clip to play late when it comes back.
// - Sending: `current_` is written and the stream uncorked; the server has been asked where in the
//   stream the clip landed. An answer as late cuts the clip off.
// - Playing: the clip's start in the stream is known; the stream is corked on the first underflow
//   past it, however long a sleeping sink takes to wake.
// While Asking or Sending, the newest clip asked for waits for the answer. `sounding_` says whether
// the stream is uncorked at the short latency: the clip before may still play while Asking.
class ClipPolicy {
public:
    // A clip not started this long after its key is not played, or cut off at once: later, it
    // would tell the player something false.
    static constexpr SoundTime kStaleAfter = std::chrono::milliseconds(150);

    ClipOrders requested(ClipRequest request, SoundTime now);
    // A connection, or a new stream, is under way; whatever the old stream held is gone, and the
    // clip waiting goes on waiting.
    void opening();
    // The connection or the stream is lost.
    void lost();
    ClipOrders streamReady(SoundTime now);
    // The answer to AskServer.
    ClipOrders serverAnswered(SoundTime now);
    // The answer to AskPosition: where the clip begins in the stream, if the server could say.
    ClipOrders clipStarted(std::optional<std::int64_t> position, SoundTime now);
    // The stream ran dry at the position, if the server could say.
    ClipOrders underflow(std::optional<std::int64_t> position);

    // The clip that waits for the stream, if any.
    ClipRequest waiting() const { return waiting_; }

private:
    enum class Phase { Offline, Opening, Idle, Asking, Sending, Playing };

    ClipOrders start(ClipRequest request, SoundTime now);
    ClipOrders startWaiting(ClipOrders orders, SoundTime now);
    ClipOrders silence();

    Phase phase_ = Phase::Offline;
    bool sounding_ = false;
    ClipRequest waiting_;
    ClipRequest current_;
    std::optional<std::int64_t> clipStart_;
};

}
