#include "folder/FolderListing.h"

#include <system_error>

namespace pirela {

FolderListing::FolderListing(std::string folder, const ScanOptions& options, ListOrder order,
                             const DirectoryReader& reader, std::function<void()> onChange,
                             const DateTakenCache* dates)
    : folder_(std::move(folder)), options_(options), order_(order),
      onChange_(std::move(onChange)), dates_(dates) {
    try {
        worker_ = std::thread([this, &reader] { Run(reader); });
    } catch (const std::system_error&) {
        Run(reader); // no thread to be had: the list is made here, as it always was
    }
}

FolderListing::~FolderListing() {
    Stop();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void FolderListing::Run(const DirectoryReader& reader) {
    list_.SetFolder(folder_);
    end_ = AddImageFilesOf(folder_, options_, list_, reader, &stop_);
    found_ = list_.Count();
    Enter(Phase::Sorting);
    SetRememberedDates();
    list_.Sort(order_);
    list_.ShrinkToFit();
    Enter(Phase::Ended);
}

void FolderListing::SetRememberedDates() {
    if (order_ == ListOrder::DateTaken && dates_ != nullptr) {
        dates_->SetRemembered(list_);
    }
}

void FolderListing::Enter(Phase phase) {
    {
        const std::lock_guard lock(mutex_);
        phase_ = phase;
    }
    if (phase == Phase::Ended) {
        ended_.notify_all();
    }
    if (onChange_) {
        onChange_();
    }
}

void FolderListing::Wait() {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return phase_ == Phase::Ended; });
}

bool FolderListing::WaitFor(std::chrono::milliseconds time) {
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, time, [this] { return phase_ == Phase::Ended; });
}

ImageFileList FolderListing::TakeList() {
    Wait();
    return std::move(list_);
}

} // namespace pirela
