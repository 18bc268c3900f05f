#pragma once

#include <cstddef>
#include <functional>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <sys/types.h>
#include <time.h>

namespace pirela {

// The system calls that change files, gathered in one table so that the file operations can be
// run against a table whose calls fail on demand. Each entry behaves as the libc call of the
// same name: -1 and errno on failure. Queries that change nothing (stat, lstat, fstat) are made
// directly.
struct SystemCalls {
    std::function<int(const char* path, int flags, mode_t mode)> open;
    std::function<ssize_t(int fd, void* buffer, std::size_t size)> read;
    std::function<ssize_t(int fd, const void* buffer, std::size_t size)> write;
    // copies within the kernel, from the input's file position
    std::function<ssize_t(int out, int in, std::size_t size)> sendfile;
    std::function<int(int fd)> fsync;
    std::function<int(int fd)> close;
    std::function<int(int fd, mode_t mode)> fchmod;
    std::function<int(int fd, const struct timespec times[2])> futimens;
    std::function<int(const char* from, const char* to)> rename;
    // rename that fails with EEXIST rather than replace (renameat2 with RENAME_NOREPLACE)
    std::function<int(const char* from, const char* to)> renameNoReplace;
    std::function<int(const char* from, const char* to)> link;
    std::function<int(const char* path)> unlink;
    std::function<int(const char* path, int mode)> access;
    std::function<int(const char* path, mode_t mode)> mkdir;
    std::function<int(const char* path, struct statvfs* result)> statvfs;
    // Flushes the whole file system the descriptor lies on: for a disk that refuses to flush a
    // folder alone.
    std::function<int(int fd)> syncfs;
    // Which kind of file system the path lies on (its type number): a query, here so that a test
    // can make a folder look like a FAT stick.
    std::function<int(const char* path, struct statfs* result)> statfs;

    // The C library's own calls.
    static const SystemCalls& Libc();
};

// Writes every byte through the table's write, going on after a short write or an interrupted
// call. 0, or the errno of the write that failed (EIO for one that wrote nothing).
int WriteAllBytes(const SystemCalls& calls, int fd, const char* bytes, std::size_t size);

} // namespace pirela
