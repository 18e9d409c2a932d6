#pragma once

#include "bench/child_process.h"
#include "bench/x_session.h"

#include <memory>
#include <string>
#include <vector>

namespace keyfall::bench {

// A pixel of the window that has a known colour once the window's first frame is drawn.
struct Probe {
    int x;
    int y;
    std::uint32_t rgb;
};

// A program started under the benchmark's eye, its window on the screen.
struct Launched {
    std::unique_ptr<XSession> x;
    std::unique_ptr<ChildProcess> process;
    // From just before fork() to the first look at the window that found the probe's colour.
    double firstFrameMs = 0;
};

// Starts the program and waits until its first frame is on the X server; throws if it never is.
Launched launch(const std::vector<std::string>& command, Probe probe);

// Closes the window as a window manager would and waits for the program to end.
ExitReport closeAndWait(Launched& launched);

double millisecondsBetween(SteadyTime from, SteadyTime to);

}
