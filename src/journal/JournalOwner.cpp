#include "journal/JournalOwner.h"

#include "journal/JournalRecord.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace pirela {

namespace {

std::filesystem::path MarkOf(const std::filesystem::path& folder, std::string_view token) {
    return folder / "owners" / token;
}

bool IsToken(std::string_view token) {
    return token.size() == 16 &&
           token.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

} // namespace

JournalOwner::JournalOwner(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::error_code error;
    std::filesystem::create_directories(folder_ / "owners", error);
    const std::string token = NewJournalOperationId();
    const std::filesystem::path mark = MarkOf(folder_, token);
    // Locked before it takes its name: another instance that found the mark unlocked in the
    // moment between would take this instance for dead, and recover its running operations.
    const std::filesystem::path unnamed = MarkOf(folder_, "." + token);
    fd_ = ::open(unnamed.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0 &&
        ::rename(unnamed.c_str(), mark.c_str()) == 0) {
        token_ = token;
    } else if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(unnamed.c_str());
    }
}

JournalOwner::~JournalOwner() {
    if (fd_ >= 0) {
        ::unlink(MarkOf(folder_, token_).c_str());
        ::close(fd_);
    }
}

bool JournalOwner::IsAlive(const std::filesystem::path& folder, std::string_view token) {
    if (!IsToken(token)) {
        return false;
    }
    const std::filesystem::path mark = MarkOf(folder, token);
    const int fd = ::open(mark.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false; // its instance ended and took its mark with it
    }
    const bool alive = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    if (!alive) {
        ::unlink(mark.c_str());
    }
    ::close(fd);
    return alive;
}

bool JournalOwner::AnyDied(const std::filesystem::path& folder, std::string_view except) {
    bool died = false;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "owners", error)) {
        const std::string token = entry.path().filename().string();
        if (IsToken(token) && token != except && !IsAlive(folder, token)) {
            died = true;
        }
    }
    return died;
}

} // namespace pirela
