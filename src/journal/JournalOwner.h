#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pirela {

// A running instance's mark on the operations it journals: a file of its own in the journal's
// folder, locked for as long as the process lives. Another instance can so tell an operation
// that is still running from one whose instance died (a crash, a kill, a power cut), whose
// lock the system has let go, whatever process ids have been reused since.
class JournalOwner {
public:
    // Makes and locks the mark; Token() is empty when that was not possible.
    explicit JournalOwner(std::filesystem::path folder);
    // Lets the mark go (the process ends normally).
    ~JournalOwner();
    JournalOwner(const JournalOwner&) = delete;
    JournalOwner& operator=(const JournalOwner&) = delete;

    const std::string& Token() const { return token_; }

    // Whether the instance with that token still runs. A token that is not one of ours (a
    // damaged journal) counts as dead; the mark of a dead instance is removed.
    static bool IsAlive(const std::filesystem::path& folder, std::string_view token);
    // Whether the mark of an instance that died lies in the folder (one other than `except`);
    // the marks of dead instances are removed on the way.
    static bool AnyDied(const std::filesystem::path& folder, std::string_view except);

private:
    std::filesystem::path folder_;
    std::string token_;
    int fd_ = -1;
};

} // namespace pirela
