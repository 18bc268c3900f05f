#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <sys/types.h>

namespace pirela {

// A child process as the reaper follows it: running, or ended, and then how. Whatever is done
// to the child by its process id happens under the same lock as the reaper's reaping, so that
// a signal or a limit never reaches another process that took the id after it.
class ChildExit {
public:
    explicit ChildExit(pid_t pid) : pid_(pid) {}
    ChildExit(const ChildExit&) = delete;
    ChildExit& operator=(const ChildExit&) = delete;

    pid_t Pid() const { return pid_; }
    // Runs the action with the process id while the child has not been reaped; whether it ran.
    bool WhileRunning(const std::function<void(pid_t)>& action);
    // Kills the child unless it has ended; whether the signal was sent.
    bool Kill();
    // Waits at most this long for the child's end; whether it has ended.
    bool WaitForEnd(std::chrono::milliseconds most) const;
    bool Ended() const;
    // After the end: the signal that ended the child (0 when it exited), and its exit code
    // (-1 when a signal ended it, or when another waiter reaped it and how is not known).
    int Signal() const;
    int ExitCode() const;

    // The reaper's side: reaps the child when it has ended, without waiting; whether it has.
    bool TryReap();

private:
    const pid_t pid_;
    mutable std::mutex mutex_;
    mutable std::condition_variable ended_;
    bool hasEnded_ = false;
    int signal_ = 0;
    int exitCode_ = -1;
};

} // namespace pirela
