#include "pulse_output.h"

#include "pulse_library.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <pthread.h>
#include <sched.h>
#include <semaphore>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace keyfall {

namespace {

    using namespace std::chrono_literals;
    using Clock = std::chrono::steady_clock;

    // What the server holds ahead of the speaker while a clip plays: little, so that a new clip
    // is heard at once. The whole clip is written in one go, so the buffer never has to be
    // refilled in time.
    constexpr pa_usec_t kPlayingLatencyUsec = 5'000;
    // While silent, the stream asks for as long a latency as a server gives a client that asks
    // for none, so that an idle game never makes the server work harder. PulseAudio keeps a
    // corked stream's wish, and runs the whole sink at the shortest wish of its streams.
    constexpr pa_usec_t kSilentLatencyUsec = 2'000'000;
    // Silence after every clip, longer than the server's period while a clip plays: PipeWire
    // plays no part of a period it was not given whole, and PulseAudio takes back what it has
    // mixed ahead of the speaker when the stream is corked. Either then loses silence only.
    constexpr pa_usec_t kSilentTailUsec = 20'000;
    // A clip the server has not started this long after its key is not played, or cut off at
    // once: later, it would tell the player something false.
    constexpr auto kStaleAfter = 150ms;
    // Pauses between attempts to reach a server that is not there: short at first, so that a
    // restarted server is soon heard again, then longer, so that no server costs next to nothing.
    constexpr pa_usec_t kFirstRetryPauseUsec = 50'000;
    constexpr pa_usec_t kLongestRetryPauseUsec = 1'000'000;
    // How long quitting waits for the sound thread to close the connection.
    constexpr auto kStopWait = 300ms;

    std::int64_t microsecondsNow()
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
            Clock::now().time_since_epoch())
            .count();
    }

    // A request for a clip: its index and when it was made, in one word that threads can swap.
    struct Request {
        static constexpr int kIndexBits = 8;
        int index = -1;
        std::int64_t madeUsec = 0;

        bool stale() const { return microsecondsNow() - madeUsec > kStaleAfter / 1us; }
        std::int64_t packed() const { return madeUsec << kIndexBits | (index + 1); }
        static Request unpacked(std::int64_t word)
        {
            return { int(word & ((1 << kIndexBits) - 1)) - 1, word >> kIndexBits };
        }
    };
    constexpr std::int64_t kNoRequest = 0;

    pa_sample_spec sampleFormatOf(const PcmSound& clip)
    {
        return { PA_SAMPLE_S16LE, static_cast<std::uint32_t>(clip.sampleRate),
            static_cast<std::uint8_t>(clip.channelCount) };
    }

    bool sameFormat(const pa_sample_spec& a, const pa_sample_spec& b)
    {
        return a.format == b.format && a.rate == b.rate && a.channels == b.channels;
    }

    std::uint32_t bytesOf(pa_usec_t usec, const pa_sample_spec& format)
    {
        const std::uint64_t frames = usec * format.rate / 1'000'000;
        return static_cast<std::uint32_t>(frames * format.channels * sizeof(std::int16_t));
    }

    pa_buffer_attr bufferFor(pa_usec_t latencyUsec, const pa_sample_spec& format)
    {
        pa_buffer_attr buffer {};
        buffer.maxlength = static_cast<std::uint32_t>(-1);
        buffer.tlength = bytesOf(latencyUsec, format);
        // Any clip starts as soon as the stream is uncorked, however short it is.
        buffer.prebuf = static_cast<std::uint32_t>(format.channels * sizeof(std::int16_t));
        buffer.minreq = static_cast<std::uint32_t>(-1);
        buffer.fragsize = static_cast<std::uint32_t>(-1);
        return buffer;
    }

}

// Everything below runs on the sound thread, in the main loop's callbacks, except for the hand-over
// fields `requested`, `quitting` and `stopped` and the wake-up descriptor.
struct PulseOutput::Engine {
    std::vector<PcmSound> clips;
    std::atomic<std::int64_t> requested { kNoRequest };
    std::atomic<bool> quitting { false };
    std::binary_semaphore stopped { 0 };
    int wakeFd = -1;
    std::thread thread;

    const PulseLibrary* pa = nullptr;
    pa_mainloop_api* api = nullptr;
    pa_time_event* retryTimer = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    pa_sample_spec streamFormat {};
    // Whether the stream asks for the short latency of a clip playing.
    bool quick = false;
    // The clip asked for while the connection or the stream opens, or while the server has not yet
    // taken the clip before, played as soon as it can be if it is not stale by then. Newer clips
    // replace it, so a server that stops answering holds one clip of ours at most.
    Request waiting;
    // The start of the last clip, until the server confirms it, and when that clip was asked for.
    pa_operation* starting = nullptr;
    Request started;
    // Where in the stream the clip playing begins, once the server has told; an underflow past it
    // is that clip's end.
    std::int64_t clipStart = -1;
    pa_usec_t retryPause = kFirstRetryPauseUsec;

    void wake() const { eventfd_write(wakeFd, 1); }

    bool ready() const { return stream && pa->stream_get_state(stream) == PA_STREAM_READY; }

    void forget(pa_operation* operation) const
    {
        if (operation)
            pa->operation_unref(operation);
    }

    timeval after(pa_usec_t usec) const
    {
        timeval when {};
        pa->gettimeofday(&when);
        pa->timeval_add(&when, usec);
        return when;
    }

    // The sound thread: loads libpulse, then runs the main loop until quitting.
    void run()
    {
        // Waking this thread must not take the processor from the window's thread that woke it:
        // as a batch thread it waits for its turn instead, which costs a sound a few microseconds.
        const sched_param priority {};
        pthread_setschedparam(pthread_self(), SCHED_BATCH, &priority);
        pthread_setname_np(pthread_self(), "keyfall-sound");
        pa = PulseLibrary::load();
        pa_mainloop* loop = pa ? pa->mainloop_new() : nullptr;
        if (loop) {
            api = pa->mainloop_get_api(loop);
            api->io_new(api, wakeFd, PA_IO_EVENT_INPUT, &Engine::onWake, this);
            const timeval now = after(0);
            retryTimer = api->time_new(api, &now, &Engine::onRetry, this);
            int status = 0;
            pa->mainloop_run(loop, &status);
            pa->mainloop_free(loop);
        }
        stopped.release();
    }

    void connect()
    {
        context = pa->context_new(api, "Keyfall");
        if (!context) {
            lose();
            return;
        }
        pa->context_set_state_callback(context, &Engine::onContextState, this);
        // A failure may already have been reported, and handled, through the state callback.
        if (pa->context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 && context)
            lose();
    }

    void openStream(const pa_sample_spec& format)
    {
        stream = pa->stream_new(context, "Keyfall", &format, nullptr);
        if (!stream) {
            lose();
            return;
        }
        streamFormat = format;
        quick = false;
        pa->stream_set_state_callback(stream, &Engine::onStreamState, this);
        pa->stream_set_underflow_callback(stream, &Engine::onUnderflow, this);
        const pa_buffer_attr buffer = bufferFor(kSilentLatencyUsec, format);
        const auto flags
            = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
        if (pa->stream_connect_playback(stream, nullptr, &buffer, flags, nullptr, nullptr) < 0
            && stream)
            lose();
    }

    void closeStream()
    {
        waiting = {};
        if (starting) {
            pa->operation_cancel(starting);
            pa->operation_unref(starting);
            starting = nullptr;
        }
        if (!stream)
            return;
        pa->stream_set_state_callback(stream, nullptr, nullptr);
        pa->stream_set_underflow_callback(stream, nullptr, nullptr);
        pa->stream_disconnect(stream);
        pa->stream_unref(stream);
        stream = nullptr;
    }

    void disconnect()
    {
        closeStream();
        if (!context)
            return;
        pa->context_set_state_callback(context, nullptr, nullptr);
        pa->context_disconnect(context);
        pa->context_unref(context);
        context = nullptr;
    }

    // The server is gone or never answered: silence, and another try after a pause.
    void lose()
    {
        disconnect();
        const timeval when = after(retryPause);
        api->time_restart(retryTimer, &when);
        retryPause = std::min(retryPause * 2, kLongestRetryPauseUsec);
    }

    void setLatency(bool playing)
    {
        if (quick == playing)
            return;
        quick = playing;
        const pa_buffer_attr buffer
            = bufferFor(playing ? kPlayingLatencyUsec : kSilentLatencyUsec, streamFormat);
        forget(pa->stream_set_buffer_attr(stream, &buffer, nullptr, nullptr));
    }

    void play(Request request)
    {
        const pa_sample_spec format
            = sampleFormatOf(clips[static_cast<std::size_t>(request.index)]);
        if (stream && !sameFormat(format, streamFormat)) {
            closeStream();
            openStream(format);
        }
        // Between two attempts to reach the server the clip is dropped; while one is under way,
        // it is played once the stream is ready.
        if (!context)
            return;
        if (ready())
            start(request);
        else
            waiting = request;
    }

    // First asks whether the server answers: a clip goes only to a server that answered in time,
    // so that one which stalled is never left a clip to play late when it comes back.
    void start(Request request)
    {
        if (starting) {
            waiting = request;
            return;
        }
        waiting = {};
        if (request.stale())
            return;
        started = request;
        starting = pa->stream_update_timing_info(stream, &Engine::onAnswered, this);
    }

    // Drops what is left of the clip before, queues the whole clip and lets it play at the
    // short latency; then asks where in the stream it landed.
    void send()
    {
        const PcmSound& clip = clips[static_cast<std::size_t>(started.index)];
        setLatency(true);
        forget(pa->stream_flush(stream, nullptr, nullptr));
        pa->stream_write(stream, clip.samples.constData(),
            static_cast<std::size_t>(clip.samples.size()), nullptr, 0, PA_SEEK_RELATIVE);
        forget(pa->stream_cork(stream, 0, nullptr, nullptr));
        clipStart = -1;
        starting = pa->stream_update_timing_info(stream, &Engine::onStarted, this);
    }

    // Corks the stream and lets the server rest until the next clip.
    void silence()
    {
        forget(pa->stream_flush(stream, nullptr, nullptr));
        forget(pa->stream_cork(stream, 1, nullptr, nullptr));
        setLatency(false);
    }

    void stop()
    {
        disconnect();
        api->quit(api, 0);
    }

    static void onWake(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        eventfd_t count = 0;
        eventfd_read(fd, &count);
        if (engine->quitting.load()) {
            engine->stop();
            return;
        }
        const std::int64_t word = engine->requested.exchange(kNoRequest, std::memory_order_acquire);
        if (word != kNoRequest)
            engine->play(Request::unpacked(word));
    }

    static void onRetry(pa_mainloop_api*, pa_time_event*, const timeval*, void* self)
    {
        static_cast<Engine*>(self)->connect();
    }

    // The question under way has been answered: whether the stream is still there to go on.
    bool answered()
    {
        pa->operation_unref(starting);
        starting = nullptr;
        return ready();
    }

    // The server answers: in time, it is given the clip. Else the clip is dropped, and the clip
    // before, whose end went unheeded while the question was under way, is silenced too.
    static void onAnswered(pa_stream*, int, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        if (!engine->answered())
            return;
        if (!engine->started.stale()) {
            engine->send();
            return;
        }
        engine->silence();
        if (engine->waiting.index >= 0)
            engine->start(engine->waiting);
    }

    // The server has taken the clip. Taken late, because the server stalled in between, it is
    // cut off at once; else the stream is corked once the server has played it (see onUnderflow).
    static void onStarted(pa_stream* stream, int success, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        if (!engine->answered())
            return;
        if (engine->started.stale())
            engine->silence();
        else if (const pa_timing_info* timing = engine->pa->stream_get_timing_info(stream);
                 success && timing && !timing->write_index_corrupt) {
            const auto bytes = engine->clips[std::size_t(engine->started.index)].samples.size();
            engine->clipStart = timing->write_index - bytes;
        }
        if (engine->waiting.index >= 0)
            engine->start(engine->waiting);
    }

    // The stream ran dry. Past the start of the clip playing, the server has played it all; an
    // underflow from before (the gap of a flush, or the end of the clip before) is passed over.
    static void onUnderflow(pa_stream* stream, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        if (engine->starting)
            return;
        const std::int64_t at = engine->pa->stream_get_underflow_index(stream);
        if (at < 0 || engine->clipStart < 0 || at > engine->clipStart)
            engine->silence();
    }

    static void onContextState(pa_context* context, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        switch (engine->pa->context_get_state(context)) {
        case PA_CONTEXT_READY: {
            const int first = std::max(engine->waiting.index, 0);
            engine->openStream(sampleFormatOf(engine->clips[static_cast<std::size_t>(first)]));
            break;
        }
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            engine->lose();
            break;
        default:
            break;
        }
    }

    static void onStreamState(pa_stream* stream, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        switch (engine->pa->stream_get_state(stream)) {
        case PA_STREAM_READY:
            engine->retryPause = kFirstRetryPauseUsec;
            if (engine->waiting.index >= 0)
                engine->start(engine->waiting);
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED:
            engine->lose();
            break;
        default:
            break;
        }
    }
};

PulseOutput::PulseOutput(std::vector<PcmSound> clips)
    : engine_(new Engine)
{
    for (PcmSound& clip : clips)
        clip.samples.append(qsizetype(bytesOf(kSilentTailUsec, sampleFormatOf(clip))), '\0');
    engine_->clips = std::move(clips);
}

// The sound thread never waits on anything but its poll, so it stops at once, whatever the server
// does. Should it ever not, the program does not wait for it: the thread, the main loop and the
// clips are left to the end of the process.
PulseOutput::~PulseOutput()
{
    if (!engine_->thread.joinable()) {
        delete engine_;
        return;
    }
    engine_->quitting.store(true);
    engine_->wake();
    if (!engine_->stopped.try_acquire_for(kStopWait)) {
        engine_->thread.detach();
        return;
    }
    engine_->thread.join();
    close(engine_->wakeFd);
    delete engine_;
}

void PulseOutput::start()
{
    Engine& engine = *engine_;
    if (engine.thread.joinable() || engine.clips.empty())
        return;
    engine.wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (engine.wakeFd >= 0)
        engine.thread = std::thread(&Engine::run, &engine);
}

void PulseOutput::play(std::size_t index)
{
    if (!engine_->thread.joinable())
        return;
    const Request request { static_cast<int>(index), microsecondsNow() };
    engine_->requested.store(request.packed(), std::memory_order_release);
    engine_->wake();
}

}
