// Measures a program from outside, under the X server named by DISPLAY, and prints what it found
// as "name value" lines. The program's clock starts just before fork().
//
//   bench_driver startup X,Y,RRGGBB -- COMMAND...   first frame (the pixel at X,Y turns RRGGBB),
//                                                  then closes the window: start-up time, memory
//                                                  held at that frame, peak memory
//   bench_driver holding X,Y,RRGGBB X,Y,RRGGBB -- COMMAND...
//                                                  the same for the memory yardstick: its first
//                                                  frame, then a key typed into its input box, and
//                                                  memory held once it shows the second colour
//   bench_driver idle SECONDS X,Y,RRGGBB -- COMMAND...
//                                                  processor time and context switches over SECONDS
//                                                  from one second after the first frame
//   bench_driver round SECONDS HIT_EVERY_MS -- COMMAND...
//                                                  plays a round of the game at "Speed": every
//                                                  hit's key-to-frame time, processor time per
//                                                  second, the round's end, memory held once its
//                                                  end sound has played, peak memory
//   bench_driver yardstick SECONDS HIT_EVERY_MS X,Y,RRGGBB -- COMMAND...
//                                                  the same keys to a playing yardstick from its
//                                                  first frame: the same figures but the round's
//                                                  end
#include "bench/launch.h"
#include "bench/round_play.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <thread>

using namespace keyfall::bench;

namespace {

constexpr auto kSettleTime = std::chrono::seconds(1);

Probe parseProbe(const std::string& text)
{
    Probe probe {};
    if (std::sscanf(text.c_str(), "%d,%d,%x", &probe.x, &probe.y, &probe.rgb) != 3)
        throw std::invalid_argument("a probe is X,Y,RRGGBB: " + text);
    return probe;
}

// Anonymous, private dirty and proportional set size, in KiB.
void printHeld(const MemoryHeld& held)
{
    std::printf("held_kib %ld %ld %ld\n", held.anonymousKib, held.privateDirtyKib, held.pssKib);
}

// With a probe for `typed`, a key is typed once the first frame is seen, and the program's
// memory is read once it shows that colour.
void measureStartup(
    Probe probe, const std::vector<std::string>& command, std::optional<Probe> typed = {})
{
    Launched launched = launch(command, probe);
    if (typed)
        typeAKey(*launched.x, *typed);
    const MemoryHeld held = launched.process->memoryHeld();
    const ExitReport exit = closeAndWait(launched);
    std::printf("first_frame_ms %.3f\npeak_rss_kib %ld\n", launched.firstFrameMs, exit.peakRssKib);
    printHeld(held);
}

void measureIdle(int seconds, Probe probe, const std::vector<std::string>& command)
{
    Launched launched = launch(command, probe);
    std::this_thread::sleep_for(kSettleTime);
    const CpuUse before = launched.process->cpuUse();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const CpuUse after = launched.process->cpuUse();
    closeAndWait(launched);
    std::printf("idle_cpu_ms %.3f\nidle_switches %lld\nthreads_before %d\nthreads_after %d\n",
        (after.cpuNs - before.cpuNs) / 1e6,
        static_cast<long long>(after.switches - before.switches), before.threads, after.threads);
}

void printRound(const RoundResult& round)
{
    for (const Hit& hit : round.hits)
        std::printf("hit %.6f %.3f\n", hit.keySentAt, hit.frameMs);
    std::printf("cpu_ms_per_s %.3f\nround_end_error_ms %.3f\npeak_rss_kib %ld\n",
        round.cpuMsPerSecond, round.endErrorMs, round.peakRssKib);
    printHeld(round.held);
}

int run(std::span<char*> args)
{
    const auto separator = std::find(args.begin(), args.end(), std::string_view("--"));
    if (args.size() < 2 || separator == args.end() || separator + 1 == args.end())
        throw std::invalid_argument("see the head of driver_main.cpp for the usage");
    const std::vector<std::string> options(args.begin() + 1, separator);
    const std::vector<std::string> command(separator + 1, args.end());
    const std::string& what = options.at(0);
    if (what == "startup" && options.size() == 2)
        measureStartup(parseProbe(options[1]), command);
    else if (what == "holding" && options.size() == 3)
        measureStartup(parseProbe(options[1]), command, parseProbe(options[2]));
    else if (what == "idle" && options.size() == 3)
        measureIdle(std::stoi(options[1]), parseProbe(options[2]), command);
    else if (what == "round" && options.size() == 3)
        printRound(playRound(command, { std::stoi(options[1]), std::stoi(options[2]) }));
    else if (what == "yardstick" && options.size() == 4)
        printRound(playYardstick(
            command, parseProbe(options[3]), { std::stoi(options[1]), std::stoi(options[2]) }));
    else
        throw std::invalid_argument("unknown measurement: " + what);
    return 0;
}

}

int main(int argc, char* argv[])
{
    try {
        return run(std::span(argv, static_cast<std::size_t>(argc)));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_driver: %s\n", error.what());
        return 1;
    }
}
