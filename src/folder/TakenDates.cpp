#include "folder/TakenDates.h"

#include "common/PathRules.h"

#include <system_error>
#include <utility>

namespace pirela {

namespace {

// Reading a date is mostly waiting for the disk; two readers keep a disk or a share busy
// without taking both processors from the window.
constexpr int kWorkers = 2;

} // namespace

TakenDates::TakenDates(ImageFileList list, DateTakenCache& cache, std::function<void()> onNews)
    : list_(std::move(list)), cache_(cache), onNews_(std::move(onNews)) {
    working_ = kWorkers;
    for (int i = 0; i < kWorkers; ++i) {
        try {
            workers_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            Work(); // no thread to be had: the dates are read here
        }
    }
}

TakenDates::~TakenDates() {
    stop_ = true;
    Wait();
}

void TakenDates::Work() {
    for (int index = next_++; index < list_.Count() && !stop_; index = next_++) {
        const ImageFileList::EntryId id = list_.IdAt(index);
        const auto seconds = cache_.DateOf(JoinPath(list_.Folder(), list_.NameOf(id)));
        // The list was sorted by the dates remembered: only what differs is news.
        if (seconds && *seconds != list_.TakenTime(id)) {
            Found({id, *seconds});
        }
    }
    if (--working_ == 0) {
        {
            const std::lock_guard lock(mutex_);
            ended_ = true;
        }
        if (onNews_) {
            onNews_();
        }
    }
}

void TakenDates::Found(Date date) {
    bool tell = false;
    {
        const std::lock_guard lock(mutex_);
        found_.push_back(date);
        const auto now = std::chrono::steady_clock::now();
        if (!newsPending_ && now - lastNews_ >= kNewsInterval) {
            newsPending_ = true;
            lastNews_ = now;
            tell = true;
        }
    }
    if (tell && onNews_) {
        onNews_();
    }
}

std::vector<TakenDates::Date> TakenDates::Take() {
    const std::lock_guard lock(mutex_);
    newsPending_ = false;
    return std::exchange(found_, {});
}

void TakenDates::Wait() {
    for (std::thread& worker : workers_) {
        if (worker.joinable()) {
            worker.join();
        }
    }
}

} // namespace pirela
