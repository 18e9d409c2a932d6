#include "pulse_output.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <pthread.h>
#include <pulse/pulseaudio.h>
#include <sched.h>
#include <semaphore>
#include <sys/eventfd.h>
#include <unistd.h>

namespace keyfall {

namespace {

    using namespace std::chrono_literals;

    // What the server holds ahead of the speaker: little, so that a new clip is heard at once.
    // The whole clip is written in one go, so the buffer never has to be refilled in time.
    constexpr pa_usec_t kTargetLatencyUsec = 5'000;
    // Pauses between attempts to reach a server that is not there: short at first, so that a
    // restarted server is soon heard again, then longer, so that no server costs next to nothing.
    constexpr pa_usec_t kFirstRetryPauseUsec = 50'000;
    constexpr pa_usec_t kLongestRetryPauseUsec = 1'000'000;
    // How long after a clip's own length the stream is corked: time for the server to play what
    // it still holds. A corked stream costs neither side anything.
    constexpr pa_usec_t kCorkAfterClipUsec = 200'000;
    // How long quitting waits for the sound thread to close the connection.
    constexpr auto kStopWait = 300ms;
    constexpr int kNoClip = -1;

    pa_sample_spec sampleFormatOf(const PcmSound& clip)
    {
        return { PA_SAMPLE_S16LE, static_cast<std::uint32_t>(clip.sampleRate),
            static_cast<std::uint8_t>(clip.channelCount) };
    }

    void forget(pa_operation* operation)
    {
        if (operation)
            pa_operation_unref(operation);
    }

    timeval after(pa_usec_t usec)
    {
        timeval when {};
        pa_gettimeofday(&when);
        pa_timeval_add(&when, usec);
        return when;
    }

}

// Everything below runs on the sound thread, in the main loop's callbacks, except for the hand-over
// fields `requested`, `quitting` and `stopped` and the wake-up descriptor.
struct PulseOutput::Engine {
    std::vector<PcmSound> clips;
    std::atomic<int> requested { kNoClip };
    std::atomic<bool> quitting { false };
    std::binary_semaphore stopped { 0 };
    int wakeFd = -1;

    pa_threaded_mainloop* loop = nullptr;
    pa_mainloop_api* api = nullptr;
    pa_time_event* retryTimer = nullptr;
    pa_time_event* corkTimer = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    pa_sample_spec streamFormat {};
    // The clip asked for while the connection or the stream opens, or while the server has not yet
    // taken the clip before, played as soon as it can be. Newer clips replace it, so a server that
    // stops answering holds one clip of ours at most.
    int waiting = kNoClip;
    // The start of the last clip, until the server confirms it.
    pa_operation* starting = nullptr;
    pa_usec_t retryPause = kFirstRetryPauseUsec;

    void wake() const { eventfd_write(wakeFd, 1); }

    void connect()
    {
        context = pa_context_new(api, "Keyfall");
        if (!context) {
            lose();
            return;
        }
        pa_context_set_state_callback(context, &Engine::onContextState, this);
        // A failure may already have been reported, and handled, through the state callback.
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 && context)
            lose();
    }

    void openStream(const pa_sample_spec& format)
    {
        stream = pa_stream_new(context, "Keyfall", &format, nullptr);
        if (!stream) {
            lose();
            return;
        }
        streamFormat = format;
        pa_stream_set_state_callback(stream, &Engine::onStreamState, this);
        pa_buffer_attr buffer {};
        buffer.maxlength = static_cast<std::uint32_t>(-1);
        buffer.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kTargetLatencyUsec, &format));
        // Any clip starts as soon as the stream is uncorked, however short it is.
        buffer.prebuf = static_cast<std::uint32_t>(pa_frame_size(&format));
        buffer.minreq = static_cast<std::uint32_t>(-1);
        buffer.fragsize = static_cast<std::uint32_t>(-1);
        const auto flags
            = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
        if (pa_stream_connect_playback(stream, nullptr, &buffer, flags, nullptr, nullptr) < 0
            && stream)
            lose();
    }

    void closeStream()
    {
        api->time_restart(corkTimer, nullptr);
        waiting = kNoClip;
        if (starting) {
            pa_operation_cancel(starting);
            pa_operation_unref(starting);
            starting = nullptr;
        }
        if (!stream)
            return;
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
    }

    void disconnect()
    {
        closeStream();
        if (!context)
            return;
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
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

    void play(int index)
    {
        const pa_sample_spec format = sampleFormatOf(clips[static_cast<std::size_t>(index)]);
        if (stream && !pa_sample_spec_equal(&format, &streamFormat)) {
            closeStream();
            openStream(format);
        }
        // Between two attempts to reach the server the clip is dropped; while one is under way,
        // it is played once the stream is ready.
        if (!context)
            return;
        if (stream && pa_stream_get_state(stream) == PA_STREAM_READY)
            start(index);
        else
            waiting = index;
    }

    // Drops what is left of the clip before, queues the whole clip and lets it play.
    void start(int index)
    {
        if (starting) {
            waiting = index;
            return;
        }
        waiting = kNoClip;
        const PcmSound& clip = clips[static_cast<std::size_t>(index)];
        const auto bytes = static_cast<std::size_t>(clip.samples.size());
        forget(pa_stream_flush(stream, nullptr, nullptr));
        pa_stream_write(stream, clip.samples.constData(), bytes, nullptr, 0, PA_SEEK_RELATIVE);
        starting = pa_stream_cork(stream, 0, &Engine::onStarted, this);
        const timeval corkAt = after(pa_bytes_to_usec(bytes, &streamFormat) + kCorkAfterClipUsec);
        api->time_restart(corkTimer, &corkAt);
    }

    void stop()
    {
        disconnect();
        api->quit(api, 0);
        stopped.release();
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
        const int index = engine->requested.exchange(kNoClip, std::memory_order_acquire);
        if (index != kNoClip)
            engine->play(index);
    }

    // Waking this thread must not take the processor from the window's thread that woke it: as a
    // batch thread it waits for its turn instead, which costs a sound a few microseconds at most.
    static void onThreadStart(pa_mainloop_api*, void*)
    {
        const sched_param priority {};
        pthread_setschedparam(pthread_self(), SCHED_BATCH, &priority);
    }

    static void onRetry(pa_mainloop_api*, pa_time_event*, const timeval*, void* self)
    {
        static_cast<Engine*>(self)->connect();
    }

    static void onStarted(pa_stream* stream, int, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        pa_operation_unref(engine->starting);
        engine->starting = nullptr;
        if (engine->waiting != kNoClip && pa_stream_get_state(stream) == PA_STREAM_READY)
            engine->start(engine->waiting);
    }

    static void onCork(pa_mainloop_api*, pa_time_event*, const timeval*, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        if (engine->stream && pa_stream_get_state(engine->stream) == PA_STREAM_READY)
            forget(pa_stream_cork(engine->stream, 1, nullptr, nullptr));
    }

    static void onContextState(pa_context* context, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY: {
            const int first = engine->waiting == kNoClip ? 0 : engine->waiting;
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
        switch (pa_stream_get_state(stream)) {
        case PA_STREAM_READY:
            engine->retryPause = kFirstRetryPauseUsec;
            if (engine->waiting != kNoClip)
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
    engine_->clips = std::move(clips);
}

// The sound thread never waits on anything but its poll, so it stops at once, whatever the server
// does. Should it ever not, the program does not wait for it: the thread, the main loop and the
// clips are left to the end of the process.
PulseOutput::~PulseOutput()
{
    if (!engine_->loop) {
        delete engine_;
        return;
    }
    engine_->quitting.store(true);
    engine_->wake();
    if (!engine_->stopped.try_acquire_for(kStopWait))
        return;
    pa_threaded_mainloop_stop(engine_->loop);
    pa_threaded_mainloop_free(engine_->loop);
    close(engine_->wakeFd);
    delete engine_;
}

void PulseOutput::start()
{
    Engine& engine = *engine_;
    if (engine.loop || engine.clips.empty())
        return;
    engine.wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (engine.wakeFd < 0)
        return;
    engine.loop = pa_threaded_mainloop_new();
    if (!engine.loop) {
        close(engine.wakeFd);
        return;
    }
    // The thread is not running yet, so its main loop is set up without its lock.
    engine.api = pa_threaded_mainloop_get_api(engine.loop);
    engine.api->io_new(engine.api, engine.wakeFd, PA_IO_EVENT_INPUT, &Engine::onWake, &engine);
    engine.retryTimer = engine.api->time_new(engine.api, nullptr, &Engine::onRetry, &engine);
    engine.corkTimer = engine.api->time_new(engine.api, nullptr, &Engine::onCork, &engine);
    pa_mainloop_api_once(engine.api, &Engine::onThreadStart, nullptr);
    const timeval now = after(0);
    engine.api->time_restart(engine.retryTimer, &now);
    pa_threaded_mainloop_set_name(engine.loop, "keyfall-sound");
    if (pa_threaded_mainloop_start(engine.loop) < 0) {
        pa_threaded_mainloop_free(engine.loop);
        engine.loop = nullptr;
        close(engine.wakeFd);
    }
}

void PulseOutput::play(std::size_t index)
{
    if (!engine_->loop)
        return;
    engine_->requested.store(static_cast<int>(index), std::memory_order_release);
    engine_->wake();
}

}
