#pragma once

#include "platform/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <unistd.h>

namespace pirela::test {

// The C library's calls, counted: call number failAt (counting from 1) fails with the chosen
// error and every other call goes through. Writes can be cut short, and a hook runs just before
// each no-replace rename, so that a test can put a file in its way. In a forked child, the
// process can end just before call exitAt, as a kill -9 or a power cut would end it there.
class FaultySystemCalls {
public:
    // The calls of base (the C library's, or a kind of disk's) are the ones counted.
    explicit FaultySystemCalls(const SystemCalls& base = SystemCalls::Libc()) {
        calls_.open = Counted(base.open);
        calls_.read = Counted(base.read);
        calls_.write = Counted(std::function<ssize_t(int, const void*, std::size_t)>(
            [this, real = base.write](int fd, const void* bytes, std::size_t size) {
                return real(fd, bytes, maxWrite > 0 ? std::min(size, maxWrite) : size);
            }));
        calls_.sendfile = Counted(std::function<ssize_t(int, int, std::size_t)>(
            [this, real = base.sendfile](int out, int in, std::size_t size) {
                return real(out, in, maxWrite > 0 ? std::min(size, maxWrite) : size);
            }));
        calls_.fsync = Counted(base.fsync);
        calls_.close = Counted(base.close);
        calls_.fchmod = Counted(base.fchmod);
        calls_.futimens = Counted(base.futimens);
        calls_.rename = Counted(base.rename);
        calls_.renameNoReplace = Counted(std::function<int(const char*, const char*)>(
            [this, real = base.renameNoReplace](const char* from, const char* to) {
                if (beforeNoReplaceRename) {
                    beforeNoReplaceRename();
                }
                return real(from, to);
            }));
        calls_.link = Counted(base.link);
        calls_.unlink = Counted(base.unlink);
        calls_.access = Counted(base.access);
        calls_.mkdir = Counted(base.mkdir);
        calls_.statvfs = Counted(base.statvfs);
        calls_.syncfs = Counted(base.syncfs);
        calls_.statfs = base.statfs; // a query: no point to stop at
    }
    FaultySystemCalls(const FaultySystemCalls&) = delete;
    FaultySystemCalls& operator=(const FaultySystemCalls&) = delete;

    const SystemCalls& Calls() const { return calls_; }

    int failAt = 0; // 0: nothing fails
    int exitAt = 0; // 0: the process goes on
    static constexpr int kExitCode = 42;
    int error = EIO;
    int count = 0;           // calls made so far
    std::size_t maxWrite = 0; // 0: writes are not cut short
    std::function<void()> beforeNoReplaceRename;

private:
    template <typename Result, typename... Args>
    std::function<Result(Args...)> Counted(std::function<Result(Args...)> real) {
        return [this, real](Args... args) -> Result {
            if (++count == exitAt) {
                ::_exit(kExitCode);
            }
            if (count == failAt) {
                errno = error;
                return Result(-1);
            }
            return real(args...);
        };
    }

    SystemCalls calls_;
};

} // namespace pirela::test
