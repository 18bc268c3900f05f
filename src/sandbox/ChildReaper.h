#pragma once

#include "platform/UniqueDescriptor.h"
#include "sandbox/ChildExit.h"

#include <memory>
#include <mutex>
#include <sys/types.h>
#include <vector>

namespace pirela {

// Reaps the children it is told of the moment they end, whatever ends them (a kill of ours,
// a crash, the kernel's out-of-memory killer, a user's kill while the helper waited idle), so
// that none is left a zombie until somebody happens to wait for it. One thread waits on a
// process descriptor (pidfd) of each; where the kernel has none to give, it looks every 100 ms.
class ChildReaper {
public:
    // The program's reaper, its thread started on the first child.
    static ChildReaper& Shared();

    // Follows the child from now on; what is known of its end.
    std::shared_ptr<ChildExit> Watch(pid_t pid);

private:
    struct Watched {
        std::shared_ptr<ChildExit> child;
        UniqueDescriptor pidfd; // none where the kernel gives none: looked at by the clock
    };

    ChildReaper();
    void Run();
    // Reaps the children that ended; whether any is followed without a descriptor.
    bool ReapEnded();

    std::mutex mutex_;
    std::vector<Watched> watched_;
    UniqueDescriptor wake_; // an eventfd: a new child to wait for
    bool running_ = false;  // the thread runs; without it Watch reaps
};

} // namespace pirela
