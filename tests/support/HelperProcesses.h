#pragma once

#include "support/ImageFixtures.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <signal.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

// The decoder helpers of the test process, as /proc shows them.
namespace pirela::test {

// The decoder helpers that are children of ours (zombies too), each with its /proc stat line.
inline std::vector<std::pair<pid_t, std::string>> ChildHelpers() {
    std::vector<std::pair<pid_t, std::string>> helpers;
    // Processes come and go while /proc is read: no step of the walk may throw.
    std::error_code error;
    for (std::filesystem::directory_iterator entry("/proc", error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::string stat = ReadBytes(entry->path() / "stat");
        const std::size_t close = stat.rfind(')');
        int parent = 0;
        if (close != std::string::npos &&
            std::sscanf(stat.c_str() + close + 1, " %*c %d", &parent) == 1 &&
            parent == ::getpid() && stat.find("(pirela-decoder") != std::string::npos) {
            helpers.emplace_back(std::stoi(name), std::move(stat));
        }
    }
    return helpers;
}

// The helper busy with a request: a child of ours named pirela-decoder... that runs and has
// run for a fifth of a second (a helper starting up runs too, for a few milliseconds); -1 when
// none does within five seconds.
inline pid_t BusyHelper() {
    const long busyTicks = ::sysconf(_SC_CLK_TCK) / 5;
    for (int i = 0; i < 1000; ++i) {
        for (const auto& [pid, stat] : ChildHelpers()) {
            char state = 0;
            unsigned long user = 0;
            unsigned long system = 0;
            if (std::sscanf(stat.c_str() + stat.rfind(')') + 1,
                            " %c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &state, &user,
                            &system) == 3 &&
                state == 'R' && long(user + system) >= busyTicks) {
                return pid;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
}

// Whether the process is gone altogether within five seconds: a zombie still answers kill(0).
inline bool Reaped(pid_t pid) {
    for (int i = 0; i < 500; ++i) {
        if (::kill(pid, 0) != 0 && errno == ESRCH) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace pirela::test
