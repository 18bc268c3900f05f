#pragma once

#include "platform/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <functional>

namespace pirela::test {

// The C library's calls, counted: call number failAt (counting from 1) fails with the chosen
// error and every other call goes through. Writes can be cut short, and a hook runs just before
// each no-replace rename, so that a test can put a file in its way.
class FaultySystemCalls {
public:
    FaultySystemCalls() {
        const SystemCalls& libc = SystemCalls::Libc();
        calls_.open = Counted(libc.open);
        calls_.read = Counted(libc.read);
        calls_.write = Counted(std::function<ssize_t(int, const void*, std::size_t)>(
            [this, real = libc.write](int fd, const void* bytes, std::size_t size) {
                return real(fd, bytes, maxWrite > 0 ? std::min(size, maxWrite) : size);
            }));
        calls_.sendfile = Counted(std::function<ssize_t(int, int, std::size_t)>(
            [this, real = libc.sendfile](int out, int in, std::size_t size) {
                return real(out, in, maxWrite > 0 ? std::min(size, maxWrite) : size);
            }));
        calls_.fsync = Counted(libc.fsync);
        calls_.close = Counted(libc.close);
        calls_.fchmod = Counted(libc.fchmod);
        calls_.futimens = Counted(libc.futimens);
        calls_.rename = Counted(libc.rename);
        calls_.renameNoReplace = Counted(std::function<int(const char*, const char*)>(
            [this, real = libc.renameNoReplace](const char* from, const char* to) {
                if (beforeNoReplaceRename) {
                    beforeNoReplaceRename();
                }
                return real(from, to);
            }));
        calls_.link = Counted(libc.link);
        calls_.unlink = Counted(libc.unlink);
        calls_.access = Counted(libc.access);
        calls_.mkdir = Counted(libc.mkdir);
        calls_.statvfs = Counted(libc.statvfs);
    }
    FaultySystemCalls(const FaultySystemCalls&) = delete;
    FaultySystemCalls& operator=(const FaultySystemCalls&) = delete;

    const SystemCalls& Calls() const { return calls_; }

    int failAt = 0; // 0: nothing fails
    int error = EIO;
    int count = 0;           // calls made so far
    std::size_t maxWrite = 0; // 0: writes are not cut short
    std::function<void()> beforeNoReplaceRename;

private:
    template <typename Result, typename... Args>
    std::function<Result(Args...)> Counted(std::function<Result(Args...)> real) {
        return [this, real](Args... args) -> Result {
            if (++count == failAt) {
                errno = error;
                return Result(-1);
            }
            return real(args...);
        };
    }

    SystemCalls calls_;
};

} // namespace pirela::test
