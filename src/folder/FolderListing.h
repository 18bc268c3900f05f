#pragma once

#include "folder/DateTakenCache.h"
#include "folder/FolderScan.h"
#include "folder/ImageFileList.h"
#include "folder/ListOrder.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace pirela {

// A folder's list made on a worker thread: the scan, then the sort. The window goes on
// meanwhile (the photo opened shows at once); whoever needs the list waits for it, and may stop
// the scan, after which the names found so far are sorted and kept.
class FolderListing {
public:
    enum class Phase { Searching, Sorting, Ended };

    // onChange runs on the worker each time the phase changes, last when the listing ended; it
    // must only hand the news to the window's thread. In the date-taken order, the dates the
    // cache remembers for the names are sorted by (the files are looked at later).
    FolderListing(std::string folder, const ScanOptions& options, ListOrder order,
                  const DirectoryReader& reader, std::function<void()> onChange,
                  const DateTakenCache* dates = nullptr);
    // Stops the scan and waits for the worker.
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    const std::string& Folder() const { return folder_; }
    ListOrder Order() const { return order_; }
    Phase CurrentPhase() const { return phase_.load(); }
    bool Ended() const { return CurrentPhase() == Phase::Ended; }
    // How many names the scan found (known once it sorts).
    int Found() const { return found_.load(); }

    // Ends the scan early; the names found so far are still sorted.
    void Stop() { stop_ = true; }
    void Wait();
    // True when the listing ended within the time.
    bool WaitFor(std::chrono::milliseconds time);

    // Once ended: how the scan ended, and the sorted list (taken once; its folder is set).
    ScanEnd End() const { return end_; }
    ImageFileList TakeList();

private:
    void Run(const DirectoryReader& reader);
    void SetRememberedDates();
    void Enter(Phase phase);

    const std::string folder_;
    const ScanOptions options_;
    const ListOrder order_;
    std::function<void()> onChange_;
    const DateTakenCache* dates_;
    std::atomic<Phase> phase_{Phase::Searching};
    std::atomic<int> found_{0};
    std::atomic<bool> stop_{false};
    ImageFileList list_;
    ScanEnd end_ = ScanEnd::Complete;
    std::mutex mutex_;
    std::condition_variable ended_;
    std::thread worker_;
};

} // namespace pirela
