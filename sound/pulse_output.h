#pragma once

#include "wav_reader.h"

#include <cstddef>
#include <memory>
#include <thread>
#include <vector>

namespace keyfall {

// Plays clips through one stream to the PulseAudio server (or PipeWire's PulseAudio server) on a
// thread of its own, which loads libpulse. The caller's thread never waits for the server: play()
// only leaves the request for that thread and wakes it. A clip is heard on time or not at all:
// while there is no server, or it does not answer, the clips are dropped, and the connection is
// tried again in the background with growing pauses.
class PulseOutput {
public:
    explicit PulseOutput(std::vector<PcmSound> clips);
    ~PulseOutput();

    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // Starts the thread and the first connection; until then play() is silent.
    void start();
    // Plays clips[index] from its start, cutting off the clip playing; an index past the clips
    // (or past the first 255) plays nothing.
    void play(std::size_t index);

private:
    class Engine;
    // Left behind at exit, with its thread, if the thread does not stop in time; see the
    // destructor.
    std::unique_ptr<Engine> engine_;
    std::thread thread_;
};

}
