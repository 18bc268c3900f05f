#include "thumbnail/ThumbnailProvider.h"

#include "image/DecodeProgress.h"
#include "thumbnail/ThumbnailLoader.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <unordered_map>

namespace pirela {

namespace {

// What is known of a file of the list, apart from a thumbnail held in memory.
enum class Slot : std::uint8_t {
    Unknown, // nothing yet: to be looked up or made
    Working, // a worker is at it
    Done,    // its thumbnail was found or made (the cache has it, unless it could not be kept)
    Failed,  // it cannot be thumbnailed, or cannot be read
};

// How long the destructor waits for the workers to finish what they are at, after asking them
// to stop: a decode stops within a band of rows; a read held by a dying disk may not.
constexpr auto kStopWait = std::chrono::milliseconds(200);

struct Job {
    int index = 0;
    std::string path;
    int generation = 0;
    std::optional<FileIdentity> known;
};

struct Held {
    ThumbnailProvider::Picture picture;
    std::optional<FileIdentity> identity;
    bool verified = true;
};

std::size_t BytesOf(const ScaledPicture& picture) {
    return picture.pixels.size() * sizeof(std::uint32_t) + sizeof(ScaledPicture);
}

// Where each entry of the old list went in the new one (-1: gone), walking both in their
// order: entries taken out or put in keep the rest matched; a list in another order matches
// only where it agrees.
std::vector<int> MatchLists(const std::vector<std::string>& before,
                            const std::vector<std::string>& after) {
    std::vector<int> moved(before.size(), -1);
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < before.size() && j < after.size()) {
        if (before[i] == after[j]) {
            moved[i++] = static_cast<int>(j++);
        } else if (i + 1 < before.size() && before[i + 1] == after[j]) {
            ++i; // taken out
        } else {
            ++j; // put in, or the order differs here
        }
    }
    return moved;
}

} // namespace

struct ThumbnailProvider::State {
    State(ThumbnailCache cacheToUse, int boxSide, std::size_t bound, std::function<void(int)> ready)
        : cache(std::move(cacheToUse)), box(boxSide), memoryBound(bound),
          onReady(std::move(ready)) {}

    void Work();
    std::optional<Job> NextJob();
    std::optional<Job> JobFor(int index);
    // What the worker found, put in place; whether a cell in sight changed.
    bool Complete(const Job& job, LoadedThumbnail loaded);
    void Hold(int index, LoadedThumbnail loaded);
    void Forget(int index);
    void EvictFarthest();
    int DistanceFromSight(int index) const;
    bool InSight(int index) const { return DistanceFromSight(index) == 0; }
    void RestartCursors();
    void Tell(int index);
    // The list becomes newPaths, entry i of the old one standing at moved[i] (-1: gone): what is
    // known of each file goes with it. Under the lock.
    void Remap(std::vector<std::string> newPaths, const std::vector<int>& moved);

    const ThumbnailCache cache;
    const int box;
    const std::size_t memoryBound;

    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    bool working = true;
    int runningWorkers = 0;
    int generation = 0;
    std::vector<std::string> paths;
    std::vector<Slot> slots;
    std::unordered_map<int, Held> held;
    std::size_t heldBytes = 0;
    int firstInSight = 0;
    int countInSight = 0;
    bool forward = true;
    int aheadCursor = 0;
    int behindCursor = -1;
    std::set<DecodeProgress*> running;

    // Told under a lock of its own, so that once the provider is gone nobody is told.
    std::mutex readyMutex;
    std::function<void(int)> onReady;
};

int ThumbnailProvider::State::DistanceFromSight(int index) const {
    if (index < firstInSight) {
        return firstInSight - index;
    }
    const int last = firstInSight + countInSight - 1;
    return index > last ? index - last : 0;
}

void ThumbnailProvider::State::RestartCursors() {
    aheadCursor = firstInSight + countInSight;
    behindCursor = firstInSight - 1;
}

std::optional<Job> ThumbnailProvider::State::JobFor(int index) {
    Job job{index, paths[static_cast<std::size_t>(index)], generation, std::nullopt};
    if (const auto found = held.find(index); found != held.end()) {
        job.known = found->second.identity;
    }
    slots[static_cast<std::size_t>(index)] = Slot::Working;
    return job;
}

std::optional<Job> ThumbnailProvider::State::NextJob() {
    // The cells in sight: every one not shown as it is now, even when the cache has it.
    for (int index = firstInSight; index < firstInSight + countInSight; ++index) {
        const Slot slot = slots[static_cast<std::size_t>(index)];
        const auto found = held.find(index);
        const bool shown = found != held.end() && found->second.verified;
        if (slot != Slot::Working && slot != Slot::Failed && !shown) {
            return JobFor(index);
        }
    }
    // Then the rest of the list, ahead first, only what nobody looked at yet.
    const int count = static_cast<int>(slots.size());
    for (int pass = 0; pass < 2; ++pass) {
        if (forward == (pass == 0)) {
            for (; aheadCursor < count; ++aheadCursor) {
                if (slots[static_cast<std::size_t>(aheadCursor)] == Slot::Unknown) {
                    return JobFor(aheadCursor++);
                }
            }
        } else {
            for (; behindCursor >= 0; --behindCursor) {
                if (slots[static_cast<std::size_t>(behindCursor)] == Slot::Unknown) {
                    return JobFor(behindCursor--);
                }
            }
        }
    }
    return std::nullopt;
}

void ThumbnailProvider::State::Forget(int index) {
    if (const auto found = held.find(index); found != held.end()) {
        heldBytes -= BytesOf(*found->second.picture);
        held.erase(found);
    }
}

void ThumbnailProvider::State::EvictFarthest() {
    while (heldBytes > memoryBound) {
        int farthest = -1;
        int distance = 0;
        for (const auto& [index, entry] : held) {
            if (const int d = DistanceFromSight(index); d > distance) {
                farthest = index;
                distance = d;
            }
        }
        if (farthest < 0) {
            return; // the cells in sight alone fill the bound: they stay
        }
        Forget(farthest);
    }
}

void ThumbnailProvider::State::Hold(int index, LoadedThumbnail loaded) {
    Forget(index);
    heldBytes += BytesOf(*loaded.picture);
    held[index] = Held{std::move(loaded.picture), loaded.identity, true};
    EvictFarthest();
}

bool ThumbnailProvider::State::Complete(const Job& job, LoadedThumbnail loaded) {
    if (job.generation != generation) {
        return false; // the list changed meanwhile; the cache keeps what was made
    }
    const auto slot = static_cast<std::size_t>(job.index);
    using Outcome = LoadedThumbnail::Outcome;
    switch (loaded.outcome) {
    case Outcome::Ready:
        slots[slot] = Slot::Done;
        Hold(job.index, std::move(loaded));
        return held.count(job.index) != 0 && InSight(job.index);
    case Outcome::Unchanged:
        slots[slot] = Slot::Done;
        if (const auto found = held.find(job.index); found != held.end()) {
            found->second.verified = true;
        }
        return false;
    case Outcome::Stopped:
        slots[slot] = Slot::Unknown;
        return false;
    case Outcome::Failed:
    case Outcome::Unreadable:
        break;
    }
    slots[slot] = Slot::Failed;
    Forget(job.index);
    return InSight(job.index);
}

void ThumbnailProvider::State::Tell(int index) {
    const std::lock_guard lock(readyMutex);
    if (onReady) {
        onReady(index);
    }
}

void ThumbnailProvider::State::Work() {
    std::unique_lock lock(mutex);
    for (;;) {
        std::optional<Job> job;
        while (!stopping && !(working && (job = NextJob()))) {
            wake.wait(lock);
        }
        if (stopping) {
            break;
        }
        DecodeProgress progress;
        running.insert(&progress);
        lock.unlock();
        LoadedThumbnail loaded = LoadThumbnail(cache, job->path, box, job->known, progress);
        lock.lock();
        running.erase(&progress);
        if (Complete(*job, std::move(loaded))) {
            lock.unlock();
            Tell(job->index);
            lock.lock();
        }
    }
    --runningWorkers;
    wake.notify_all();
}

ThumbnailProvider::ThumbnailProvider(ThumbnailCache cache, int box, std::size_t memoryBytes,
                                     std::function<void(int index)> onReady, int workers)
    : state_(std::make_shared<State>(std::move(cache), box, memoryBytes, std::move(onReady))) {
    const int count =
        workers > 0 ? workers : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    for (int i = 0; i < count; ++i) {
        {
            const std::lock_guard lock(state_->mutex);
            ++state_->runningWorkers;
        }
        try {
            workers_.emplace_back([state = state_] { state->Work(); });
        } catch (const std::system_error&) {
            const std::lock_guard lock(state_->mutex);
            --state_->runningWorkers;
            break; // fewer workers, or none: the cells then wait
        }
    }
}

ThumbnailProvider::~ThumbnailProvider() {
    {
        const std::lock_guard lock(state_->readyMutex);
        state_->onReady = {};
    }
    std::unique_lock lock(state_->mutex);
    state_->stopping = true;
    for (DecodeProgress* progress : state_->running) {
        progress->RequestStop();
    }
    state_->wake.notify_all();
    const bool ended =
        state_->wake.wait_for(lock, kStopWait, [this] { return state_->runningWorkers <= 0; });
    lock.unlock();
    for (std::thread& worker : workers_) {
        if (ended) {
            worker.join();
        } else {
            worker.detach(); // it ends by itself, with the state it shares and nobody to tell
        }
    }
}

int ThumbnailProvider::Box() const {
    return state_->box;
}

void ThumbnailProvider::SetFiles(std::vector<std::string> paths) {
    State& state = *state_;
    const std::lock_guard lock(state.mutex);
    const std::vector<int> moved = MatchLists(state.paths, paths);
    state.Remap(std::move(paths), moved);
}

void ThumbnailProvider::RemoveFile(int index) {
    State& state = *state_;
    const std::lock_guard lock(state.mutex);
    const int count = static_cast<int>(state.paths.size());
    if (index < 0 || index >= count) {
        return;
    }
    std::vector<int> moved(state.paths.size());
    for (int i = 0; i < count; ++i) {
        moved[static_cast<std::size_t>(i)] = i < index ? i : i == index ? -1 : i - 1;
    }
    std::vector<std::string> paths = std::move(state.paths);
    paths.erase(paths.begin() + index);
    state.paths.clear();
    state.Remap(std::move(paths), moved);
}

void ThumbnailProvider::State::Remap(std::vector<std::string> newPaths,
                                     const std::vector<int>& moved) {
    State& state = *this;
    std::vector<Slot> slots(newPaths.size(), Slot::Unknown);
    std::unordered_map<int, Held> held;
    std::size_t heldBytes = 0;
    for (std::size_t before = 0; before < moved.size(); ++before) {
        const int after = moved[before];
        if (after < 0) {
            continue;
        }
        const Slot slot = state.slots[before];
        slots[static_cast<std::size_t>(after)] = slot == Slot::Working ? Slot::Unknown : slot;
        if (auto found = state.held.find(static_cast<int>(before)); found != state.held.end()) {
            heldBytes += BytesOf(*found->second.picture);
            held.emplace(after, std::move(found->second));
        }
    }
    state.paths = std::move(newPaths);
    state.slots = std::move(slots);
    state.held = std::move(held);
    state.heldBytes = heldBytes;
    ++state.generation;
    const int count = static_cast<int>(state.paths.size());
    state.firstInSight = std::min(state.firstInSight, count);
    state.countInSight = std::min(state.countInSight, count - state.firstInSight);
    state.RestartCursors();
    state.wake.notify_all();
}

void ThumbnailProvider::SetVisible(int first, int count) {
    State& state = *state_;
    const std::lock_guard lock(state.mutex);
    const int size = static_cast<int>(state.paths.size());
    first = std::clamp(first, 0, size);
    count = std::clamp(count, 0, size - first);
    if (first == state.firstInSight && count == state.countInSight) {
        return;
    }
    state.forward = first >= state.firstInSight;
    state.firstInSight = first;
    state.countInSight = count;
    state.RestartCursors();
    state.wake.notify_all();
}

void ThumbnailProvider::SetWorking(bool working) {
    const std::lock_guard lock(state_->mutex);
    state_->working = working;
    state_->wake.notify_all();
}

void ThumbnailProvider::Revalidate() {
    State& state = *state_;
    const std::lock_guard lock(state.mutex);
    for (auto& [index, entry] : state.held) {
        entry.verified = false;
    }
    std::replace(state.slots.begin(), state.slots.end(), Slot::Failed, Slot::Unknown);
    state.RestartCursors();
    state.wake.notify_all();
}

ThumbnailProvider::Cell ThumbnailProvider::CellAt(int index) const {
    const State& state = *state_;
    const std::lock_guard lock(state.mutex);
    if (const auto found = state.held.find(index); found != state.held.end()) {
        return Cell{CellState::Ready, found->second.picture};
    }
    const bool failed = index >= 0 && static_cast<std::size_t>(index) < state.slots.size() &&
                        state.slots[static_cast<std::size_t>(index)] == Slot::Failed;
    return Cell{failed ? CellState::Failed : CellState::Waiting, nullptr};
}

std::size_t ThumbnailProvider::HeldBytes() const {
    const std::lock_guard lock(state_->mutex);
    return state_->heldBytes;
}

} // namespace pirela
