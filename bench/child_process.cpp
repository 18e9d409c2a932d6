#include "bench/child_process.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace keyfall::bench {

namespace {

    // The first number of /proc/PID/task/TID/schedstat: nanoseconds spent on a processor.
    std::int64_t threadCpuNs(const std::filesystem::path& task)
    {
        std::ifstream schedstat(task / "schedstat");
        std::int64_t ns = 0;
        schedstat >> ns;
        return ns;
    }

    std::int64_t threadSwitches(const std::filesystem::path& task)
    {
        std::ifstream status(task / "status");
        std::int64_t switches = 0;
        for (std::string line; std::getline(status, line);) {
            if (line.find("ctxt_switches:") != std::string::npos)
                switches += std::stoll(line.substr(line.find(':') + 1));
        }
        return switches;
    }

}

CpuUse cpuUseOf(pid_t pid)
{
    CpuUse use;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        use.cpuNs += threadCpuNs(task.path());
        use.switches += threadSwitches(task.path());
        ++use.threads;
    }
    return use;
}

MemoryHeld memoryHeldBy(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/smaps_rollup";
    MemoryHeld held;
    const std::map<std::string, long*> wanted { { "Anonymous:", &held.anonymousKib },
        { "Private_Dirty:", &held.privateDirtyKib }, { "Pss:", &held.pssKib } };
    std::size_t found = 0;
    std::ifstream rollup(path);
    for (std::string line; std::getline(rollup, line);) {
        std::istringstream fields(line);
        std::string name;
        long kib = 0;
        fields >> name >> kib;
        if (const auto field = wanted.find(name); field != wanted.end()) {
            *field->second = kib;
            ++found;
        }
    }
    if (found != wanted.size())
        throw std::runtime_error("cannot read " + path);
    return held;
}

ChildProcess::ChildProcess(const std::vector<std::string>& command)
{
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    startedAt_ = std::chrono::steady_clock::now();
    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        execvp(argv[0], argv.data());
        std::perror(argv[0]);
        _exit(127);
    }
}

ChildProcess::~ChildProcess()
{
    if (!reaped_)
        wait(std::chrono::milliseconds(0));
}

CpuUse ChildProcess::cpuUse() const { return cpuUseOf(pid_); }

MemoryHeld ChildProcess::memoryHeld() const { return memoryHeldBy(pid_); }

ExitReport ChildProcess::wait(std::chrono::milliseconds timeout)
{
    const SteadyTime deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    rusage usage {};
    while (wait4(pid_, &status, WNOHANG, &usage) == 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            kill(pid_, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    reaped_ = true;
    return { status, usage.ru_maxrss };
}

}
