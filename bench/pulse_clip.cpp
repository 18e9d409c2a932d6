#include "bench/pulse_clip.h"

#include "sound/wav_reader.h"

#include <optional>
#include <stdexcept>
#include <utility>

namespace keyfall::bench {

namespace {

    constexpr pa_usec_t kPlayingLatencyUsec = 5'000;
    constexpr pa_usec_t kSilentLatencyUsec = 2'000'000;
    // The silence the game's player puts after each clip.
    constexpr pa_usec_t kSilentTailUsec = 20'000;

    // The samples of a WAV file as the game's player reads them, with its silence after them and
    // no spare capacity; its format must be the one of the files read before, if any.
    QByteArray readWav(const QString& path, pa_sample_spec& format)
    {
        const pa_sample_spec before = format;
        std::optional<PcmSound> sound = loadWav(path);
        if (!sound)
            throw std::runtime_error("not a 16-bit PCM WAV file: " + path.toStdString());
        format = { PA_SAMPLE_S16LE, static_cast<std::uint32_t>(sound->sampleRate),
            static_cast<std::uint8_t>(sound->channelCount) };
        if (pa_sample_spec_valid(&before) && !pa_sample_spec_equal(&before, &format))
            throw std::runtime_error("not the format of the clips before: " + path.toStdString());
        const auto tail = qsizetype(pa_usec_to_bytes(kSilentTailUsec, &format));
        QByteArray samples = std::move(sound->samples);
        samples.reserve(samples.size() + tail);
        samples.append(tail, '\0');
        return samples;
    }

    std::vector<QByteArray> readClips(const QStringList& paths, pa_sample_spec& format)
    {
        if (paths.isEmpty())
            throw std::invalid_argument("no clip to play");
        std::vector<QByteArray> clips;
        for (const QString& path : paths)
            clips.push_back(readWav(path, format));
        return clips;
    }

    pa_buffer_attr bufferFor(pa_usec_t latencyUsec, const pa_sample_spec& format)
    {
        pa_buffer_attr buffer {};
        buffer.maxlength = static_cast<std::uint32_t>(-1);
        buffer.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(latencyUsec, &format));
        buffer.prebuf = static_cast<std::uint32_t>(pa_frame_size(&format));
        buffer.minreq = static_cast<std::uint32_t>(-1);
        buffer.fragsize = static_cast<std::uint32_t>(-1);
        return buffer;
    }

    void forget(pa_operation* operation)
    {
        if (operation)
            pa_operation_unref(operation);
    }

}

PulseClip::PulseClip(
    const QStringList& wavPaths, std::function<void()> ready, std::function<void()> silent)
    : clips_(readClips(wavPaths, format_))
    , ready_(std::move(ready))
    , silent_(std::move(silent))
    , loop_(pa_threaded_mainloop_new())
{
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Yardstick");
    pa_context_set_state_callback(context_, &PulseClip::onContextState, this);
    pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
    pa_threaded_mainloop_start(loop_);
}

PulseClip::~PulseClip()
{
    pa_threaded_mainloop_stop(loop_);
    if (stream_)
        pa_stream_unref(stream_);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    pa_threaded_mainloop_free(loop_);
}

void PulseClip::play()
{
    pa_threaded_mainloop_lock(loop_);
    if (stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY) {
        setLatency(kPlayingLatencyUsec);
        forget(pa_stream_flush(stream_, nullptr, nullptr));
        const QByteArray& clip = clips_.front();
        pa_stream_write(stream_, clip.constData(), static_cast<std::size_t>(clip.size()), nullptr,
            0, PA_SEEK_RELATIVE);
        forget(pa_stream_cork(stream_, 0, nullptr, nullptr));
    }
    pa_threaded_mainloop_unlock(loop_);
}

void PulseClip::setLatency(pa_usec_t usec)
{
    const pa_buffer_attr buffer = bufferFor(usec, format_);
    forget(pa_stream_set_buffer_attr(stream_, &buffer, nullptr, nullptr));
}

void PulseClip::onContextState(pa_context* context, void* self)
{
    auto* clip = static_cast<PulseClip*>(self);
    if (pa_context_get_state(context) != PA_CONTEXT_READY)
        return;
    clip->stream_ = pa_stream_new(context, "Yardstick", &clip->format_, nullptr);
    pa_stream_set_state_callback(clip->stream_, &PulseClip::onStreamState, clip);
    pa_stream_set_underflow_callback(clip->stream_, &PulseClip::onUnderflow, clip);
    const pa_buffer_attr buffer = bufferFor(kSilentLatencyUsec, clip->format_);
    pa_stream_connect_playback(clip->stream_, nullptr, &buffer,
        static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY), nullptr,
        nullptr);
}

void PulseClip::onStreamState(pa_stream* stream, void* self)
{
    if (pa_stream_get_state(stream) == PA_STREAM_READY)
        static_cast<PulseClip*>(self)->ready_();
}

// The clip has been played out: the stream rests, corked, at the long latency.
void PulseClip::onUnderflow(pa_stream* stream, void* self)
{
    auto* clip = static_cast<PulseClip*>(self);
    forget(pa_stream_flush(stream, nullptr, nullptr));
    forget(pa_stream_cork(stream, 1, nullptr, nullptr));
    clip->setLatency(kSilentLatencyUsec);
    clip->silent_();
}

}
