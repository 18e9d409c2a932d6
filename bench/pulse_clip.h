#pragma once

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <pulse/pulseaudio.h>
#include <vector>

namespace keyfall::bench {

// Clips held as the game's player holds its sounds, and the first of them played through
// libpulse the least costly way that sounds as the game's player does: one playback stream,
// opened corked, that asks for a 5 ms latency while the clip plays and is corked, at 2 s, once the
// server has played it. libpulse runs its own thread; play() takes its lock for the few calls that
// queue the clip.
class PulseClip {
public:
    // Reads the WAV files, which must share one format, and connects to the default sound server.
    // Both callbacks come on libpulse's thread: `ready` once the stream is open, `silent` whenever
    // a clip has been played.
    PulseClip(
        const QStringList& wavPaths, std::function<void()> ready, std::function<void()> silent);
    ~PulseClip();

    PulseClip(const PulseClip&) = delete;
    PulseClip& operator=(const PulseClip&) = delete;

    // Plays the first clip from its start; nothing before the stream is open.
    void play();

private:
    void setLatency(pa_usec_t usec);
    static void onContextState(pa_context* context, void* self);
    static void onStreamState(pa_stream* stream, void* self);
    static void onUnderflow(pa_stream* stream, void* self);

    pa_sample_spec format_ {};
    std::vector<QByteArray> clips_;
    std::function<void()> ready_;
    std::function<void()> silent_;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
};

}
