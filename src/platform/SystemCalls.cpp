#include "platform/SystemCalls.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pirela {

const SystemCalls& SystemCalls::Libc() {
    static const SystemCalls calls{
        [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
        [](int fd, void* buffer, std::size_t size) { return ::read(fd, buffer, size); },
        [](int fd, const void* buffer, std::size_t size) { return ::write(fd, buffer, size); },
        [](int out, int in, std::size_t size) { return ::sendfile(out, in, nullptr, size); },
        [](int fd) { return ::fsync(fd); },
        [](int fd) { return ::close(fd); },
        [](int fd, mode_t mode) { return ::fchmod(fd, mode); },
        [](int fd, const struct timespec times[2]) { return ::futimens(fd, times); },
        [](const char* from, const char* to) { return ::rename(from, to); },
        [](const char* from, const char* to) {
            return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
        },
        [](const char* from, const char* to) { return ::link(from, to); },
        [](const char* path) { return ::unlink(path); },
        [](const char* path, int mode) { return ::access(path, mode); },
        [](const char* path, mode_t mode) { return ::mkdir(path, mode); },
        [](const char* path, struct statvfs* result) { return ::statvfs(path, result); },
        [](int fd) { return ::syncfs(fd); },
        [](const char* path, struct statfs* result) { return ::statfs(path, result); },
    };
    return calls;
}

int WriteAllBytes(const SystemCalls& calls, int fd, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = calls.write(fd, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return errno;
        }
        if (written == 0) {
            return EIO; // no progress: never spin
        }
        bytes += written;
        size -= std::size_t(written);
    }
    return 0;
}

} // namespace pirela
