#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace keyfall::bench {

using SteadyTime = std::chrono::steady_clock::time_point;

// Processor time and sleeps of a running process, summed over its threads.
struct CpuUse {
    std::int64_t cpuNs = 0;
    // Context switches: each is a sleep that something later woke up, or a preemption.
    std::int64_t switches = 0;
    int threads = 0;
};

// What a process used over its whole life, known once it has ended.
struct ExitReport {
    int status = 0;
    long peakRssKib = 0;
};

// What a process holds at one moment, from /proc/PID/smaps_rollup, in KiB. Its private dirty
// pages are what it alone holds and cannot give back: heap, stacks and the pages of its files
// that it wrote to. Clean pages of its program and libraries are left out, since the kernel drops
// them and reads them again at will; PSS counts every page, each shared one in part.
struct MemoryHeld {
    long anonymousKib = 0;
    long privateDirtyKib = 0;
    long pssKib = 0;
};

// A program started by the benchmark, with the moment it was started: just before fork().
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& command);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    SteadyTime startedAt() const { return startedAt_; }

    CpuUse cpuUse() const;
    MemoryHeld memoryHeld() const;
    // Waits for the process to end; kills it if it has not ended by the deadline.
    ExitReport wait(std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    SteadyTime startedAt_;
    bool reaped_ = false;
};

// Reads the processor time and context switches of every thread of a process from /proc.
CpuUse cpuUseOf(pid_t pid);

// Throws if the process is gone.
MemoryHeld memoryHeldBy(pid_t pid);

}
