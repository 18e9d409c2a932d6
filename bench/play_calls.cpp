// Times the sound player's play() on the calling thread, as the window calls it, and prints
// "play_ns N" for each call. It connects to the sound server first and starts only once a line
// arrives on standard input, so that the caller can first stop the server, or not.
// Usage: bench_play_calls SOUND_DIRECTORY CALLS
#include "sound/sound_player.h"

#include <QString>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

using namespace keyfall;

namespace {
// About the pace of quick hits, and time for the sound thread to hand each clip over.
constexpr auto kPause = std::chrono::milliseconds(2);
}

int main(int argc, char* argv[])
{
    const int calls = argc == 3 ? std::atoi(argv[2]) : 0;
    if (calls <= 0) {
        std::fputs("usage: bench_play_calls SOUND_DIRECTORY CALLS\n", stderr);
        return 2;
    }
    SoundPlayer player(QString::fromLocal8Bit(argv[1]), [] {});
    player.connectToServer();
    std::string go;
    std::getline(std::cin, go);
    std::vector<std::chrono::nanoseconds> times;
    times.reserve(static_cast<std::size_t>(calls));
    for (int i = 0; i < calls; ++i) {
        const auto before = std::chrono::steady_clock::now();
        player.play(kAllSounds[static_cast<std::size_t>(i) % kAllSounds.size()]);
        times.push_back(std::chrono::steady_clock::now() - before);
        std::this_thread::sleep_for(kPause);
    }
    for (const std::chrono::nanoseconds time : times)
        std::printf("play_ns %lld\n", static_cast<long long>(time.count()));
    return 0;
}
