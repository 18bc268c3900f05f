#include "sandbox/ChildReaper.h"

#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <system_error>
#include <thread>

namespace pirela {

namespace {

constexpr int kLookEveryMs = 100; // for children without a process descriptor

// A descriptor that becomes readable when the process ends; -1 on kernels before 5.3. (The
// C library's own wrapper is declared without C linkage in this version's header.)
int OpenProcessDescriptor(pid_t pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

} // namespace

ChildReaper& ChildReaper::Shared() {
    // Never destroyed: a helper may end while the program exits.
    static ChildReaper* const reaper = new ChildReaper();
    return *reaper;
}

ChildReaper::ChildReaper() : wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    try {
        std::thread([this] { Run(); }).detach();
        running_ = true;
    } catch (const std::system_error&) {
        // No thread to be had: children are reaped when Watch is next called.
    }
}

std::shared_ptr<ChildExit> ChildReaper::Watch(pid_t pid) {
    auto child = std::make_shared<ChildExit>(pid);
    {
        const std::lock_guard lock(mutex_);
        watched_.push_back({child, UniqueDescriptor(OpenProcessDescriptor(pid))});
    }
    const std::uint64_t one = 1;
    if (!running_ || !wake_ || ::write(wake_.Get(), &one, sizeof one) != sizeof one) {
        ReapEnded();
    }
    return child;
}

bool ChildReaper::ReapEnded() {
    const std::lock_guard lock(mutex_);
    bool withoutDescriptor = false;
    std::erase_if(watched_, [&withoutDescriptor](const Watched& watched) {
        if (watched.child->TryReap()) {
            return true;
        }
        withoutDescriptor = withoutDescriptor || !watched.pidfd;
        return false;
    });
    return withoutDescriptor;
}

void ChildReaper::Run() {
    std::vector<pollfd> waits;
    for (;;) {
        const bool looking = ReapEnded();
        waits.assign(1, pollfd{wake_.Get(), POLLIN, 0});
        {
            const std::lock_guard lock(mutex_);
            for (const Watched& watched : watched_) {
                if (watched.pidfd) {
                    waits.push_back({watched.pidfd.Get(), POLLIN, 0});
                }
            }
        }
        ::poll(waits.data(), waits.size(), looking || !wake_ ? kLookEveryMs : -1);
        std::uint64_t count = 0;
        while (::read(wake_.Get(), &count, sizeof count) > 0) {
        }
    }
}

} // namespace pirela
