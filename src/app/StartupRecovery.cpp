#include "app/StartupRecovery.h"

#include "journal/OperationLog.h"

#include <chrono>
#include <thread>

namespace pirela {

bool StartupRecovery::Ended() const {
    const std::lock_guard lock(mutex_);
    return over_;
}

const std::vector<RecoveredOperation>& StartupRecovery::Wait() const {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return over_; });
    return recovered_; // never changed again once over
}

bool StartupRecovery::WaitUnless(const std::atomic<bool>& cancel) const {
    std::unique_lock lock(mutex_);
    while (!over_ && !cancel) {
        ended_.wait_for(lock, std::chrono::milliseconds(20));
    }
    return over_;
}

std::shared_ptr<StartupRecovery> StartRecovery(std::filesystem::path journalFolder) {
    auto recovery = std::make_shared<StartupRecovery>();
    std::thread([recovery, folder = std::move(journalFolder)] {
        OperationLog log(folder);
        std::vector<RecoveredOperation> recovered = Recovery(log).Run(true);
        {
            const std::lock_guard lock(recovery->mutex_);
            recovery->recovered_ = std::move(recovered);
            recovery->over_ = true;
        }
        recovery->ended_.notify_all();
    }).detach();
    return recovery;
}

} // namespace pirela
