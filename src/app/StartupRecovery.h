#pragma once

#include "app/Recovery.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

namespace pirela {

// The recovery at the start, on a thread of its own beside the early decode, so that the first
// picture never waits for it; it compacts the journal too when that is due. The document waits
// for it before its first file operation, and the window tells what it did once it shows. The
// thread is never joined: a program that ends meanwhile leaves the work where it is, as a crash
// would, and the next start takes it up again.
class StartupRecovery {
public:
    bool Ended() const;
    // Waits for it to end; what it dealt with.
    const std::vector<RecoveredOperation>& Wait() const;
    // Waits for it to end unless the flag is set first (the user's キャンセル, heard within a
    // moment); whether it ended.
    bool WaitUnless(const std::atomic<bool>& cancel) const;

private:
    friend std::shared_ptr<StartupRecovery> StartRecovery(std::filesystem::path journalFolder);

    mutable std::mutex mutex_;
    mutable std::condition_variable ended_;
    bool over_ = false;
    std::vector<RecoveredOperation> recovered_;
};

// Starts the recovery of the journal in that folder.
std::shared_ptr<StartupRecovery> StartRecovery(std::filesystem::path journalFolder);

} // namespace pirela
