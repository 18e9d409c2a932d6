#include "bench/launch.h"

#include <stdexcept>

namespace keyfall::bench {

using namespace std::chrono_literals;

namespace {
    constexpr auto kStartTimeout = 20s;
    constexpr auto kExitTimeout = 10s;
}

double millisecondsBetween(SteadyTime from, SteadyTime to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

Launched launch(const std::vector<std::string>& command, Probe probe)
{
    Launched launched;
    launched.x = std::make_unique<XSession>();
    launched.process = std::make_unique<ChildProcess>(command);
    XSession& x = *launched.x;
    const SteadyTime deadline = launched.process->startedAt() + kStartTimeout;
    if (!x.waitForWindowOf(launched.process->pid(), deadline))
        throw std::runtime_error("the program's window never appeared: " + command[0]);
    const auto drawn
        = x.waitUntil([&] { return x.pixel(probe.x, probe.y) == probe.rgb; }, deadline);
    if (!drawn)
        throw std::runtime_error("the program's first frame never came: " + command[0]);
    launched.firstFrameMs = millisecondsBetween(launched.process->startedAt(), *drawn);
    return launched;
}

ExitReport closeAndWait(Launched& launched)
{
    launched.x->closeWindow();
    return launched.process->wait(kExitTimeout);
}

}
