// Nothing on the user-interface thread ever locks, so no sound server can hold the window up:
// play() leaves its request in one lock-free atomic word and writes to a non-blocking eventfd.
// Only the sound thread speaks to the server, and it waits nowhere but in its main loop's poll.
// The one wait of the user-interface thread is quitting's, for the sound thread to close the
// connection, and it is bounded (kStopWait).
#include "pulse_output.h"

#include "clip_policy.h"
#include "pulse_library.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <pthread.h>
#include <sched.h>
#include <semaphore>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>

namespace keyfall {

namespace {

    using namespace std::chrono_literals;

    // The name the desktop's mixer shows for the game and its stream.
    constexpr const char* kName = "Keyfall";
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
    // Pauses between attempts to reach a server that is not there: short at first, so that a
    // restarted server is soon heard again, then longer, so that no server costs next to nothing.
    constexpr pa_usec_t kFirstRetryPauseUsec = 50'000;
    constexpr pa_usec_t kLongestRetryPauseUsec = 1'000'000;
    // How long quitting waits for the sound thread to close the connection.
    constexpr auto kStopWait = 300ms;

    SoundTime now()
    {
        return std::chrono::duration_cast<SoundTime>(
            std::chrono::steady_clock::now().time_since_epoch());
    }

    // A request in one 32-bit word that threads can swap, lock-free on every architecture: the
    // clip's index + 1 in the low bits, which leave room for kMostClips clips, and the millisecond
    // it was made in the rest, counted modulo 2^24 (4.6 hours). The sound thread takes a request
    // within milliseconds, so its age is never that long, and telling a stale one is all the time
    // is for.
    using RequestWord = std::uint32_t;
    constexpr int kIndexBits = 8;
    constexpr std::size_t kMostClips = (std::size_t(1) << kIndexBits) - 1;
    constexpr RequestWord kNoRequest = 0;
    constexpr RequestWord kTimeMask = (RequestWord(1) << (32 - kIndexBits)) - 1;

    RequestWord millisecondOf(SoundTime time)
    {
        return static_cast<RequestWord>(
            std::chrono::duration_cast<std::chrono::milliseconds>(time).count());
    }

    RequestWord packed(ClipRequest request)
    {
        return (millisecondOf(request.madeAt) & kTimeMask) << kIndexBits
            | static_cast<RequestWord>(request.clip + 1);
    }

    ClipRequest unpacked(RequestWord word, SoundTime now)
    {
        const RequestWord ageMs = (millisecondOf(now) - (word >> kIndexBits)) & kTimeMask;
        return { int(word & ((1U << kIndexBits) - 1)) - 1, now - std::chrono::milliseconds(ageMs) };
    }

    // The samples are the file's little-endian bytes on every machine.
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

    // Reserving the exact size first keeps the clip from holding spare capacity for as long as
    // the game runs: an append that grows the array rounds it up, by over a third of a clip.
    void appendSilentTail(PcmSound& clip)
    {
        const qsizetype tail = bytesOf(kSilentTailUsec, sampleFormatOf(clip));
        clip.samples.reserve(clip.samples.size() + tail);
        clip.samples.append(tail, '\0');
    }

    // Waking the sound thread must not take the processor from the window's thread that woke
    // it: as a batch thread it waits for its turn instead, which costs a sound a few
    // microseconds.
    void becomeSoundThread()
    {
        const sched_param priority {};
        pthread_setschedparam(pthread_self(), SCHED_BATCH, &priority);
        pthread_setname_np(pthread_self(), "keyfall-sound");
    }

}

// The connection and the stream, and the hand-over from the caller's thread. All but the
// hand-over runs on the sound thread, in the main loop's callbacks: the server's answers go to
// the clip policy, and the policy's orders to the server.
class PulseOutput::Engine {
public:
    explicit Engine(std::vector<PcmSound> clips)
        : clips_(std::move(clips))
    {
        for (PcmSound& clip : clips_)
            appendSilentTail(clip);
    }

    ~Engine()
    {
        if (wakeFd_ >= 0)
            close(wakeFd_);
    }

    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // On the caller's thread: whether there is anything to play and a way to wake the thread.
    bool prepare()
    {
        if (!clips_.empty() && wakeFd_ < 0)
            wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        return wakeFd_ >= 0;
    }

    // A clip the output does not hold (or, beyond kMostClips, could not ask for) plays nothing.
    void ask(std::size_t index)
    {
        if (index >= std::min(clips_.size(), kMostClips))
            return;
        requested_.store(packed({ static_cast<int>(index), now() }), std::memory_order_release);
        eventfd_write(wakeFd_, 1);
    }

    // Whether the sound thread stopped in time.
    bool quit()
    {
        quitting_.store(true);
        eventfd_write(wakeFd_, 1);
        return stopped_.try_acquire_for(kStopWait);
    }

    // The sound thread: runs the main loop until quitting, or returns at once without libpulse.
    void run(const PulseLibrary* library)
    {
        pa_mainloop* loop = library ? library->mainloop_new() : nullptr;
        if (loop) {
            pa_ = library;
            api_ = pa_->mainloop_get_api(loop);
            api_->io_new(api_, wakeFd_, PA_IO_EVENT_INPUT, &Engine::onWake, this);
            const timeval at = after(0);
            retryTimer_ = api_->time_new(api_, &at, &Engine::onRetry, this);
            int status = 0;
            pa_->mainloop_run(loop, &status);
            pa_->mainloop_free(loop);
        }
        stopped_.release();
    }

private:
    timeval after(pa_usec_t usec) const
    {
        timeval when {};
        pa_->gettimeofday(&when);
        pa_->timeval_add(&when, usec);
        return when;
    }

    bool ready() const { return stream_ && pa_->stream_get_state(stream_) == PA_STREAM_READY; }

    void forget(pa_operation* operation) const
    {
        if (operation)
            pa_->operation_unref(operation);
    }

    // What make() returns, given a property list of the pairs, freed after.
    template <typename Make>
    auto withProperties(
        std::initializer_list<std::pair<const char*, const char*>> pairs, Make make) const
    {
        pa_proplist* properties = pa_->proplist_new();
        for (const auto& [key, value] : pairs)
            pa_->proplist_sets(properties, key, value);
        auto made = make(properties);
        pa_->proplist_free(properties);
        return made;
    }

    // The desktop's mixer shows the game under its name and icon; the role lets the desktop's
    // policies treat its stream as a game's, such as lowering it under a call.
    void connect()
    {
        policy_.opening();
        context_ = withProperties({ { PA_PROP_APPLICATION_ID, KEYFALL_APP_ID },
                                      { PA_PROP_APPLICATION_ICON_NAME, KEYFALL_APP_ID },
                                      { PA_PROP_APPLICATION_VERSION, KEYFALL_VERSION } },
            [this](pa_proplist* properties) {
                return pa_->context_new_with_proplist(api_, kName, properties);
            });
        if (!context_) {
            lose();
            return;
        }
        pa_->context_set_state_callback(context_, &Engine::onContextState, this);
        // A failure may already have been reported, and handled, through the state callback.
        if (pa_->context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0
            && context_)
            lose();
    }

    void openStream(const pa_sample_spec& format)
    {
        policy_.opening();
        stream_ = withProperties(
            { { PA_PROP_MEDIA_ROLE, "game" } }, [this, &format](pa_proplist* properties) {
                return pa_->stream_new_with_proplist(context_, kName, &format, nullptr, properties);
            });
        if (!stream_) {
            lose();
            return;
        }
        streamFormat_ = format;
        pa_->stream_set_state_callback(stream_, &Engine::onStreamState, this);
        pa_->stream_set_underflow_callback(stream_, &Engine::onUnderflow, this);
        const pa_buffer_attr buffer = bufferFor(kSilentLatencyUsec, format);
        const auto flags
            = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
        if (pa_->stream_connect_playback(stream_, nullptr, &buffer, flags, nullptr, nullptr) < 0
            && stream_)
            lose();
    }

    void closeStream()
    {
        if (question_) {
            pa_->operation_cancel(question_);
            pa_->operation_unref(question_);
            question_ = nullptr;
        }
        if (!stream_)
            return;
        pa_->stream_set_state_callback(stream_, nullptr, nullptr);
        pa_->stream_set_underflow_callback(stream_, nullptr, nullptr);
        pa_->stream_disconnect(stream_);
        pa_->stream_unref(stream_);
        stream_ = nullptr;
    }

    void disconnect()
    {
        closeStream();
        if (!context_)
            return;
        pa_->context_set_state_callback(context_, nullptr, nullptr);
        pa_->context_disconnect(context_);
        pa_->context_unref(context_);
        context_ = nullptr;
    }

    // The server is gone or never answered: silence, and another try after a pause.
    void lose()
    {
        disconnect();
        policy_.lost();
        const timeval when = after(retryPause_);
        api_->time_restart(retryTimer_, &when);
        retryPause_ = std::min(retryPause_ * 2, kLongestRetryPauseUsec);
    }

    void play(ClipRequest request)
    {
        const pa_sample_spec format = sampleFormatOf(clips_[std::size_t(request.clip)]);
        if (stream_ && !sameFormat(format, streamFormat_)) {
            closeStream();
            openStream(format);
        }
        carryOut(policy_.requested(request, now()));
    }

    void setLatency(pa_usec_t usec)
    {
        const pa_buffer_attr buffer = bufferFor(usec, streamFormat_);
        forget(pa_->stream_set_buffer_attr(stream_, &buffer, nullptr, nullptr));
    }

    // All of the orders go out in one burst, as the main loop writes them when it next polls.
    void carryOut(const ClipOrders& orders)
    {
        if (orders.has(ClipOrders::ShortLatency))
            setLatency(kPlayingLatencyUsec);
        if (orders.has(ClipOrders::Flush))
            forget(pa_->stream_flush(stream_, nullptr, nullptr));
        if (orders.has(ClipOrders::Write)) {
            const QByteArray& samples = clips_[std::size_t(orders.clip)].samples;
            pa_->stream_write(stream_, samples.constData(), std::size_t(samples.size()), nullptr, 0,
                PA_SEEK_RELATIVE);
            written_ = samples.size();
        }
        if (orders.has(ClipOrders::Uncork) || orders.has(ClipOrders::Cork))
            forget(pa_->stream_cork(stream_, orders.has(ClipOrders::Cork), nullptr, nullptr));
        if (orders.has(ClipOrders::SilentLatency))
            setLatency(kSilentLatencyUsec);
        if (orders.has(ClipOrders::AskServer))
            question_ = pa_->stream_update_timing_info(stream_, &Engine::onServerAnswered, this);
        if (orders.has(ClipOrders::AskPosition))
            question_ = pa_->stream_update_timing_info(stream_, &Engine::onClipStarted, this);
    }

    // The question under way has been answered: whether the stream is still there to go on.
    bool answered()
    {
        pa_->operation_unref(question_);
        question_ = nullptr;
        return ready();
    }

    static void onWake(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        eventfd_t count = 0;
        eventfd_read(fd, &count);
        if (engine->quitting_.load()) {
            engine->disconnect();
            engine->api_->quit(engine->api_, 0);
            return;
        }
        const RequestWord word = engine->requested_.exchange(kNoRequest, std::memory_order_acquire);
        if (word != kNoRequest)
            engine->play(unpacked(word, now()));
    }

    static void onRetry(pa_mainloop_api*, pa_time_event*, const timeval*, void* self)
    {
        static_cast<Engine*>(self)->connect();
    }

    static void onServerAnswered(pa_stream*, int, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        if (engine->answered())
            engine->carryOut(engine->policy_.serverAnswered(now()));
    }

    static void onClipStarted(pa_stream* stream, int success, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        if (!engine->answered())
            return;
        std::optional<std::int64_t> start;
        if (const pa_timing_info* timing = engine->pa_->stream_get_timing_info(stream);
            success && timing && !timing->write_index_corrupt)
            start = timing->write_index - engine->written_;
        engine->carryOut(engine->policy_.clipStarted(start, now()));
    }

    static void onUnderflow(pa_stream* stream, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        const std::int64_t at = engine->pa_->stream_get_underflow_index(stream);
        engine->carryOut(engine->policy_.underflow(at < 0 ? std::nullopt : std::optional(at)));
    }

    static void onContextState(pa_context* context, void* self)
    {
        auto* engine = static_cast<Engine*>(self);
        switch (engine->pa_->context_get_state(context)) {
        case PA_CONTEXT_READY: {
            const int first = std::max(engine->policy_.waiting().clip, 0);
            engine->openStream(sampleFormatOf(engine->clips_[std::size_t(first)]));
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
        switch (engine->pa_->stream_get_state(stream)) {
        case PA_STREAM_READY:
            engine->retryPause_ = kFirstRetryPauseUsec;
            engine->carryOut(engine->policy_.streamReady(now()));
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED:
            engine->lose();
            break;
        default:
            break;
        }
    }

    std::vector<PcmSound> clips_;

    // The hand-over from the caller's thread.
    std::atomic<RequestWord> requested_ { kNoRequest };
    static_assert(std::atomic<RequestWord>::is_always_lock_free);
    std::atomic<bool> quitting_ { false };
    std::binary_semaphore stopped_ { 0 };
    int wakeFd_ = -1;

    const PulseLibrary* pa_ = nullptr;
    pa_mainloop_api* api_ = nullptr;
    pa_time_event* retryTimer_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    pa_sample_spec streamFormat_ {};
    ClipPolicy policy_;
    // The timing query under way, for the policy's AskServer or AskPosition.
    pa_operation* question_ = nullptr;
    // The size of the clip last written, to find its start from where the writing ended.
    std::int64_t written_ = 0;
    pa_usec_t retryPause_ = kFirstRetryPauseUsec;
};

PulseOutput::PulseOutput(std::vector<PcmSound> clips)
    : engine_(std::make_unique<Engine>(std::move(clips)))
{
}

// The sound thread never waits on anything but its poll, so it stops at once, whatever the server
// does. Should it ever not, the program does not wait for it: the thread, the main loop and the
// clips are left to the end of the process.
PulseOutput::~PulseOutput()
{
    if (!thread_.joinable())
        return;
    if (!engine_->quit()) {
        thread_.detach();
        static_cast<void>(engine_.release());
        return;
    }
    thread_.join();
}

void PulseOutput::start()
{
    if (thread_.joinable() || !engine_->prepare())
        return;
    thread_ = std::thread([engine = engine_.get()] {
        becomeSoundThread();
        engine->run(PulseLibrary::load());
    });
}

void PulseOutput::play(std::size_t index)
{
    if (thread_.joinable())
        engine_->ask(index);
}

}
