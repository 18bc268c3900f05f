#include "sandbox/ChildExit.h"

#include <cerrno>
#include <signal.h>
#include <sys/wait.h>

namespace pirela {

bool ChildExit::WhileRunning(const std::function<void(pid_t)>& action) {
    const std::lock_guard lock(mutex_);
    if (hasEnded_) {
        return false;
    }
    action(pid_);
    return true;
}

bool ChildExit::Kill() {
    return WhileRunning([](pid_t pid) { ::kill(pid, SIGKILL); });
}

bool ChildExit::WaitForEnd(std::chrono::milliseconds most) const {
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, most, [this] { return hasEnded_; });
}

bool ChildExit::Ended() const {
    const std::lock_guard lock(mutex_);
    return hasEnded_;
}

int ChildExit::Signal() const {
    const std::lock_guard lock(mutex_);
    return signal_;
}

int ChildExit::ExitCode() const {
    const std::lock_guard lock(mutex_);
    return exitCode_;
}

bool ChildExit::TryReap() {
    {
        const std::lock_guard lock(mutex_);
        if (hasEnded_) {
            return true;
        }
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG) != 0) {
            if (errno != ECHILD) {
                return false;
            }
            // Reaped by someone else: ended, how is not known (no signal, no exit code).
            info.si_pid = pid_;
            info.si_code = CLD_EXITED;
            info.si_status = -1;
        }
        if (info.si_pid != pid_) {
            return false; // still running
        }
        hasEnded_ = true;
        const bool signalled = info.si_code == CLD_KILLED || info.si_code == CLD_DUMPED;
        signal_ = signalled ? info.si_status : 0;
        exitCode_ = signalled ? -1 : info.si_status;
    }
    ended_.notify_all();
    return true;
}

} // namespace pirela
