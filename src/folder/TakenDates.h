#pragma once

#include "folder/DateTakenCache.h"
#include "folder/ImageFileList.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace pirela {

// When the photos of a list were taken, read on worker threads while the list is in use: the
// list is sorted by name, or by the dates the cache remembers, until the dates come, and again
// as they come. Dates read before are taken from the cache; only those that differ from the
// list's are handed on, so a folder opened again, already in order, is not sorted again.
class TakenDates {
public:
    struct Date {
        ImageFileList::EntryId id;
        std::int64_t seconds;
    };

    // Reads the dates of every entry of the list (a copy: the list in use may change meanwhile).
    // onNews runs on a worker when dates are waiting to be taken, at most every kNewsInterval,
    // and once more when all are read; it must only hand the news to the window's thread.
    TakenDates(ImageFileList list, DateTakenCache& cache, std::function<void()> onNews);
    // Stops the workers and waits for them.
    ~TakenDates();
    TakenDates(const TakenDates&) = delete;
    TakenDates& operator=(const TakenDates&) = delete;

    // The dates read since the last call.
    std::vector<Date> Take();
    // Whether every date has been read (what Take has not taken yet still waits there).
    bool Ended() const { return ended_.load(); }
    void Wait();

    static constexpr std::chrono::milliseconds kNewsInterval{250};

private:
    void Work();
    void Found(Date date);

    const ImageFileList list_;
    DateTakenCache& cache_;
    std::function<void()> onNews_;
    std::atomic<int> next_{0};
    std::atomic<int> working_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> ended_{false};
    std::mutex mutex_;
    std::vector<Date> found_;
    bool newsPending_ = false;
    std::chrono::steady_clock::time_point lastNews_{};
    std::vector<std::thread> workers_;
};

} // namespace pirela
