#pragma once

#include "image/ScaledPicture.h"
#include "thumbnail/ThumbnailCache.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace pirela {

// The thumbnails of a list of files (a folder in its order), made on worker threads while the
// window goes on: the cells in sight first, then the rest of the list ahead of the user (in
// the direction of travel, then behind), each found in the desktop's cache or made and kept
// there. Only the thumbnails nearest to the cells in sight are held in memory, within a bound
// in bytes; the others are read again from the cache when they come into sight. Nothing here
// ever waits for a worker: a cell not ready yet says so.
class ThumbnailProvider {
public:
    using Picture = std::shared_ptr<const ScaledPicture>;
    enum class CellState { Waiting, Ready, Failed };
    struct Cell {
        CellState state = CellState::Waiting;
        Picture picture; // Ready: the thumbnail fitted into the box
    };

    // Thumbnails fitted into a box of the given side; onReady runs on a worker whenever a
    // cell's thumbnail comes (or is known to fail) and must not wait for anything. workers 0:
    // one per processor core.
    ThumbnailProvider(ThumbnailCache cache, int box, std::size_t memoryBytes,
                      std::function<void(int index)> onReady, int workers = 0);
    ~ThumbnailProvider();
    ThumbnailProvider(const ThumbnailProvider&) = delete;
    ThumbnailProvider& operator=(const ThumbnailProvider&) = delete;

    int Box() const;
    // The files in their order, as absolute canonical paths. What is known of files already
    // in the list is kept where the order of the list kept them (files taken out or added).
    void SetFiles(std::vector<std::string> paths);
    // The file at the index leaves the list (it was moved or trashed); the others keep what is
    // known of them.
    void RemoveFile(int index);
    // The cells in sight; their thumbnails come first.
    void SetVisible(int first, int count);
    // Whether the workers take more files (while the list is not shown, they rest).
    void SetWorking(bool working);
    // Files may have changed on disk: each held thumbnail is checked against its file again
    // (the cells in sight first), and shown until a new one replaces it.
    void Revalidate();

    Cell CellAt(int index) const;
    std::size_t HeldBytes() const;

private:
    struct State;

    std::shared_ptr<State> state_;
    std::vector<std::thread> workers_;
};

} // namespace pirela
