#pragma once

#include "bench/launch.h"

#include <string>
#include <vector>

namespace keyfall::bench {

// A round played on the real game window with real input: through the settings panel to
// "Speed" and a round of the given length, then a hit at a steady pace until the round ends, and
// "QUIT".
struct RoundPlan {
    int roundSeconds;
    int hitEveryMs;
};

struct Hit {
    // Wall-clock seconds at which the completing key was sent, to be found in a sound recording.
    double keySentAt;
    // From just before the key was sent to the first look at the window that found the hit
    // counter changed; negative if it never changed.
    double frameMs;
};

struct RoundResult {
    std::vector<Hit> hits;
    // Processor time of the game per second of play, from the first hit to the last.
    double cpuMsPerSecond = 0;
    // When "Time is Over!" was first seen, against the round's length after the click on Ok.
    double endErrorMs = 0;
    // Peak resident memory over the program's whole life.
    long peakRssKib = 0;
    // What the program held once the round was over and its end sound had played out, just
    // before it was closed.
    MemoryHeld held;
};

// Plays a round of the game run by the command: it must draw the game's window.
RoundResult playRound(const std::vector<std::string>& command, RoundPlan plan);

// Clicks where the game has its input box, types a key there and waits until the program shows
// the probe's colour: what the game holds to take keys, held by a yardstick. Throws if it never
// does.
void typeAKey(XSession& x, Probe typed);

// The same keys at the same pace, for as long, to a yardstick that shows the probe's colour once
// drawn and counts hits where the game does; it is then closed. No round end is seen.
RoundResult playYardstick(const std::vector<std::string>& command, Probe probe, RoundPlan plan);

}
