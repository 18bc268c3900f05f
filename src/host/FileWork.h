#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace pirela {

// The way work on the user's files leaves the window's thread. A copy to a slow stick, or any
// call to a disk that stopped answering, then never freezes the window: it repaints, moves and
// resizes, the viewing commands act, and every command that would change files or the current
// image is refused until the work is done, so that no key meant for one photo acts on another.
class FileWork {
public:
    virtual ~FileWork() = default;

    // Runs the work to its end beside the windows and returns when it is done. The user may
    // cancel meanwhile: the flag is then set, and the work, which polls it, stops where it can
    // without losing anything. The questions the work needs are asked before or after, never
    // from within it.
    virtual void RunFileWork(const std::function<void()>& work, std::atomic<bool>& cancel) = 0;

    // From within the work, on its thread: the status bar's message pane shows the text (the
    // latest text wins when several come faster than the window paints).
    virtual void ShowProgress(const std::string& text) = 0;

    // Whether file work runs now: whatever would change the files or the current image waits.
    virtual bool FileWorkRunning() const = 0;
};

// Runs a query of the disk (does the name exist, how much room is there) as file work, so that a
// disk that stopped answering holds up only the work; the query's answer.
template <class Query>
auto AskTheDisk(FileWork& fileWork, Query query) -> decltype(query()) {
    std::atomic<bool> cancel{false};
    decltype(query()) answer{};
    fileWork.RunFileWork([&] { answer = query(); }, cancel);
    return answer;
}

} // namespace pirela
