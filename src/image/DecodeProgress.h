#pragma once

#include "image/Bitmap.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace pirela {

// What a decode running on a worker thread shares with the threads that wait for it: the
// bitmap once the reader has made it, how many rows from the top of the picture are final, and
// a request to stop. The reader reports; any other thread may wait or ask it to stop. Rows that
// are final never change again, so a waiter may read them while the rest is still decoded.
class DecodeProgress {
public:
    // Runs on the reader's thread when rows asked for by WatchRows are final, or the decode is
    // over. Set before the reader starts; it must not wait for anything.
    void SetWatcher(std::function<void()> watcher) { watcher_ = std::move(watcher); }
    // Runs on the reader's thread on the bitmap before anybody else may read it: once when it
    // is made (rows 0 to 0), then on each band of rows before they are told final (rows from to
    // to-1). Set before the reader starts. It makes the colours those shown.
    using Finisher = std::function<void(Bitmap& bitmap, int from, int to)>;
    void SetFinisher(Finisher finisher) { finisher_ = std::move(finisher); }

    // --- The reader's side ---

    // The bitmap the rows go into, as soon as it exists (before any row is written).
    void Started(Bitmap& bitmap);
    // The rows 0..rows-1 of the picture are final.
    void RowsFinished(int rows);
    // Whether the reader is to stop; it then gives up as if the file were unreadable.
    bool StopRequested() const { return stop_.load(std::memory_order_relaxed); }
    // The same request as a flag that other long work (scaling) polls.
    const std::atomic<bool>& StopFlag() const { return stop_; }
    // What the reader returns: the bitmap when it decoded the file, otherwise none. A bitmap
    // already reported stays alive here after a failure, because a waiter may be reading the
    // rows it was told were final.
    std::unique_ptr<Bitmap> Outcome(bool decoded, std::unique_ptr<Bitmap> bitmap);

    // --- Everybody else's side ---

    void RequestStop();
    // The decode is over, with or without a bitmap; wakes every waiter.
    void Ended();
    bool HasEnded() const;
    // Blocks until the decode is over, for at most the time given; whether it is over.
    bool WaitForEnd(std::chrono::milliseconds most) const;
    // Blocks until rows 0..rows-1 are final or the decode is over; how many rows are final.
    int WaitForRows(int rows) const;
    // Blocks until the reader made its bitmap or the decode is over; the bitmap, or none.
    const Bitmap* WaitForBitmap() const;
    // Without waiting: how many rows are final, and the bitmap if the reader has made it.
    int FinishedRows() const;
    const Bitmap* BitmapSoFar() const;
    // Has the watcher told once rows 0..rows-1 are final or the decode is over (at once, on
    // this thread, when that is already so). Only the last rows asked for are watched.
    void WatchRows(int rows) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    const Bitmap* bitmap_ = nullptr;
    Bitmap* filling_ = nullptr; // the same, for the finisher on the reader's thread
    std::unique_ptr<Bitmap> abandoned_;
    int finishedRows_ = 0;
    mutable int watchedRows_ = 0; // 0: nobody waits
    bool ended_ = false;
    std::function<void()> watcher_;
    Finisher finisher_;
    std::atomic<bool> stop_{false};
};

} // namespace pirela
