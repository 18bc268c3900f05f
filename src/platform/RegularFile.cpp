#include "platform/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace pirela {

int OpenRegularFile(const char* path, const SystemCalls& calls) {
    struct stat status {};
    // Looked at first, so that a device is not even opened (opening some has effects).
    if (::stat(path, &status) == 0 && !S_ISREG(status.st_mode)) {
        errno = kNotRegularFileError;
        return -1;
    }
    const int fd = calls.open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        calls.close(fd);
        errno = kNotRegularFileError;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool NamesRegularFile(const char* path) {
    struct stat status {};
    if (::lstat(path, &status) != 0) {
        return false;
    }
    return S_ISREG(status.st_mode) ||
           (S_ISLNK(status.st_mode) && ::stat(path, &status) == 0 && S_ISREG(status.st_mode));
}

} // namespace pirela
